#!/usr/bin/env bash
# The console front end against hostile settings and at a terminal: temp folders that
# are not scratch space or are named twice, names of every script, a locked Firefox
# database, Ctrl+C in the middle of a clean, the flushed wipe, help and version, and
# the output at a console (whole blocks, a progress line) against a redirected one.
#   cli_safety.sh CLI WALK_BENCH
set -uo pipefail
cli=$1
bench=$2
. "$(dirname "$0")/harness/e2e-common.sh"
work=$QV_TEST_SESSION/safety
rm -rf "$work"
mkdir -p "$work" "$temp_u"
cli_w=$(winepath -w "$cli" 2>/dev/null)
run_cli() { wine "$cli" "$@" </dev/null; }
# Runs the console front end with TEMP and TMP set for it alone.
run_with_temp() {
  local temp=$1
  shift
  wine cmd /c "set TEMP=$temp&& set TMP=$temp&& $cli_w $*" </dev/null
}
crlf() { tr -d '\r' <"$1"; }

# 1. Help and version.
run_cli --help >"$work/help.out" 2>"$work/help.err"
status=$?
check '[ $status -eq 0 ] && grep -q "^usage: quorvantis-cli.exe" "$work/help.out" && grep -q "705  Clean Windows Temp folders" "$work/help.out" && [ ! -s "$work/help.err" ]' \
  "--help: status $status, $(head -n 2 "$work/help.out")"
run_cli --version >"$work/version.out" 2>&1
version=$(sed -n 's/^#define QV_VERSION_TEXT "\(.*\)"$/\1/p' "$(dirname "$0")/../resources/Version.h")
check '[ -n "$version" ] && [ "$(crlf "$work/version.out")" = "quorvantis-cli $version" ]' "--version: $(cat "$work/version.out")"

# 2. Names of every script are listed as they are, in UTF-8, and cleaned.
mkdir -p "$temp_u/names/日本"
for name in "Привет.txt" "café.txt" "日本/😀.txt"; do echo x >"$temp_u/names/$name"; done
run_cli --areas=705 >"$work/names.out" 2>/dev/null
for name in 'Привет.txt' 'café.txt' '日本\' '日本\😀.txt'; do
  check 'crlf "$work/names.out" | grep -qxF "0	Temporary $( [ "${name: -1}" = "\\" ] && echo folder || echo file)	$temp_w\\names\\$name"' "not listed as UTF-8: $name"
done
run_cli --areas=705 --clean >/dev/null 2>&1
check '[ ! -e "$temp_u/names" ]' "names left: $(ls -R "$temp_u/names" 2>&1)"

# 3. TEMP and TMP naming the profile or a drive root: refused and reported, nothing
# of the profile touched, and the clean does not claim success.
echo keep >"$user_dir/precious-profile.txt"
for root in "C:\\users\\$user" 'C:\'; do
  run_with_temp "$root" --areas=705 --clean >"$work/root.out" 2>"$work/root.err"
  status=$?
  check 'crlf "$work/root.err" | grep -qF "skipped $root: "' "TEMP=$root: no 'skipped' line: $(cat "$work/root.err")"
  check '[ $status -eq 1 ] && ! crlf "$work/root.out" | grep -qi "precious-profile\|system32"' \
    "TEMP=$root: status $status, $(head -n 3 "$work/root.out")"
done
check '[ "$(cat "$user_dir/precious-profile.txt")" = keep ] && [ -d "$drive_c/windows/system32" ]' "the profile was touched"
rm -f "$user_dir/precious-profile.txt"

# 4. TEMP and TMP naming the Windows temp folder: each file listed once, and cleaned.
echo w >"$drive_c/windows/temp/qv-twice.tmp"
run_with_temp 'C:\windows\TEMP' --areas=705 --clean >"$work/twice.out" 2>"$work/twice.err"
check '[ "$(crlf "$work/twice.out" | grep -c "qv-twice.tmp")" -eq 1 ] && [ ! -e "$drive_c/windows/temp/qv-twice.tmp" ]' \
  "the Windows temp folder: $(grep qv-twice "$work/twice.out")"

# 5. A Firefox database locked by the browser: reported, and the clean does not
# claim success while its rows remain.
profile_u=$user_dir/AppData/Roaming/Mozilla/Firefox/Profiles/safety.default
rm -rf "$user_dir/AppData/Roaming/Mozilla"
mkdir -p "$profile_u"
sqlite3 "$profile_u/places.sqlite" "
  create table moz_places (id integer primary key, url text);
  create table moz_historyvisits (id integer primary key, place_id integer, visit_date integer);
  insert into moz_places values (1, 'http://held.example/');
  insert into moz_historyvisits (place_id, visit_date) values (1, 10);"
(printf 'pragma locking_mode=exclusive;\nbegin exclusive;\nselect 1;\n'; sleep 20) | sqlite3 "$profile_u/places.sqlite" >/dev/null 2>&1 &
holder=$!
wait_until '! sqlite3 "$profile_u/places.sqlite" "select 1 from moz_historyvisits" >/dev/null 2>&1' 10
run_cli --areas=716 --clean >"$work/locked.out" 2>"$work/locked.err"
status=$?
kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null
check 'crlf "$work/locked.err" | grep -q "^could not read C:.*places.sqlite: "' "locked database not reported: $(cat "$work/locked.err")"
check '[ $status -eq 1 ]' "locked database: exit status $status"
check '[ "$(sqlite3 "$profile_u/places.sqlite" "select count(*) from moz_historyvisits")" = 1 ]' "the visits changed"
rm -rf "$user_dir/AppData/Roaming/Mozilla"

# 6. Ctrl+C in the middle of a shredding clean (each overwrite slowed down on the host
# side): the clean stops, says so, and lists what it left.
mkdir -p "$temp_u/cancel"
slow=()
for i in $(seq 1 30); do
  head -c 4096 /dev/urandom >"$temp_u/cancel/f$i.bin"
  slow+=(-P "$temp_u/cancel/f$i.bin")
done
strace -f -qq -o /dev/null "${slow[@]}" -e trace=write,pwrite64 -e inject=write,pwrite64:delay_enter=200000 \
  wine "$cli" --areas=705 --clean >"$work/cancel.out" 2>"$work/cancel.err" </dev/null &
tracer=$!
for i in $(seq 1 300); do
  [ "$(ls "$temp_u/cancel" | wc -l)" -lt 29 ] && break
  sleep 0.1
done
# Only this run's program (the tracer's child): another test run may share the machine.
pid=$(pgrep -P "$tracer" -x 'quorvantis-cli.' | head -n 1)
[ -n "$pid" ] && kill -INT "$pid"
wait "$tracer"
status=$?
remaining=$(ls "$temp_u/cancel" | wc -l)
check '[ $status -eq 1 ] && crlf "$work/cancel.err" | grep -qx cancelled' "Ctrl+C: status $status, stderr $(cat "$work/cancel.err")"
check '[ "$remaining" -gt 0 ] && [ "$remaining" -lt 29 ]' "Ctrl+C: $remaining files remain"
check '[ "$(crlf "$work/cancel.out" | grep -c "^left	0	Temporary file	.*\\\\cancel\\\\f")" -eq "$remaining" ]' \
  "Ctrl+C: left lines do not match the $remaining files remaining"
check 'crlf "$work/cancel.out" | tail -n 1 | grep -qE "^found [0-9]+, cleaned [0-9]+, left [1-9][0-9]*$"' "Ctrl+C summary: $(tail -n 1 "$work/cancel.out")"
rm -rf "$temp_u/cancel"

# 7. The wipe flushes its file before closing it, and leaves nothing (the 24 MiB U:).
if [ "${QV_TMPFS_DRIVE:-0}" = 1 ]; then
  strace -f -y -qq -o "$work/wipe.trace" -e trace=fsync,fdatasync wine "$bench" --wipe U: >"$work/wipe.out" 2>&1 </dev/null
  check 'grep -qE "(fsync|fdatasync)\([0-9]+<[^>]*/tmpfile01010101>" "$work/wipe.trace"' "the wipe file was not flushed"
  check 'crlf "$work/wipe.out" | grep -qE "^wipe [0-9]+ [0-9.]+ 1$" && [ -z "$(ls "$QV_TEST_SESSION/drives/u")" ]' \
    "wipe of U:: $(cat "$work/wipe.out"), left $(ls "$QV_TEST_SESSION/drives/u")"
fi

# 8. At a terminal: the output is written in whole blocks, not a byte per call, and a
# progress line shows on stderr; redirected, stderr stays empty and stdout keeps
# its lines. --quiet prints only the closing line.
mkdir -p "$temp_u/tty"
for i in $(seq 1 300); do echo x >"$temp_u/tty/file$i.tmp"; done
script -qfec "strace -f -y -qq -o '$work/tty.trace' -e trace=write wine '$cli' --areas=705" "$work/tty.out" >/dev/null 2>&1 </dev/null
tty_writes=$(grep -c '</dev/pts/[0-9]*>' "$work/tty.trace")
check '[ "$tty_writes" -gt 0 ] && [ "$tty_writes" -lt 400 ]' "console output in $tty_writes writes for 300 lines"
check 'grep -q "Scanning Windows cleaning: " "$work/tty.out"' "no progress line at the console"
run_cli --areas=705 >"$work/redirected.out" 2>"$work/redirected.err"
check '[ ! -s "$work/redirected.err" ]' "redirected stderr: $(head -c 200 "$work/redirected.err")"
check '[ "$(crlf "$work/redirected.out" | grep -c "tty\\\\file")" -eq 300 ] && crlf "$work/redirected.out" | tail -n 1 | grep -qx "found [0-9]*"' \
  "redirected stdout: $(tail -n 1 "$work/redirected.out")"
run_cli --areas=705 --quiet >"$work/quiet.out" 2>&1
check '[ "$(crlf "$work/quiet.out" | wc -l)" -eq 1 ] && crlf "$work/quiet.out" | grep -qx "found [0-9]*"' "--quiet: $(head -n 3 "$work/quiet.out")"
rm -rf "$temp_u/tty"

echo "cli safety: $failures failure(s)"
[ "$failures" -eq 0 ]
