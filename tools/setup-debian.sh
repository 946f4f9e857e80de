#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, fuzz and package it.
# Safe to run again: when everything is installed it prints nothing and calls no apt-get.
#   --list   print the package names, one a line
#   --check  print the packages that are not installed and fail when there is any
set -euo pipefail

# Real package names only: a virtual name (one that other packages provide) never shows as
# installed, so it would send every run to apt-get again.
packages=(
  build-essential cmake pkg-config file
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n qt6-qpa-plugins
  libqscintilla2-qt6-dev
  libcurl4-openssl-dev libpcre2-dev
  qtkeychain-qt6-dev gnome-keyring dbus-daemon dbus-bin
  libcpp-httplib-dev libsqlite3-dev libssl-dev libpq-dev postgresql
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-server firebird3.0-utils
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  fonts-wine fonts-liberation2
  xvfb xauth
  clang libclang-rt-14-dev
  desktop-file-utils
)

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      echo "$p"
    fi
  done
}

case "${1:-}" in
  --list)
    printf '%s\n' "${packages[@]}"
    exit 0
    ;;
  --check)
    missing=$(missing_packages)
    [ -z "$missing" ] && exit 0
    echo "setup-debian: not installed: $(echo $missing)" >&2
    exit 1
    ;;
  "") ;;
  *)
    echo "usage: $0 [--list | --check]" >&2
    exit 2
    ;;
esac

mapfile -t missing < <(missing_packages)
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
