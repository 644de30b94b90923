#!/usr/bin/env bash
# A real Prometheus (Debian's prometheus package) scrapes a running `vaultlinectl monitor`
# every second, and its HTTP API must answer vaultline_rows_inserted_total with the number of
# rows the monitor stored. Too slow for every test run (Prometheus needs a few seconds to
# start): CI runs it once. Usage, from the project's root after a build:
#
#   tests/prometheus/prometheus-scrape.sh [BUILD=build]
#
# Exits 0 when the counts agree, 1 when they do not, 77 (skipped) without Prometheus.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
root=$(pwd)
cli="$build/src/cli/vaultlinectl"
libsim="$build/tools/libsim/vaultline-libsim"
for program in "$cli" "$libsim"; do
  [ -x "$program" ] || { echo "$program is not built" >&2; exit 1; }
done
if ! command -v prometheus >/dev/null || ! command -v promtool >/dev/null; then
  echo "SKIPPED: prometheus and promtool (Debian's prometheus package) are not installed"
  exit 77
fi
python=/usr/bin/python3

work=$(mktemp -d /tmp/vaultline-prometheus-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
free_port() { "$python" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

# The rules the package ships must load.
promtool check rules "$root/packaging/prometheus/vaultline.rules.yml" >/dev/null

export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" ODBCINI="$work/odbc.ini"
printf '[VaultlineProm]\nDriver=SQLite3\nDatabase=%s/prom.sqlite\nJournalMode=WAL\nTimeout=100000\n' "$work" >"$ODBCINI"
cd "$work"
"$cli" prepare-embedded-db VaultlineProm >/dev/null

"$libsim" --port 0 --days 2 --stop-at-eof </dev/zero >sim.out 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do grep -q '^listening ' sim.out && break; sleep 0.1; done
library=$(awk '/^listening /{print $2; exit}' sim.out)

metrics_port=$(free_port)
"$cli" monitor --metrics-listen "127.0.0.1:$metrics_port" "$library" >monitor.out 2>monitor.err &
pids+=($!)

prometheus_port=$(free_port)
cat >prometheus.yml <<YML
global:
  scrape_interval: 1s
  evaluation_interval: 1s
rule_files:
  - $root/packaging/prometheus/vaultline.rules.yml
scrape_configs:
  - job_name: vaultline-monitor
    static_configs:
      - targets: ["127.0.0.1:$metrics_port"]
YML
prometheus --config.file=prometheus.yml --storage.tsdb.path="$work/tsdb" \
  --web.listen-address="127.0.0.1:$prometheus_port" >prometheus.log 2>&1 &
pids+=($!)

# The monitor's first mount history cycle, then its count as the table has it.
for _ in $(seq 1 600); do grep -q 'Inserted .* from Mount History' monitor.out && break; sleep 0.1; done
grep -q 'Inserted .* from Mount History' monitor.out || { echo "the monitor stored nothing:" >&2; cat monitor.out monitor.err >&2; exit 1; }
inserted=$(sed -n 's/.*Inserted \([0-9]*\) new entries from Mount History.*/\1/p' monitor.out | head -1)
table=$(sed -n 's/^Mount%20History%20Table%20Name=//p' "$XDG_CONFIG_HOME/Kestrix/Kestrix Vaultline.ini")
stored=$(sqlite3 "$work/prom.sqlite" "select count(*) from $table where ipaddress = '$library'")
if [ "$stored" != "$inserted" ] || [ "$stored" -eq 0 ]; then
  echo "FAILED: the monitor said it inserted $inserted rows, the table holds $stored" >&2
  exit 1
fi

query="vaultline_rows_inserted_total{job=\"vaultline-monitor\",table=\"mount_history\",library=\"$library\"}"
answer=""
for _ in $(seq 1 300); do
  answer=$(curl -sS --max-time 2 -G "http://127.0.0.1:$prometheus_port/api/v1/query" --data-urlencode "query=$query" \
    2>/dev/null | "$python" -c 'import json, sys
try:
    result = json.load(sys.stdin)["data"]["result"]
    print(result[0]["value"][1] if result else "")
except Exception:
    print("")' || true)
  [ "$answer" = "$stored" ] && break
  sleep 0.2
done
if [ "$answer" != "$stored" ]; then
  echo "FAILED: Prometheus answered \"$answer\" for $query; the monitor stored $stored rows" >&2
  tail -20 prometheus.log >&2
  exit 1
fi
echo "OK: Prometheus scraped vaultline_rows_inserted_total = $answer, the rows the monitor stored"
