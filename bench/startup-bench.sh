#!/usr/bin/env bash
# Start-up of Quorvantis.exe (splash off through its settings file) against a bare
# Win32 window loading the same system pieces, in one Wine session: the time from
# launch to the 668 x 437 window being shown, and the resident memory then. Median of
# RUNS launches each. Prints figures; asserts nothing.
#   bench/startup-bench.sh [BUILD_DIR]      (build first: scripts/build.sh)
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
runs=${RUNS:-5}
. "$top/tests/harness/wine-session.sh"
session_start "$build/startup-session"
trap session_stop EXIT
user_dir=$(ls -d "$WINEPREFIX/drive_c/users/"*/ | grep -v '/Public/$' | head -n 1)
mkdir -p "$user_dir/AppData/Roaming/Quorvantis"
printf '0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 0 1 0 ' >"$user_dir/AppData/Roaming/Quorvantis/settings.cfg"

# Launches EXE and waits for its visible window named NAME of 668 x 437; prints the
# milliseconds it took and the process's resident memory in KiB.
measure() {
  local exe=$1 name=$2 start end pid id rss
  start=$(date +%s%N)
  wine "$exe" </dev/null >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 600); do
    for id in $(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null); do
      if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q 'Geometry: 668x437'; then
        end=$(date +%s%N)
        rss=$(for p in $(pgrep -f "$(basename "$exe")"); do grep VmRSS "/proc/$p/status" 2>/dev/null; done |
          awk '{ if ($2 > max) max = $2 } END { print max + 0 }')
        xdotool windowclose "$id" 2>/dev/null || true
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        echo "$(((end - start) / 1000000)) $rss"
        return 0
      fi
    done
    sleep 0.01
  done
  kill "$pid" 2>/dev/null || true
  echo "0 0"
}
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

declare -a app_ms app_kb bare_ms bare_kb
for i in $(seq 1 "$runs"); do
  read -r ms kb <<<"$(measure "$build/Quorvantis.exe" Quorvantis)"; app_ms+=("$ms"); app_kb+=("$kb")
  read -r ms kb <<<"$(measure "$build/bench/bare_window.exe" bare)"; bare_ms+=("$ms"); bare_kb+=("$kb")
done
a_ms=$(printf '%s\n' "${app_ms[@]}" | median); b_ms=$(printf '%s\n' "${bare_ms[@]}" | median)
a_kb=$(printf '%s\n' "${app_kb[@]}" | median); b_kb=$(printf '%s\n' "${bare_kb[@]}" | median)
printf '%-24s %12s %14s\n' "program" "start-up ms" "resident KiB"
printf '%-24s %12s %14s\n' "Quorvantis.exe" "$a_ms" "$a_kb"
printf '%-24s %12s %14s\n' "bare window" "$b_ms" "$b_kb"
python3 -c "import sys; a, b, c, d = map(float, sys.argv[1:]); print('ratio start-up: %.2f; memory difference: %.1f MB' % (a / b, (c - d) / 1024))" \
  "$a_ms" "$b_ms" "$a_kb" "$b_kb"

# With the splash on: when it is first on the screen (a visible window of its 620 x 226
# size), and how long it stays there until the main window shows.
settings_file="$user_dir/AppData/Roaming/Quorvantis/settings.cfg"
printf '0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 1 0 ' >"$settings_file"
declare -a shown_ms stayed_ms
for i in $(seq 1 "$runs"); do
  start=$(date +%s%N); splash_at=0; main_at=0
  wine "$build/Quorvantis.exe" </dev/null >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 1000); do
    now=$(date +%s%N)
    if [ "$splash_at" = 0 ]; then
      for id in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
        xdotool getwindowgeometry "$id" 2>/dev/null | grep -q 'Geometry: 620x226' && splash_at=$now && break
      done
    fi
    if [ "$splash_at" != 0 ] && xdotool search --onlyvisible --name '^Quorvantis$' >/dev/null 2>&1; then
      main_at=$now; break
    fi
    sleep 0.01
  done
  for id in $(xdotool search --onlyvisible --name '^Quorvantis$' 2>/dev/null); do xdotool windowclose "$id" 2>/dev/null || true; done
  kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true
  shown_ms+=($(((splash_at - start) / 1000000))); stayed_ms+=($(((main_at - splash_at) / 1000000)))
done
echo "splash on the screen after $(printf '%s\n' "${shown_ms[@]}" | median) ms, there for $(printf '%s\n' "${stayed_ms[@]}" | median) ms before the window shows (median of $runs)"
