#!/usr/bin/env bash
# Registers the embedded default database: a user DSN (default "Vaultline") on the SQLite3
# ODBC driver, in WAL mode, with its file under the user's data folder (or VAULTLINE_DB_FILE).
# StepAPI=1 makes the driver hand rows over as they are read: without it a select is read whole
# into the driver's memory first (a year of mount history, about a million rows, would take
# well over a gigabyte). Leaves an existing DSN of that name as it is.
set -euo pipefail
dsn="${VAULTLINE_DSN:-Vaultline}"
data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/vaultline"
# The database and the files SQLite keeps beside it (WAL, shared memory) are readable by their
# owner only: SQLite gives those files the database file's permissions, so the database file is
# made here, empty, before the driver first opens it.
umask 077
database="${VAULTLINE_DB_FILE:-$data_dir/vaultline.sqlite}"
mkdir -p "$(dirname "$database")"
chmod 700 "$(dirname "$database")"
[ -e "$database" ] || : >"$database"
for file in "$database" "$database-wal" "$database-shm"; do
  if [ -e "$file" ]; then chmod 600 "$file"; fi
done

if odbcinst -q -s -n "$dsn" >/dev/null 2>&1; then
  exit 0
fi
template=$(mktemp)
trap 'rm -f "$template"' EXIT
cat >"$template" <<INI
[$dsn]
Description=Vaultline embedded database
Driver=SQLite3
Database=$database
JournalMode=WAL
Timeout=100000
StepAPI=1
INI
odbcinst -i -s -h -f "$template"
echo "Registered ODBC data source \"$dsn\" at $database"
