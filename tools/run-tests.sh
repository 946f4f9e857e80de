#!/usr/bin/env bash
# Starts what the tests need, runs the whole suite through ctest, and stops it again.
#   tools/run-tests.sh [--sanitize] [BUILD_DIR]
# --sanitize: the build has -DBRISEL_SANITIZE=ON; leaks and undefined behaviour fail the tests.
set -euo pipefail
sanitize=0
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=1
  shift
fi
build_dir=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)

if [ "$sanitize" = 1 ]; then
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0
  export LSAN_OPTIONS=suppressions=$here/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

# The validation tests' Firebird server on 127.0.0.1:3050, with a SYSDBA password set here.
export BRISEL_FB_HOST=127.0.0.1
export BRISEL_FB_PASSWORD=${BRISEL_FB_PASSWORD:-brisel-test}
"$here/firebird-test-server.sh" start ||
  echo "run-tests: the Firebird server did not start; the tests that need it will fail" >&2

# A private PostgreSQL cluster for the service tests' second storage and the multi-process tests;
# a folder of its own per run, so two runs (say the plain and the sanitizer build) never stop each
# other's cluster.
export BRISEL_PG_STATE_DIR=${BRISEL_PG_STATE_DIR:-$(mktemp -d /tmp/brisel-postgres-test.XXXXXX)}
if BRISEL_TEST_PG_URI=$("$here/postgres-test-server.sh" start); then
  export BRISEL_TEST_PG_URI
else
  unset BRISEL_TEST_PG_URI
  echo "run-tests: the PostgreSQL server did not start; the tests that need it will fail" >&2
fi

cleanup() {
  "$here/postgres-test-server.sh" stop || true
  rmdir "$BRISEL_PG_STATE_DIR" 2>/dev/null || true # left empty when the cluster did not start
  "$here/firebird-test-server.sh" stop || true
}
trap cleanup EXIT

cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" --timeout "$([ "$sanitize" = 1 ] && echo 1200 || echo 600)"
