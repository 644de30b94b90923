#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test on SQLite and on a throwaway
# PostgreSQL cluster, which is stopped again however the run ends.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh
bash scripts/check-format.sh
bash scripts/build.sh

cluster=$(mktemp -d /tmp/vaultline-pg-XXXXXX)
trap 'bash "$root/scripts/pg-cluster.sh" stop "$cluster"' EXIT
port=$(bash "$root/scripts/pg-cluster.sh" start "$cluster")
echo "PostgreSQL test cluster on 127.0.0.1:$port"
export VAULTLINE_TEST_PG_PORT=$port VAULTLINE_TEST_PG_USER=postgres VAULTLINE_TEST_PG_DATABASE=vaultline
export QT_QPA_PLATFORM=offscreen

cd "$root/build"
ctest --output-on-failure -j"$(nproc)" "$@"

# Once per run, not a ctest: a real Prometheus scrapes a running monitor (skipped, exit 77,
# where Debian's prometheus package is not installed).
cd "$root"
status=0
bash tests/prometheus/prometheus-scrape.sh build || status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
  exit "$status"
fi
