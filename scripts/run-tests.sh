#!/usr/bin/env bash
# Builds HarrierDriver and runs every test suite twice: a normal build with
# warnings as errors, then a build under AddressSanitizer and
# UndefinedBehaviorSanitizer, where any sanitizer report fails the run.
# In between, the report-descriptor fuzzer runs for a short, bounded time.
# The normal build's suites include vm_hidraw, the virtual-machine test
# through the kernel's hidraw nodes (scripts/run-vm-tests.sh).
#
# Every stage runs even when an earlier one failed, so one fault cannot hide
# the others; the script ends with a line per stage, a closing count of the
# tests and a non-zero exit when any stage failed.
set -uo pipefail
source "$(dirname "$0")/common.sh"
"$ROOT/scripts/install-deps.sh" || { echo "installing the packages failed"; exit 1; }
export QT_QPA_PLATFORM=offscreen

logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT
stage_lines=()
tests_passed=0
tests_failed=0
stages_failed=0

# stage NAME COMMAND...: runs one stage, remembers how it went.
stage() {
  local name="$1"; shift
  echo "== $name"
  local start=$SECONDS
  "$@"
  local status=$?
  local took=$((SECONDS - start))
  if [ "$status" -eq 0 ]; then
    stage_lines+=("  passed  $name (${took} s)")
  else
    stage_lines+=("  FAILED  $name (${took} s, exit $status)")
    stages_failed=$((stages_failed + 1))
  fi
  return "$status"
}

# suites BUILD_DIR: ctest in that build, its counts added to the total.
suites() {
  local dir="$1" out="$logs/ctest-$(basename "$1").log"
  (cd "$dir" && ctest --output-on-failure -j "$JOBS") 2>&1 | tee "$out"
  local status=${PIPESTATUS[0]}
  # "97% tests passed, 2 tests failed out of 66"
  local line total failed
  line="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -n 1)"
  if [ -n "$line" ]; then
    failed="$(sed -E 's/.*passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")"
    total="$(sed -E 's/.*failed out of ([0-9]+).*/\1/' <<<"$line")"
    tests_passed=$((tests_passed + total - failed))
    tests_failed=$((tests_failed + failed))
  elif [ "$status" -ne 0 ]; then
    tests_failed=$((tests_failed + 1))
  fi
  return "$status"
}

# build_and_test NAME BUILD_DIR [cmake options...]: a build and its suites;
# a build that fails leaves its suites nothing to run: they count as failed.
build_and_test() {
  local name="$1" dir="$2"; shift 2
  if stage "$name build" configure_and_build "$dir" "$@"; then
    stage "$name suites" suites "$dir"
  else
    stage_lines+=("  FAILED  $name suites (not run: the build failed)")
    stages_failed=$((stages_failed + 1)); tests_failed=$((tests_failed + 1))
  fi
}

build_and_test normal "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARRIER_WERROR=ON

if [ -x "$ROOT/scripts/run-fuzz.sh" ]; then
  if stage "fuzzing" "$ROOT/scripts/run-fuzz.sh"; then
    tests_passed=$((tests_passed + 1))
  else
    tests_failed=$((tests_failed + 1))
  fi
fi

# Whole allocation stacks, so leaks inside Qt (built without frame pointers)
# can be told apart from ours by tests/lsan.supp.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
build_and_test sanitizer "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DHARRIER_WERROR=ON -DHARRIER_SANITIZE=ON

echo
echo "== summary"
printf '%s\n' "${stage_lines[@]}"
echo "total: $tests_passed passed, $tests_failed failed"
[ "$stages_failed" -eq 0 ]
