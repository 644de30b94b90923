#!/usr/bin/env bash
# Installs what is missing, builds, registers the embedded database and starts the program.
# With --demo: the demonstration library and its own database instead (scripts/demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
demo=false
arguments=()
for argument in "$@"; do
  if [[ "$argument" == --demo ]]; then
    demo=true
  else
    arguments+=("$argument")
  fi
done
bash scripts/install-deps.sh
bash scripts/build.sh
if "$demo"; then
  exec bash scripts/demo.sh "${arguments[@]}"
fi
bash scripts/setup-embedded-db.sh
build/src/cli/vaultlinectl prepare-embedded-db
exec build/src/app/vaultline "$@"
