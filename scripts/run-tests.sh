#!/usr/bin/env bash
# Builds HarrierDriver and runs every test suite twice: a normal build with
# warnings as errors, then a build under AddressSanitizer and
# UndefinedBehaviorSanitizer, where any sanitizer report fails the run.
# In between, the report-descriptor fuzzer runs for a short, bounded time,
# so the run ends with the sanitizer suites' summary. The normal build's
# suites include vm_hidraw, the virtual-machine test through the kernel's
# hidraw nodes (scripts/run-vm-tests.sh).
set -euo pipefail
source "$(dirname "$0")/common.sh"
"$ROOT/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen

echo "== normal build"
configure_and_build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARRIER_WERROR=ON
(cd "$ROOT/build" && ctest --output-on-failure -j "$JOBS")

if [ -x "$ROOT/scripts/run-fuzz.sh" ]; then
  echo "== fuzzing"
  "$ROOT/scripts/run-fuzz.sh"
fi

echo "== sanitizer build"
configure_and_build "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DHARRIER_WERROR=ON -DHARRIER_SANITIZE=ON
# Whole allocation stacks, so leaks inside Qt (built without frame pointers)
# can be told apart from ours by tests/lsan.supp.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$ROOT/build-asan" && ctest --output-on-failure -j "$JOBS")
