#!/usr/bin/env bash
# Takes docs/login.png and docs/main-window.png under Xvfb, logged in to the reference web service.
set -euo pipefail
build_dir=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
cmake --build "$build_dir" --target brisel-screenshots brisel-scripts-server -j2 >/dev/null

out=$(mktemp -d)
"$build_dir/server/brisel-scripts-server" --port 0 --db :memory: --user DEMO:demo >"$out/server.out" 2>/dev/null &
server_pid=$!
trap 'kill $server_pid 2>/dev/null || true; rm -rf "$out"' EXIT
for _ in $(seq 1 100); do
  url=$(sed -n 's/^brisel-scripts-server listening on \(http:[^ ]*\)$/\1/p' "$out/server.out")
  [ -n "$url" ] && break
  sleep 0.1
done

BRISEL_SERVICE_URL="$url" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x640x24" \
  "$build_dir/app/brisel-screenshots" "$root/docs" DEMO demo
echo "Wrote $root/docs/login.png and $root/docs/main-window.png"
