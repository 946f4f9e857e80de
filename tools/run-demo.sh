#!/usr/bin/env bash
# Starts the reference web service on loopback with a demo account and opens the program against it.
# Demo account: user DEMO, password demo (the login window is pre-filled with them).
set -euo pipefail
build_dir=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
program="$build_dir/app/BriselScripts"
server="$build_dir/server/brisel-scripts-server"
demo_dir="$build_dir/demo"
mkdir -p "$demo_dir"

# Start-up requires the updater beside the executable; development builds get a stand-in.
if [ ! -e "$build_dir/app/BriselUpdate.exe" ]; then
  cp "$here/../app/BriselUpdate-standin.sh" "$build_dir/app/BriselUpdate.exe"
  chmod +x "$build_dir/app/BriselUpdate.exe"
fi

# A free port chosen by the server itself. The first run fills the demo database with scripts of
# the three systems and a change log (--demo); what the user changes survives between runs.
"$server" --port 0 --db "$demo_dir/brisel-scripts.db" --user DEMO:demo --demo --program-version 1.0.7 \
  >"$demo_dir/server.out" 2>"$demo_dir/server.log" &
server_pid=$!
cleanup() { kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; }
trap cleanup EXIT

url=""
for _ in $(seq 1 100); do
  url=$(sed -n 's/^brisel-scripts-server listening on \(http:[^ ]*\)$/\1/p' "$demo_dir/server.out")
  [ -n "$url" ] && break
  kill -0 "$server_pid" 2>/dev/null || { cat "$demo_dir/server.log" >&2; exit 1; }
  sleep 0.1
done
[ -n "$url" ] || { echo "run-demo: the web service did not start" >&2; exit 1; }
echo "Web service at $url (log: $demo_dir/server.log). Log in as DEMO with password demo."

BRISEL_SERVICE_URL="$url" "$program" DEMO demo
