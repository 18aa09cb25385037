#!/usr/bin/env bash
# End to end: Quorvantis.exe started as a user and the Task Scheduler start it, driven
# with xdotool under Xvfb: "/scan /clean" ends by itself and cleans; "/scan" answered
# No keeps everything until Clean is clicked; "/fast" shows only the tray icon; an
# area click and closing write the settings file. Screenshots of every page go to
# QV_SCREENSHOTS.
#   app_end_to_end.sh QUORVANTIS_EXE
set -uo pipefail
exe=$1
. "$(dirname "$0")/harness/e2e-common.sh"
. "$(dirname "$0")/harness/gui-common.sh"
shots=${QV_SCREENSHOTS:-$QV_TEST_SESSION/screenshots}
mkdir -p "$shots"
work=$QV_TEST_SESSION/app-e2e
rm -rf "$work"
mkdir -p "$work"
settings=$user_dir/AppData/Roaming/Quorvantis/settings.cfg
planted=$temp_u/app-e2e

plant() {
  rm -rf "$planted"
  mkdir -p "$planted/sub"
  for f in a.tmp b.tmp sub/c.tmp; do echo "$f" >"$planted/$f"; done
}
shot() { import -window root "$shots/$1.png"; }
# 1. "/scan /clean", no settings file yet (so the splash shows first): it scans, cleans
# what it found without asking, and ends by itself with status 0.
rm -f "$settings"
plant
wine "$exe" /scan /clean </dev/null >"$work/scan-clean.log" 2>&1 &
pid=$!
sleep 1
shot splash-at-start
wait_exit $pid 60
status=$?
check '[ $status -eq 0 ]' "/scan /clean: exit status $status"
check '[ ! -e "$planted" ]' "/scan /clean left: $(ls -R "$planted" 2>&1)"
# It ends through the window's normal close: the settings are saved as at any close.
check '[ "$(cat "$settings" 2>&1)" = "0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 1 0 1 0 " ]' \
  "/scan /clean did not save the settings at its close: $(cat "$settings" 2>&1)"

# 1b. A settings file this program cannot understand (here UTF-16): the unattended run
# cleans nothing, ends with status 1 and leaves the file as it was; an interactive start
# takes the defaults and keeps the file as settings.cfg.bad when it saves.
printf '0 1 1 0 ' | iconv -f ascii -t utf-16 >"$settings"
unreadable=$(sha256sum <"$settings")
plant
wine "$exe" /scan /clean </dev/null >"$work/unreadable.log" 2>&1 &
pid=$!
wait_exit $pid 60
status=$?
check '[ $status -eq 1 ]' "/scan /clean with an unreadable settings file: exit status $status"
check '[ -f "$planted/a.tmp" ]' "/scan /clean with an unreadable settings file cleaned"
check '[ "$(sha256sum <"$settings")" = "$unreadable" ] && [ ! -e "$settings.bad" ]' \
  "/scan /clean changed the unreadable settings file"
wine "$exe" </dev/null >"$work/unreadable-interactive.log" 2>&1 &
pid=$!
wait_main_window
close_main $pid
check '[ "$(sha256sum <"$settings.bad" 2>&1)" = "$unreadable" ]' "the unreadable settings were not kept as settings.cfg.bad"
rm -f "$settings.bad"

# From here the splash is off (settings file with splash 0), and a rule file of our own
# gives three entries found on this machine (one with an exclusion that cannot be read,
# said under the list) and one that is not.
mkdir -p "$(dirname "$settings")" "$user_dir/AppData/Local/Vendor/Notes" "$user_dir/AppData/Local/Paint Studio"
cat >"$(dirname "$settings")/winapp2.ini" <<'RULES'
[Vendor Notes *]
LangSecRef=3021
DetectFile=%LocalAppData%\Vendor\Notes
FileKey1=%LocalAppData%\Vendor\Notes\Logs|*.log
[Paint Studio *]
LangSecRef=3023
DetectFile=%LocalAppData%\Paint Studio
FileKey1=%LocalAppData%\Paint Studio\Cache|*.*|REMOVESELF
[Bad Exclusion *]
LangSecRef=3023
DetectFile=%LocalAppData%\Paint Studio
FileKey1=%LocalAppData%\Paint Studio\Logs|*.log
ExcludeKey1=NOPE|%LocalAppData%\Paint Studio
[Not Installed *]
LangSecRef=3021
DetectFile=%ProgramFiles%\Not Installed
FileKey1=%LocalAppData%\Not Installed|*.*
RULES
printf '0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 0 1 0 ' >"$settings"
# A keep list of one site and one place, read when the window starts.
printf '# kept\r\nsite=mail.example.org\r\npath=C:\\Projects\\Tax returns\r\n' >"$(dirname "$settings")/keep.cfg"

# 2. "/scan" answered No: nothing cleaned, the window stays; Clean then removes it all.
plant
wine "$exe" /scan </dev/null >"$work/scan.log" 2>&1 &
pid=$!
check 'wait_until "question_box >/dev/null" 30' "/scan: no question asked"
shot scan-question
check 'close_with_key question_box n' "/scan: the question did not take No"
sleep 1
check '[ -f "$planted/a.tmp" ] && kill -0 $pid 2>/dev/null' "/scan answered No: files or window gone"
shot scan-page-found
click 619 201 # the Details cell of the Windows row
details=""
for i in $(seq 1 50); do details=$(other_window) && break; sleep 0.1; done
sleep 0.3
shot details-dialog
check '[ -n "$details" ]' "the details dialog did not open"
check 'close_with_key other_window Escape' "the details dialog did not close on Escape"
click 582 302 # Clean
wait_until '[ ! -e "$planted" ]' 20
check '[ ! -e "$planted" ]' "Clean left: $(ls -R "$planted" 2>&1)"
shot scan-page-cleaned
# Chrome's cookies (Chromium's own layout), read when the Keep tab first shows.
plant_cookies() {
  local cookies="$user_dir/AppData/Local/Google/Chrome/User Data/Default/Network"
  mkdir -p "$cookies"
  rm -f "$cookies/Cookies"
  {
    cat "$(dirname "$0")/data/browsers/chromium-Cookies.sql"
    for host in .example.org mail.example.org .news.example.com .shop.example.net .tracker.example; do
      echo "insert into cookies values (0, '$host', '', 'id', 'v', x'00', '/', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);"
    done
  } | sqlite3 "$cookies/Cookies"
}
plant_cookies

# 3. The pages and tabs, then an area click writes the whole settings file at once. The
# five option tabs stand in two rows: More applications and Keep above Windows,
# Applications and Browsers, until a tab of the upper row is chosen and the rows change
# places.
click 138 184; shot page-options
click 440 192; shot page-options-applications
# The Browsers tab; its last box of the first column, clicked twice, leaves the tab's
# picture whole.
click 575 192; click 300 394; click 300 394; shot page-options-browsers
# More applications: the detected entries, unchecked; a click checks one and writes
# apps.cfg beside the settings file.
click 363 174; shot page-options-more-applications
click 300 251
apps=$(dirname "$settings")/apps.cfg
wait_until '[ -f "$apps" ]' 5
check '[ "$(tr -d "\r" <"$apps" 2>&1)" = "Vendor Notes *" ]' "checking an entry wrote: $(cat "$apps" 2>&1)"
# Keep (now in the lower row): the sites of the browsers' cookies, the kept ones, places.
click 556 192; shot page-options-keep
click 138 228; shot page-configuration
click 340 174; shot page-configuration-schedule
click 138 273; shot page-about
click 138 184
before=$(cat "$settings")
click 275 234 # "Clean Recent Docs"
wait_until '[ "$(cat "$settings")" != "$before" ]' 5
after=$(cat "$settings")
check '[ "$after" = "0 0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 0 1 0 1 0 " ]' "area click: '$before' -> '$after'"
click 138 117
# Closing writes it again, and the program ends with status 0.
close_main $pid
status=$?
check '[ $status -eq 0 ]' "closing: exit status $status"
check '[ "$(cat "$settings")" = "0 0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 0 1 0 1 0 " ]' "settings after closing: $(cat "$settings")"

# 4. A clean in progress (each overwrite slowed down on the host side), seen on screen.
plant
slow=()
for i in $(seq 1 20); do head -c 4096 /dev/urandom >"$planted/slow$i.bin"; slow+=(-P "$planted/slow$i.bin"); done
strace -f -qq -o /dev/null "${slow[@]}" -e trace=write,pwrite64 -e inject=write,pwrite64:delay_enter=150000 \
  wine "$exe" </dev/null >"$work/cleaning.log" 2>&1 &
pid=$!
wait_main_window
click 462 302 # Scan
check 'close_with_key question_box y' "the slowed clean: the question did not take Yes"
sleep 1
shot scan-page-cleaning
wait_until '[ ! -e "$planted" ]' 60
check '[ ! -e "$planted" ]' "the slowed clean left: $(ls "$planted" 2>&1 | head -3)"
close_main $pid
check '[ $? -eq 0 ]' "the window of the slowed clean did not close"

# 4b. A scan in progress (each listing of a planted folder slowed on the host side): Scan
# is Stop; a click on it ends the scan with what it found listed and no question; a close
# during a scan stops it and the program ends.
plant
slow=()
for i in $(seq 1 8); do mkdir -p "$planted/d$i"; echo x >"$planted/d$i/f.tmp"; slow+=(-P "$planted/d$i"); done
strace -f -qq -o /dev/null "${slow[@]}" -e trace=getdents64 -e inject=getdents64:delay_enter=500000 \
  wine "$exe" </dev/null >"$work/scanning.log" 2>&1 &
pid=$!
check 'wait_main_window' "the slowed scan: no window"
click 462 302 # Scan
sleep 2
shot scan-page-scanning
click 462 302 # Stop
sleep 2
check '! question_box >/dev/null' "a stopped scan asked whether to clean"
shot scan-page-stopped
check '[ -e "$planted/d8/f.tmp" ]' "a stopped scan removed what it listed"
click 462 302 # Scan again, then close while it runs
sleep 1
close_main $pid
check '[ $? -eq 0 ]' "a close during a scan did not end the program"
rm -rf "$planted"

# 5. "/fast": only the tray icon shows; a double-click on it shows the window.
wine "$exe" /fast </dev/null >"$work/fast.log" 2>&1 &
pid=$!
sleep 3
check '! main_window >/dev/null' "/fast showed the window"
tray=$(xdotool search --onlyvisible --name 'Wine System Tray' 2>/dev/null | head -n 1)
if [ -n "$tray" ]; then
  read -r tx ty <<<"$(xdotool getwindowgeometry "$tray" | sed -nE 's/.*Position: ([0-9]+),([0-9]+).*/\1 \2/p')"
  # The icon sits below the tray window's own caption.
  xdotool mousemove $((tx + 13)) $((ty + 31)) click --repeat 2 --delay 80 1
  wait_main_window
  check 'main_window >/dev/null' "a double-click on the tray icon did not show the window"
  shot fast-then-shown
else
  fail "no system tray window"
fi
kill $pid 2>/dev/null; wait $pid 2>/dev/null

# 6. The schedule, set through its controls ("Run and scan automatically", "Monthly",
# "3rd", 08:05 typed into the time picker), written as the job "Quorvantis" as they
# change, and read back from the job file by a reader of our own.
jobs=$drive_c/windows/tasks
rm -f "$jobs/Quorvantis.job"
wine "$exe" </dev/null >"$work/schedule.log" 2>&1 &
pid=$!
wait_main_window
click 138 228                 # Settings
click 340 174                 # the Schedule tab
click 275 254                 # Run and scan automatically
click 300 294; xdotool key Escape; sleep 0.3; xdotool key M; sleep 0.3      # Monthly
click 407 294; xdotool key Escape; sleep 0.3; xdotool key 3; sleep 0.3      # 3rd
click 480 294; xdotool type --delay 150 08; xdotool key Right; xdotool type --delay 150 05; sleep 0.5
shot page-configuration-schedule-job
close_main $pid
job=$(python3 "$(dirname "$0")/harness/read-job.py" "$jobs/Quorvantis.job" 2>&1)
exe_w=$(winepath -w "$exe" 2>/dev/null)
expected_job="application=$exe_w
parameters=/scan
working_directory=${exe_w%\\*}
flags=0x2000
triggers=1
trigger_size=48
begin=$(date +%Y-%m-%d)
start=08:05
type=3
days=0x4
months=0xfff"
check '[ "$job" = "$expected_job" ]' "the job read back: $job"
check 'grep -q "^1 " "$settings"' "the settings file does not hold the automatic run: $(cat "$settings")"
rm -f "$jobs/Quorvantis.job"
printf '0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 0 1 0 ' >"$settings"

# 7. At 144 DPI (150 %, as Wine takes it from LogPixels): the window, its pictures and
# its texts grow together; the pages are shot once more.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1
QV_DPI=144
plant
plant_cookies
wine "$exe" /scan </dev/null >"$work/dpi.log" 2>&1 &
pid=$!
check 'wait_until "question_box >/dev/null" 30' "144 DPI: no question asked or the window is not 1002 x 656"
close_with_key question_box n
sleep 1
shot dpi144-scan-page-found
click 138 184; shot dpi144-page-options
click 575 192; shot dpi144-page-options-browsers
click 556 174; shot dpi144-page-options-keep
click 138 228; click 340 174; shot dpi144-page-configuration-schedule
click 138 273; shot dpi144-page-about
click 138 117; click 619 201
for i in $(seq 1 50); do other_window >/dev/null && break; sleep 0.1; done
sleep 0.3
shot dpi144-details-dialog
close_with_key other_window Escape
# Alt+F4 closes as the close button does.
main_id() { main_window | cut -d' ' -f1 | grep .; }
close_with_key main_id alt+F4
# xdotool can leave Alt held on the display when the window goes before the key is up;
# every later click would then be an Alt+click.
xdotool keyup Alt_L Alt_R 2>/dev/null
wait_exit $pid 20
check '[ $? -eq 0 ]' "Alt+F4 did not close the window"
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f </dev/null >/dev/null 2>&1
QV_DPI=96
rm -rf "$planted" "$user_dir/AppData/Local/Google" "$(dirname "$settings")/keep.cfg"

echo "app end-to-end: $failures failure(s)"
[ "$failures" -eq 0 ]
