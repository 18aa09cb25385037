#!/usr/bin/env bash
# Builds the Opera parser fuzz target natively with clang and libFuzzer (with address
# and undefined-behaviour sanitizers) and runs it. Not part of the default test run.
#   tests/fuzz/run.sh [SECONDS]     (default 600; needs clang, on Debian: apt-get install clang)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${BUILD_DIR:-$top/build}/fuzz
seconds=${1:-600}
mkdir -p "$out/corpus"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I"$top" \
  "$top/browsers/OperaFormat.cpp" "$top/tests/fuzz/opera_fuzz.cpp" -o "$out/opera_fuzz"
cp -n "$top/tests/fuzz/seeds/"* "$out/corpus/" 2>/dev/null || true
cd "$out"
# Memory and time bounds: a parser that balloons on a small file is a finding too.
exec ./opera_fuzz -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=512 -timeout=5 -print_final_stats=1 corpus
