#!/usr/bin/env bash
# Starts what the tests need, runs the whole suite through ctest, and stops it again.
set -euo pipefail
build_dir=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)

cleanup() { :; }
trap cleanup EXIT

cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" --timeout 600
