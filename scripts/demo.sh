#!/usr/bin/env bash
# The demonstration: a simulated tape library on 127.0.0.1:18080 with a year of history, on a
# database and settings of its own, so the user's own database never sees a demonstration row.
#
#   scripts/demo.sh [PROGRAM ARGS]   start the library and run the program; the first run
#                                    has the program import the year in its window
#   scripts/demo.sh prepare          only register the database and import the year once,
#                                    with vaultlinectl, without a window
#
# Everything of the demonstration lives in one folder (VAULTLINE_DEMO_DIR, by default
# ~/.local/share/vaultline-demo): the SQLite file, the settings and the history's start.
# The ODBC data source is VaultlineDemo. Expects a build in build/ (VAULTLINE_BUILD). The
# debug log is written in the working directory, as always. VAULTLINE_DEMO_PORT and
# VAULTLINE_DEMO_DAYS change the port and the length of the history (the tests use both).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VAULTLINE_BUILD:-$root/build}"
demo_dir="${VAULTLINE_DEMO_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/vaultline-demo}"
dsn=VaultlineDemo
port="${VAULTLINE_DEMO_PORT:-18080}"
# The address is stored with every row: it fits the table's 15-character address column.
address="127.0.0.1:$port"
days="${VAULTLINE_DEMO_DAYS:-365}"
database="$demo_dir/demo.sqlite"
start_file="$demo_dir/history-start"
imported_file="$demo_dir/imported"
# The year's files for the program to import in its window; gone once the year is stored.
year_files="$demo_dir/year"
simulator="$build/tools/libsim/vaultline-libsim"
vaultlinectl="$build/src/cli/vaultlinectl"

mkdir -p "$demo_dir"
# The demonstration's own settings file, whatever the user's settings say.
export XDG_CONFIG_HOME="$demo_dir/config"

# The history begins at a fixed hour chosen on the first run, so that the library started
# later repeats every record stored earlier and the monitor finds them already there.
history_start() {
  if [[ ! -s "$start_file" ]]; then
    date -d "$days days ago" '+%Y-%m-%d %H:00' >"$start_file"
  fi
  cat "$start_file"
}

# The year is imported once: the mark is written only after both files are stored, so an
# import cut short runs again (the lines stored already are not stored twice).
import_needed() {
  [[ ! -e "$imported_file" || ! -e "$database" ]]
}

prepare_database() {
  # The data source is the demonstration's own. Registered by a run on another folder, it
  # would lead this one's import into that folder's database: it is registered anew here.
  local registered
  registered=$(odbcinst -q -s -n "$dsn" 2>/dev/null | sed -n 's/^Database=//p' || true)
  if [[ -n "$registered" && "$registered" != "$database" ]]; then
    odbcinst -u -s -h -n "$dsn" >/dev/null
  fi
  VAULTLINE_DSN="$dsn" VAULTLINE_DB_FILE="$database" bash "$root/scripts/setup-embedded-db.sh"
  "$vaultlinectl" prepare-embedded-db "$dsn" >/dev/null
}

prepare() {
  prepare_database
  if ! import_needed; then
    echo "The demonstration library's history is already in $database"
    rm -rf "$year_files"
    return 0
  fi
  rm -f "$imported_file"
  local start began elapsed
  start=$(history_start)
  files=$(mktemp -d)
  trap 'rm -rf "${files:-}"' EXIT
  began=$(date +%s%N)
  echo "Importing the demonstration library's year into $database (done once; the window opens afterwards)"
  "$simulator" --demo --days "$days" --start "$start" --write-files "$files"
  "$vaultlinectl" import "$files/mount_history.csv" --library "$address"
  "$vaultlinectl" import "$files/library_statistics.csv" --library "$address"
  touch "$imported_file"
  rm -rf "$files"
  elapsed=$((($(date +%s%N) - began) / 1000000))
  printf 'Imported the history since %s in %d.%03d s\n' "$start" $((elapsed / 1000)) $((elapsed % 1000))
}

if [[ "${1:-}" == prepare ]]; then
  prepare
  exit 0
fi

prepare_database
start=$(history_start)
# The first run: the program opens its window and imports the year there, with its progress
# dialog, and writes the mark itself once both files are stored (not when the import is
# cancelled or fails: the next run imports again, and no line is stored twice).
window_import=()
if import_needed; then
  rm -f "$imported_file"
  rm -rf "$year_files"
  mkdir -p "$year_files"
  echo "Writing the demonstration library's year; the window imports it into $database (done once)"
  "$simulator" --demo --days "$days" --start "$start" --write-files "$year_files"
  window_import=(--import "$year_files/mount_history.csv" --import "$year_files/library_statistics.csv"
    --library "$address" --imported-mark "$imported_file")
else
  echo "The demonstration library's history is already in $database"
  rm -rf "$year_files"
fi
# The library reads its standard input until it ends. The program inherits the write end
# (descriptor 9) and holds it until it exits, however it exits, and the library stops then.
# The descriptor is opened anew: a copy made with >& would keep the close-on-exec mark that
# bash gives the coprocess's own descriptors.
coproc LIBRARY { exec "$simulator" --demo --days "$days" --start "$start" --live --port "$port" --stop-at-eof; }
exec 9>"/dev/fd/${LIBRARY[1]}"
if ! read -r -t 120 line <&"${LIBRARY[0]}" || [[ "$line" != "listening $address" ]]; then
  echo "The demonstration library did not start on $address (is the port taken?)" >&2
  exit 1
fi
echo "Demonstration library on $address: File > Start Monitoring... offers it"
exec "$build/src/app/vaultline" "${window_import[@]}" "$@"
