# Sourced by the end-to-end scripts that drive Quorvantis.exe with xdotool under Xvfb.
# QV_DPI: the DPI the program runs at (96 unless a test sets LogPixels); the window's
# size and the coordinates of clicks, given at 96 DPI, grow with it.
QV_DPI=${QV_DPI:-96}
at_dpi() { echo $((($1 * QV_DPI + 48) / 96)); } # rounded, as MulDiv does

# The main window: the visible "Quorvantis" window of 668 x 437 at 96 DPI; prints
# "ID X Y".
main_window() {
  local id size
  size="$(at_dpi 668)x$(at_dpi 437)"
  for id in $(xdotool search --onlyvisible --name '^Quorvantis$' 2>/dev/null); do
    local geometry
    geometry=$(xdotool getwindowgeometry "$id" 2>/dev/null)
    if grep -q "Geometry: $size" <<<"$geometry"; then
      echo "$id $(sed -nE 's/.*Position: ([0-9]+),([0-9]+).*/\1 \2/p' <<<"$geometry")"
      return 0
    fi
  done
  return 1
}
wait_main_window() {
  local i
  for i in $(seq 1 300); do
    main_window >/dev/null && return 0
    sleep 0.1
  done
  return 1
}
# A click at client coordinates of the main window.
click() {
  local id x y
  read -r id x y <<<"$(main_window)"
  xdotool mousemove $((x + $(at_dpi "$1"))) $((y + $(at_dpi "$2"))) click 1
  sleep 0.4
}
# The question box: a visible "Quorvantis" window that is not the main window.
question_box() {
  local main id
  main=$(main_window | cut -d' ' -f1)
  for id in $(xdotool search --onlyvisible --name '^Quorvantis$' 2>/dev/null); do
    [ "$id" != "$main" ] && echo "$id" && return 0
  done
  return 1
}
# Another visible window of the program (the details dialog, a message box).
other_window() {
  local main
  main=$(main_window | cut -d' ' -f1)
  xdotool search --onlyvisible --class quorvantis 2>/dev/null | grep -vx "$main" | head -n 1 | grep .
}
# Closes the window that FINDER prints by sending it KEY: waits up to 10 s for it, and
# sends the key again until it is gone (Wine may replace a window's X window just after
# mapping it, so the first id found can be stale). Fails when none came or it stayed.
# The key is released at the end: xdotool presses a key of the focused window through
# the X server itself, and when the window closes on the press, it stops before the
# release, and the key stays held (repeating) for whatever program comes next.
close_with_key() {
  local i id seen="" result=1
  for i in $(seq 1 100); do
    if id=$($1); then
      seen=1
      xdotool key --window "$id" "$2" 2>/dev/null
      sleep 0.5
      $1 >/dev/null || { result=0; break; }
    elif [ -n "$seen" ]; then
      result=0
      break
    else
      sleep 0.1
    fi
  done
  xdotool keyup "$2" 2>/dev/null
  return $result
}
wait_exit() { # PID SECONDS: the exit status, or 124 when it did not end
  local i
  for i in $(seq 1 $(($2 * 10))); do
    kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }
    sleep 0.1
  done
  return 124
}
# Clicks the main window's close button and waits for PID to end; a click that came
# before the window took input is given again. The exit status, or 124.
close_main() {
  local status
  click 646 16
  wait_exit "$1" 20
  status=$?
  if [ $status -eq 124 ]; then
    click 646 16
    wait_exit "$1" 20
    status=$?
  fi
  return $status
}
