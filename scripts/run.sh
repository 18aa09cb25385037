#!/usr/bin/env bash
# Sets everything up, builds, and starts Quorvantis.exe under Wine, in a Wine prefix of
# its own inside the build tree. With a display (DISPLAY set) the window shows there;
# without one it runs on a virtual display of its own, and a screenshot of it is saved
# to build/screenshots/run.png. Arguments go to the program ("/scan", "/fast", ...).
# The console front end of the same engine is build/quorvantis-cli.exe (see README).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
. "$top/tests/harness/wine-session.sh"
if [ -n "${DISPLAY:-}" ]; then
  export QV_KEEP_DISPLAY=1
fi
session_start "$build/run-session"
trap session_stop EXIT
trap 'exit 130' INT TERM
wine "$build/Quorvantis.exe" "$@" &
program=$!
if [ -z "${QV_KEEP_DISPLAY:-}" ]; then
  mkdir -p "$build/screenshots"
  sleep 5
  import -window root "$build/screenshots/run.png" 2>/dev/null &&
    echo "run: no display here; Quorvantis runs on a virtual one. Screenshot: $build/screenshots/run.png (Ctrl+C ends it)"
fi
wait "$program"
