#!/usr/bin/env bash
# Soak of the monitor's metrics endpoint: LIBRARIES simulated libraries that keep mounting,
# one `vaultlinectl monitor` storing them into a throwaway SQLite database on short periods,
# and SCRAPES scrapes of GET /metrics spread over SECONDS. Prints the slowest and the median
# scrape, the monitor's resident memory after the first and the last tenth of the scrapes, and
# the series per scrape. Usage (from the project's root, after a build):
#
#   bench/metrics-soak.sh [SECONDS=600] [LIBRARIES=8] [SCRAPES=1000] [BUILD=build]
set -euo pipefail
seconds=${1:-600}
libraries=${2:-8}
scrapes=${3:-1000}
build=$(cd "${4:-build}" && pwd)
cli="$build/src/cli/vaultlinectl"
libsim="$build/tools/libsim/vaultline-libsim"
for program in "$cli" "$libsim"; do
  [ -x "$program" ] || { echo "$program is not built" >&2; exit 1; }
done
command -v curl >/dev/null || { echo "curl is needed" >&2; exit 1; }

work=$(mktemp -d /tmp/vaultline-soak-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" ODBCINI="$work/odbc.ini"
printf '[VaultlineSoak]\nDriver=SQLite3\nDatabase=%s/soak.sqlite\nJournalMode=WAL\nTimeout=100000\nStepAPI=1\n' \
  "$work" >"$ODBCINI"
cd "$work"
"$cli" prepare-embedded-db VaultlineSoak >/dev/null

addresses=()
for number in $(seq 1 "$libraries"); do
  # Ten library minutes a second: every mount history cycle finds new mounts.
  "$libsim" --port 0 --seed "$number" --days 2 --speed 600 --stop-at-eof </dev/zero >"sim$number.out" 2>&1 &
  pids+=($!)
done
for number in $(seq 1 "$libraries"); do
  for _ in $(seq 1 100); do grep -q '^listening ' "sim$number.out" && break; sleep 0.1; done
  addresses+=("$(awk '/^listening /{print $2; exit}' "sim$number.out")")
done

"$cli" monitor --mount-history-period 20000 --library-performance-period 60000 --retry-period 5000 \
  --metrics-listen 127.0.0.1:0 "${addresses[@]}" >monitor.out 2>monitor.err &
monitor=$!
pids+=("$monitor")
for _ in $(seq 1 100); do grep -q 'metrics at ' monitor.err && break; sleep 0.1; done
url=$(sed -n 's/.*metrics at \(http[^ ]*\)$/\1/p' monitor.err | head -1)
[ -n "$url" ] || { echo "the monitor did not serve metrics:" >&2; cat monitor.err >&2; exit 1; }

rss() { awk '/^VmRSS:/{print $2}' "/proc/$monitor/status"; }
interval=$(awk -v s="$seconds" -v n="$scrapes" 'BEGIN { printf "%.3f", s / n }')
: >times.txt
early=0
for number in $(seq 1 "$scrapes"); do
  started=$(date +%s.%N)
  curl -sS -o scrape.txt -w '%{http_code} %{time_total}\n' --max-time 5 "$url" >>times.txt
  [ "$number" -eq $((scrapes / 10)) ] && early=$(rss)
  left=$(awk -v a="$started" -v b="$(date +%s.%N)" -v i="$interval" 'BEGIN { d = i - (b - a); print (d > 0 ? d : 0) }')
  sleep "$left"
done
late=$(rss)
series=$(grep -vc '^#' scrape.txt)
failed=$(awk '$1 != 200' times.txt | wc -l)
inserted=$(awk '/^vaultline_rows_inserted_total/ { sum += $2 } END { print sum + 0 }' scrape.txt)
sort -k2 -g times.txt | awk -v n="$scrapes" '{ t[NR] = $2 } END {
  printf "scrapes: %d, slowest %.3f s, median %.4f s\n", n, t[NR], t[int((NR + 1) / 2)] }'
echo "not answered with 200: $failed"
echo "series per scrape: $series; rows inserted: $inserted"
echo "monitor resident memory: ${early} kB after $((scrapes / 10)) scrapes, ${late} kB after $scrapes"
