#!/usr/bin/env bash
# Runs every test executable of a build under Wine inside Xvfb, in a fresh prefix.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
. "$top/tests/harness/wine-session.sh"
QV_TEST_DRIVES=1 session_start "$build/test-session"
# Screenshots of the windows, for review.
export QV_SCREENSHOTS="$build/screenshots"
mkdir -p "$QV_SCREENSHOTS"
trap session_stop EXIT
cd "$build" && ctest --output-on-failure --timeout 900 ${CTEST_ARGS:-}
