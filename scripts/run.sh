#!/usr/bin/env bash
# Installs what is missing, builds, registers the embedded database and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
bash scripts/setup-embedded-db.sh
build/src/cli/vaultlinectl prepare-embedded-db
exec build/src/app/vaultline "$@"
