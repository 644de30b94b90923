#!/usr/bin/env bash
# A throwaway PostgreSQL cluster on a free loopback port, for the tests. The role
# vaultline_password (password vaultline-right) logs in with a password; every other login is trusted.
#   pg-cluster.sh start DIR   prints "PORT" when the server is up
#   pg-cluster.sh stop DIR
# PostgreSQL refuses to run as root, so as root the cluster belongs to the postgres user.
set -euo pipefail
action=$1
dir=$2
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_owner=()
if [ "$(id -u)" -eq 0 ]; then as_owner=(runuser -u postgres --); fi

case "$action" in
start)
  mkdir -p "$dir"
  if [ "$(id -u)" -eq 0 ]; then chown postgres "$dir"; fi
  port=""
  for candidate in $(seq 55432 55532); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then port=$candidate; break; fi
  done
  [ -n "$port" ] || { echo "no free port" >&2; exit 1; }
  "${as_owner[@]}" "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --no-locale >"$dir/initdb.log" 2>&1
  # Every local login is trusted, except the role the tests use to meet a wrong password.
  sed -i '1i host all vaultline_password 127.0.0.1/32 scram-sha-256' "$dir/data/pg_hba.conf"
  "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
    -o "-p $port -k $dir -c listen_addresses=127.0.0.1" start >/dev/null
  "${as_owner[@]}" "$bin/createdb" -h 127.0.0.1 -p "$port" -U postgres vaultline
  "${as_owner[@]}" "$bin/psql" -q -h 127.0.0.1 -p "$port" -U postgres -d vaultline \
    -c "CREATE ROLE vaultline_password LOGIN PASSWORD 'vaultline-right'" >/dev/null
  echo "$port"
  ;;
stop)
  if [ -d "$dir/data" ]; then
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
