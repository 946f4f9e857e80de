#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Safe to run again: it only calls apt-get when a package is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev qt6-translations-l10n qt6-qpa-plugins
  libqscintilla2-qt6-dev
  libcurl4-openssl-dev libpcre2-dev
  libcpp-httplib-dev libsqlite3-dev libssl-dev
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-server firebird3.0-utils
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  fonts-wine fonts-liberation2
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
