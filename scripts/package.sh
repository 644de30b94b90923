#!/usr/bin/env bash
# Builds the Debian package vaultline_<version>_amd64.deb with CPack from the three programs
# alone (the tests are not built), in the build folder given (build-package by default).
# Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
bash scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target vaultline vaultlinectl vaultline-libsim
rm -f "$build"/vaultline_*_amd64.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$(pwd)/$build"/vaultline_*_amd64.deb
