#!/usr/bin/env bash
# Registers the embedded default database: a user DSN (default "Vaultline") on the SQLite3
# ODBC driver, in WAL mode, with its file under the user's data folder. Leaves an existing
# DSN of that name as it is.
set -euo pipefail
dsn="${VAULTLINE_DSN:-Vaultline}"
data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/vaultline"
mkdir -p "$data_dir"

if odbcinst -q -s -n "$dsn" >/dev/null 2>&1; then
  exit 0
fi
template=$(mktemp)
trap 'rm -f "$template"' EXIT
cat >"$template" <<INI
[$dsn]
Description=Vaultline embedded database
Driver=SQLite3
Database=$data_dir/vaultline.sqlite
JournalMode=WAL
Timeout=100000
INI
odbcinst -i -s -h -f "$template"
echo "Registered ODBC data source \"$dsn\" at $data_dir/vaultline.sqlite"
