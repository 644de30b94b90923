#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libqt6printsupport6
  unixodbc unixodbc-dev libsqliteodbc odbc-postgresql
  libsqlite3-dev    # the tests' SQLite extension that refuses statements as a restricted user's database would
  libcurl4-openssl-dev libcpp-httplib-dev
  libqt6svg6        # the window icon (an SVG)
  dpkg-dev          # scripts/package.sh: dpkg-shlibdeps finds the package's library dependencies
  libgtest-dev libgmock-dev
  clang-format      # Debian 12's is version 14: scripts/test.sh checks the house style with it
  postgresql sqlite3
  xvfb xauth
  fonts-dejavu-core  # the fixed-pitch face that stands in for Courier New in the reports and graphs
  locales  # the locale sources from which the debug log test makes a German locale of its own
  python3-aiosmtpd  # the SMTP server the mail tests deliver to, run with /usr/bin/python3
)
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
