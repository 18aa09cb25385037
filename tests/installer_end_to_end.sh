#!/usr/bin/env bash
# The installer under Wine: a silent install puts the program in Program Files with a
# Start menu shortcut and an uninstall entry; the installed program scans and cleans
# with "/scan /clean" and writes its scheduled job from there; neither the installer nor
# the uninstaller runs while the program does; a silent uninstall removes all of it, the
# job included, and keeps the user's settings file; another program's job of that name
# stays; a folder that holds another program's files, or the user's documents, gets a
# folder of its own, and the uninstall leaves what was there.
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

# While the program runs, neither a silent install nor a silent uninstall goes ahead:
# each ends with status 2 and leaves everything as it was.
wine "C:\\Program Files\\Quorvantis\\Quorvantis.exe" </dev/null >"$work/running.log" 2>&1 &
pid=$!
wait_main_window
before=$(sha256sum "$installed/Quorvantis.exe" "$installed/uninstall.exe" "$job")
wine "$setup" /S </dev/null >"$work/setup-running.log" 2>&1
status=$?
check '[ $status -eq 2 ]' "setup /S over a running copy: exit status $status"
# In place (_?=), so that the status is the uninstaller's own; a batch file passes the
# argument as it is (it must not be quoted).
printf '%s\r\nexit %%ERRORLEVEL%%\r\n' \
  '"C:\Program Files\Quorvantis\uninstall.exe" /S _?=C:\Program Files\Quorvantis' >"$work/in-place.bat"
wine cmd /c "$(winepath -w "$work/in-place.bat" 2>/dev/null)" </dev/null >"$work/uninstall-running.log" 2>&1
status=$?
check '[ $status -eq 2 ]' "uninstall /S beside a running copy: exit status $status"
check '[ "$before" = "$(sha256sum "$installed/Quorvantis.exe" "$installed/uninstall.exe" "$job")" ]' \
  "a refused install or uninstall changed the program or its job"
check 'wine reg query "$key" /v UninstallString </dev/null >/dev/null 2>&1' "a refused uninstall removed the entry"
close_main "$pid" || kill "$pid" 2>/dev/null

# A job of that name that starts another program is left by the uninstaller.
python3 - "$job" <<'EOF2'
import sys
path = sys.argv[1]
data = open(path, "rb").read()
ours, theirs = "Quorvantis.exe".encode("utf-16-le"), "Notepad234.exe".encode("utf-16-le")
assert ours in data
open(path, "wb").write(data.replace(ours, theirs))
EOF2
foreign=$(sha256sum <"$job")

# A silent uninstall: everything of the program goes but the settings file.
wine "C:\\Program Files\\Quorvantis\\uninstall.exe" /S </dev/null >"$work/uninstall.log" 2>&1
for i in $(seq 1 100); do [ ! -e "$installed" ] && break; sleep 0.2; done
sleep 1
check '[ ! -e "$installed" ]' "left in Program Files: $(ls "$installed" 2>&1)"
check '[ ! -e "$shortcut" ]' "the shortcut was left"
check '! wine reg query "$key" </dev/null >/dev/null 2>&1' "the uninstall entry was left"
check '[ -f "$job" ] && [ "$(sha256sum <"$job")" = "$foreign" ]' "another program's job was changed or deleted"
check '[ -f "$settings" ]' "the settings file was removed"
rm -f "$settings" "$job"

# A chosen folder that holds another program's files, or the user's documents: the
# program goes into a folder of its own there, and the uninstall leaves what was there.
documents=$user_dir/Documents
mkdir -p "$drive_c/Apps/OtherApp" "$documents"
echo "OtherApp's own uninstaller" >"$drive_c/Apps/OtherApp/uninstall.exe"
echo "my thesis" >"$documents/thesis.txt"
for target in "C:\\Apps\\OtherApp|$drive_c/Apps/OtherApp" "C:\\users\\$user\\Documents|$documents"; do
  target_w=${target%%|*}
  target_u=${target#*|}
  listing=$(cd "$target_u" && find . -type f -exec sha256sum {} + | sort)
  wine "$setup" /S "/D=$target_w" </dev/null >"$work/setup-folder.log" 2>&1
  check '[ -f "$target_u/Quorvantis/Quorvantis.exe" ]' "not installed into a folder of its own in $target_w"
  check '[ "$listing" = "$(cd "$target_u" && find . -path ./Quorvantis -prune -o -type f -exec sha256sum {} + | sort)" ]' \
    "the install changed what $target_w held"
  wine "$target_w\\Quorvantis\\uninstall.exe" /S </dev/null >"$work/uninstall-folder.log" 2>&1
  for i in $(seq 1 100); do [ ! -e "$target_u/Quorvantis" ] && break; sleep 0.2; done
  check '[ ! -e "$target_u/Quorvantis" ]' "the uninstall left its folder in $target_w: $(ls "$target_u/Quorvantis" 2>&1)"
  check '[ -d "$target_u" ] && [ "$listing" = "$(cd "$target_u" && find . -type f -exec sha256sum {} + | sort)" ]' \
    "the uninstall changed what $target_w held"
done
rm -rf "$drive_c/Apps" "$documents/thesis.txt" "$settings"

echo "installer end-to-end: $failures failure(s)"
[ "$failures" -eq 0 ]
