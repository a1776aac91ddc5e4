#!/usr/bin/env bash
# Installs what building, running and testing qlx needs, from Debian 12's own packages.
set -euo pipefail
packages=(
  cmake g++ make clang-format
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc libqt6svg6 libsqlite3-dev sqlite3
  unixodbc unixodbc-dev tdsodbc odbc-postgresql postgresql
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
