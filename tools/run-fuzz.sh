#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs each for SECONDS (default 60),
# starting from its seed corpus. Fails on the first finding (crash, sanitizer report, leak,
# time-out); the input that caused it is kept in BUILD_DIR/findings/.
#   tools/run-fuzz.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
build_dir=${1:-build-fuzz}
seconds=${2:-60}
targets=(json script form)

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DBRISEL_FUZZ=ON -DBRISEL_GUI=OFF >/dev/null
build_dir=$(cd "$build_dir" && pwd)
cmake --build "$build_dir" -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >"$build_dir/build.log" 2>&1 ||
  { tail -40 "$build_dir/build.log" >&2; echo "run-fuzz: the build failed (log: $build_dir/build.log)" >&2; exit 1; }

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${targets[@]}"; do
  # New inputs go to a work corpus in the build folder; the seeds in the repository stay small.
  work="$build_dir/corpus/$t"
  findings="$build_dir/findings/$t/"
  mkdir -p "$work" "$findings"
  echo "== fuzz_$t for ${seconds} s"
  if ! "$build_dir/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings" -print_final_stats=1 "$work" "$source_dir/fuzz/corpus/$t" \
    >"$build_dir/fuzz_$t.log" 2>&1; then
    echo "fuzz_$t: FINDING (log: $build_dir/fuzz_$t.log, input: $(ls "$findings" | head -1))" >&2
    grep -m1 -A30 "==ERROR\|runtime error\|deadly signal\|ERROR: libFuzzer" "$build_dir/fuzz_$t.log" >&2 || tail -30 "$build_dir/fuzz_$t.log" >&2
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build_dir/fuzz_$t.log" | sed "s/^/fuzz_$t: /"
  fi
done
exit $status
