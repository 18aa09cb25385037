#!/usr/bin/env bash
# The installer under Wine: a silent install puts the program in Program Files with a
# Start menu shortcut and an uninstall entry; the installed program scans and cleans
# with "/scan /clean" and writes its scheduled job from there; a silent uninstall
# removes all of it, the job included, and keeps the user's settings file.
#   installer_end_to_end.sh SETUP_EXE
set -uo pipefail
setup=$1
. "$(dirname "$0")/harness/e2e-common.sh"
. "$(dirname "$0")/harness/gui-common.sh"
work=$QV_TEST_SESSION/installer
rm -rf "$work"
mkdir -p "$work"
installed=$drive_c/Program\ Files/Quorvantis
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorvantis.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvantis'
settings=$user_dir/AppData/Roaming/Quorvantis/settings.cfg
job=$drive_c/windows/tasks/Quorvantis.job

wine "$setup" /S </dev/null >"$work/setup.log" 2>&1
status=$?
check '[ $status -eq 0 ]' "setup /S: exit status $status"
for f in Quorvantis.exe quorvantis-cli.exe uninstall.exe; do
  check '[ -f "$installed/$f" ]' "not installed: $f"
done
check '[ -f "$shortcut" ]' "no Start menu shortcut"
check 'wine reg query "$key" /v UninstallString </dev/null 2>/dev/null | grep -q "uninstall.exe"' "no uninstall entry"

# The installed program: "/scan /clean" on planted temp files (splash off).
mkdir -p "$(dirname "$settings")" "$temp_u/installed"
printf '0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 0 1 0 ' >"$settings"
echo x >"$temp_u/installed/planted.tmp"
wine "C:\\Program Files\\Quorvantis\\Quorvantis.exe" /scan /clean </dev/null >"$work/run.log" 2>&1
status=$?
check '[ $status -eq 0 ] && [ ! -e "$temp_u/installed" ]' "installed /scan /clean: status $status, $(ls "$temp_u/installed" 2>&1)"

# "Run, scan and clean automatically" chosen on the Schedule tab writes the job for the
# installed program.
wine "C:\\Program Files\\Quorvantis\\Quorvantis.exe" </dev/null >"$work/schedule.log" 2>&1 &
pid=$!
wait_main_window
click 138 228 # Settings
click 340 174 # the Schedule tab
click 275 274 # Run, scan and clean automatically
wait_until '[ -f "$job" ]' 10
close_main "$pid" || kill "$pid" 2>/dev/null
described=$(python3 "$(dirname "$0")/harness/read-job.py" "$job" 2>&1 | head -n 3 | tr '\n' '|')
check '[ "$described" = "application=C:\\Program Files\\Quorvantis\\Quorvantis.exe|parameters=/scan /clean|working_directory=C:\\Program Files\\Quorvantis|" ]' \
  "the installed program's job: $described"

# A silent uninstall: everything of the program goes but the settings file.
wine "C:\\Program Files\\Quorvantis\\uninstall.exe" /S </dev/null >"$work/uninstall.log" 2>&1
for i in $(seq 1 100); do [ ! -e "$installed" ] && break; sleep 0.2; done
sleep 1
check '[ ! -e "$installed" ]' "left in Program Files: $(ls "$installed" 2>&1)"
check '[ ! -e "$shortcut" ]' "the shortcut was left"
check '! wine reg query "$key" </dev/null >/dev/null 2>&1' "the uninstall entry was left"
check '[ ! -e "$job" ]' "the scheduled job was left"
check '[ -f "$settings" ]' "the settings file was removed"
rm -f "$settings"

echo "installer end-to-end: $failures failure(s)"
[ "$failures" -eq 0 ]
