#!/usr/bin/env bash
# Starts what the tests need, runs the whole suite through ctest, and stops it again.
set -euo pipefail
build_dir=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)

# The validation tests' Firebird server on 127.0.0.1:3050, with a SYSDBA password set here.
export BRISEL_FB_HOST=127.0.0.1
export BRISEL_FB_PASSWORD=${BRISEL_FB_PASSWORD:-brisel-test}
"$here/firebird-test-server.sh" start ||
  echo "run-tests: the Firebird server did not start; the tests that need it will fail" >&2

cleanup() {
  "$here/firebird-test-server.sh" stop || true
}
trap cleanup EXIT

cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" --timeout 600
