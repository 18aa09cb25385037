#!/usr/bin/env bash
# Sets everything up, builds, and starts the program under Wine.
# Until the main window exists this runs the console front end's preview: a scan of
# the default areas that lists what it finds and cleans nothing. Extra arguments go
# to quorvantis-cli.exe (for instance --areas=all --sections=0,1,2,3).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
. "$top/tests/harness/wine-session.sh"
# A prefix of its own that lives in the build tree, apart from the test runs' prefixes.
session_start "$build/run-session"
trap session_stop EXIT
wine "$build/quorvantis-cli.exe" "$@"
