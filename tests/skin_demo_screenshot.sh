#!/usr/bin/env bash
# Runs tools/skin-demo.exe under the test run's Xvfb, saves a screenshot of the screen
# under the build tree (screenshots/skin-demo.png) for review, and checks that the
# skinned window was really drawn and that the demo ended by itself.
set -uo pipefail
demo=$1
out=$2
[ -n "${WINEPREFIX:-}" ] && [ -n "${QV_TEST_SESSION:-}" ] || { echo "run through scripts/test.sh" >&2; exit 2; }
mkdir -p "$(dirname "$out")"
rm -f "$out"

wine "$demo" --close-after=8000 </dev/null >/dev/null 2>&1 &
pid=$!
shown=0
for _ in $(seq 1 80); do
  if xdotool search --onlyvisible --name "Quorvantis skin demo" >/dev/null 2>&1; then shown=1; break; fi
  sleep 0.1
done
sleep 1.5 # let the buttons and the tray icon paint
import -window root "$out"
wait "$pid"
status=$?

failures=0
[ "$shown" -eq 1 ] || { echo "FAIL: the demo window never appeared"; failures=$((failures + 1)); }
[ "$status" -eq 0 ] || { echo "FAIL: the demo exited with $status"; failures=$((failures + 1)); }
# The skin's teal and navy must be on the screen, and the cut-away magenta must not.
colours=$(convert "$out" -format %c histogram:info:- 2>/dev/null)
grep -qi '#16A096' <<<"$colours" || { echo "FAIL: no skin colour in the screenshot"; failures=$((failures + 1)); }
grep -qi '#1B2640' <<<"$colours" || { echo "FAIL: no title strip in the screenshot"; failures=$((failures + 1)); }
grep -qi '#FF00FF' <<<"$colours" && { echo "FAIL: the transparent colour shows: the window is not shaped"; failures=$((failures + 1)); }
echo "skin demo screenshot: $out; $failures failure(s)"
[ "$failures" -eq 0 ]
