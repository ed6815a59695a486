#!/usr/bin/env bash
# Builds the report-descriptor fuzzer with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs it for a bounded time,
# seeded with the test fixtures. FUZZ_SECONDS sets the time (default 60).
# Any crash or sanitizer report fails the run and leaves the input in build-fuzz/.
set -euo pipefail
source "$(dirname "$0")/common.sh"

CLANG="${CLANG:-$(command -v clang++ || command -v clang++-14 || true)}"
if [ -z "$CLANG" ]; then
  echo "run-fuzz: clang++ not found (Debian package clang)" >&2
  exit 1
fi

OUT="$ROOT/build-fuzz"
mkdir -p "$OUT/corpus"
# The parser core needs nothing but the C++ library, so it is built on its own.
"$CLANG" -std=c++17 -g -O1 -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$ROOT" \
  "$ROOT/platform/hid/ReportDescriptorCore.cpp" \
  "$ROOT/tests/platform/fuzz_report_descriptor.cpp" \
  -o "$OUT/fuzz_report_descriptor"

# Seeds: the fixtures, hex with '#' comments, turned into raw bytes.
for hex in "$ROOT"/tests/platform/descriptors/*.hex; do
  perl -ne 's/#.*//; print pack("H*", join("", /[0-9a-fA-F]{2}/g))' "$hex" >"$OUT/corpus/seed-$(basename "$hex" .hex)"
done

cd "$OUT"
./fuzz_report_descriptor -max_total_time="${FUZZ_SECONDS:-60}" -max_len=4096 -timeout=10 \
  -rss_limit_mb=1024 -print_final_stats=1 corpus 2>&1 | tail -n 25
exit "${PIPESTATUS[0]}"
