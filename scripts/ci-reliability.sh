#!/usr/bin/env bash
# Reliability checks: each libFuzzer target of tests/fuzz for a bounded time, then the whole test
# suite built with AddressSanitizer + UndefinedBehaviorSanitizer (LeakSanitizer on). Fails on a
# crash, a broken fuzz check or any sanitizer report, including one from a process a test starts.
#
#   FUZZ_SECONDS     time per fuzz target (default 30)
#   FUZZ_BUILD_DIR   clang build of the fuzz targets (default build-fuzz)
#   ASAN_BUILD_DIR   sanitizer build of the whole project (default build-asan)
#   JOBS             parallel build and test jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

fuzz_seconds=${FUZZ_SECONDS:-30}
fuzz_build=${FUZZ_BUILD_DIR:-build-fuzz}
asan_build=${ASAN_BUILD_DIR:-build-asan}
jobs=${JOBS:-2}

# The fuzz targets save files on every input; a memory file system keeps them fast.
scratch_parent=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch_parent=/dev/shm
scratch=$(mktemp -d "$scratch_parent/brannox-reliability.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

reports=$scratch/sanitizer-reports
mkdir -p "$reports"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

started=$SECONDS
elapsed() { echo "$((SECONDS - started)) s"; }

echo "== Fuzz targets: build ($fuzz_build)"
cmake -S . -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DBRANNOX_FUZZ=ON -DBRANNOX_BENCHMARKS=OFF >/dev/null
cmake --build "$fuzz_build" -j "$jobs" --target fuzzers
echo "   built after $(elapsed)"

# Each corpus folder names its target. New inputs go to a scratch folder, so the seeds in the
# repository stay as they are; a crashing input is kept beside the build.
artifacts=$fuzz_build/fuzz-artifacts
mkdir -p "$artifacts"
summary=()
fuzz_failed=0
for seeds in tests/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  mkdir -p "$scratch/$target"
  log=$scratch/$target.log
  echo "== Fuzz $target for ${fuzz_seconds} s"
  status=0
  TMPDIR=$scratch "$fuzz_build/tests/fuzz/$target" -max_total_time="$fuzz_seconds" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
    "$scratch/$target" "$seeds" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  summary+=("$(printf '%-18s %10s runs  %s' "$target" "${runs:-?}" \
    "$([ $status -eq 0 ] && echo ok || echo FAILED)")")
  if [ $status -ne 0 ]; then
    fuzz_failed=1
    tail -n 60 "$log"
    for input in "$artifacts/$target"-*; do
      [ -f "$input" ] || continue
      echo "-- $input (base64):"
      base64 "$input"
    done
  fi
done
echo "== Fuzz runs"
printf '   %s\n' "${summary[@]}"
echo "   fuzzing done after $(elapsed)"
[ $fuzz_failed -eq 0 ] || { echo "A fuzz target failed: turn its input into a regression test."; exit 1; }

echo "== Sanitizer suite: build ($asan_build)"
cmake -S . -B "$asan_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRANNOX_SANITIZE=ON -DBRANNOX_BENCHMARKS=OFF >/dev/null
cmake --build "$asan_build" -j "$jobs"
echo "   built after $(elapsed)"

echo "== Sanitizer suite: tests"
# Reports also go to files, so that one from a helper process (the simulator) counts as well.
suite_status=0
ASAN_OPTIONS=$ASAN_OPTIONS:log_path=$reports/asan \
UBSAN_OPTIONS=$UBSAN_OPTIONS:log_path=$reports/ubsan \
  ctest --test-dir "$asan_build" --output-on-failure -j "$jobs" || suite_status=$?
if compgen -G "$reports/*" >/dev/null; then
  for report in "$reports"/*; do
    echo "-- $report"
    cat "$report"
  done
  echo "Sanitizer reports were written."
  exit 1
fi
[ $suite_status -eq 0 ] || exit $suite_status
echo "== Reliability checks passed after $(elapsed)"
