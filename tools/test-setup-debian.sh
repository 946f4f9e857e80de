#!/usr/bin/env bash
# The setup script's package list against dpkg-query: every name must show as installed (a
# virtual name never does, so it would send every run to apt-get again), and a second run of
# the script prints nothing and calls no apt-get.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

"$here/setup-debian.sh" --check || {
  echo "FAILED: the names above are not installed; a name that tools/setup-debian.sh installs and that still" >&2
  echo "        does not show as installed is a virtual package and must be replaced by the real one" >&2
  exit 1
}

# apt-get and sudo replaced by recorders.
shims=$(mktemp -d)
trap 'rm -rf "$shims"' EXIT
for tool in apt-get sudo; do
  printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\n' "$tool" "$shims" >"$shims/$tool"
  chmod +x "$shims/$tool"
done
out=$(PATH="$shims:$PATH" "$here/setup-debian.sh" 2>&1)
[ -z "$out" ] || { echo "FAILED: a run with everything installed printed: $out" >&2; exit 1; }
[ ! -e "$shims/calls" ] || { echo "FAILED: a run with everything installed called: $(cat "$shims/calls")" >&2; exit 1; }
echo "setup-debian.sh: $("$here/setup-debian.sh" --list | wc -l) packages installed; a second run is silent"
