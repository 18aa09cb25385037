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

# 9. Roots a clean with shredding may not enter: a Chrome cache folder and a whole
# Chromium profile that are links into the documents, and Firefox profiles listed as "."
# (run from the documents) or as the documents themselves. Each is said on stderr, the
# clean exits 1, and the documents keep every byte.
docs_u=$user_dir/Documents
mkdir -p "$docs_u/Projects"
echo "my project" >"$docs_u/Projects/plan.txt"
sqlite3 "$docs_u/cookies.sqlite" "create table moz_cookies (id integer primary key, name text, host text, path text);
  insert into moz_cookies values (1, 'doc', '.docs.example', '/');"
docs_before=$(cd "$docs_u" && find . -type f -exec sha256sum {} + | sort)
chrome_u="$user_dir/AppData/Local/Google/Chrome/User Data"
chrome_w="C:\\users\\$user\\AppData\\Local\\Google\\Chrome\\User Data"
firefox_u=$user_dir/AppData/Roaming/Mozilla/Firefox
mkdir -p "$chrome_u/Default" "$firefox_u"
ln -s "$docs_u/Projects" "$chrome_u/Default/GPUCache"
ln -s "$docs_u" "$chrome_u/Profile 1"
printf '[Profile0]\r\nIsRelative=0\r\nPath=.\r\n\r\n[Profile1]\r\nIsRelative=0\r\nPath=C:\\users\\%s\\Documents\r\n' \
  "$user" >"$firefox_u/profiles.ini"
wine cmd /c "cd /d C:\\users\\$user\\Documents&& $cli_w --areas=714,715 --clean" </dev/null \
  >"$work/links.out" 2>"$work/links.err"
status=$?
check '[ $status -eq 1 ]' "links into the documents: exit status $status"
for place in "$chrome_w\\Default\\GPUCache" "$chrome_w\\Profile 1" "." "C:\\users\\$user\\Documents"; do
  check 'crlf "$work/links.err" | grep -qF "skipped $place: "' "no 'skipped' line for $place: $(cat "$work/links.err")"
done
check '[ "$docs_before" = "$(cd "$docs_u" && find . -type f -exec sha256sum {} + | sort)" ]' "the documents changed"
check '! crlf "$work/links.out" | grep -q "plan.txt\|docs.example"' "something of the documents was listed"
rm -rf "$user_dir/AppData/Local/Google" "$user_dir/AppData/Roaming/Mozilla" "$docs_u/Projects" "$docs_u/cookies.sqlite"

# 10. A user name outside the ANSI code page: TEMP and TMP in Cyrillic, the Recent folder
# in Chinese characters. Both are found and cleaned like any other.
mkdir -p "$user_dir/Временные/sub" "$user_dir/张伟/Recent"
echo a >"$user_dir/Временные/a.tmp"
echo b >"$user_dir/Временные/sub/b.tmp"
echo r >"$user_dir/张伟/Recent/doc.lnk"
shell_folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
wine reg add "$shell_folders" /v Recent /t REG_EXPAND_SZ /d "C:\\users\\$user\\张伟\\Recent" /f </dev/null >/dev/null 2>&1
run_with_temp "C:\\users\\$user\\Временные" --areas=701,705 --clean >"$work/unicode.out" 2>"$work/unicode.err"
status=$?
check 'crlf "$work/unicode.out" | grep -qF "0	Temporary file	C:\\users\\$user\\Временные\\sub\\b.tmp"' \
  "the Cyrillic temp folder was not listed: $(head -c 300 "$work/unicode.out")"
check 'crlf "$work/unicode.out" | grep -qF "0	Temporary file	C:\\users\\$user\\张伟\\Recent\\doc.lnk"' \
  "the Chinese Recent folder was not listed: $(head -c 300 "$work/unicode.out")"
check '[ $status -eq 0 ] && [ -z "$(ls -A "$user_dir/Временные")" ] && [ ! -e "$user_dir/张伟/Recent/doc.lnk" ]' \
  "status $status, left: $(ls -R "$user_dir/Временные" "$user_dir/张伟" 2>&1 | head -5) $(cat "$work/unicode.err")"
wine reg delete "$shell_folders" /v Recent /f </dev/null >/dev/null 2>&1
rm -rf "$user_dir/Временные" "$user_dir/张伟"

# 11. Links and second names planted where a clean of browser databases would write (a
# symbolic link at History's write-ahead log, a hard link at Firefox's), and a trigger
# stored in places.sqlite: each database is said once, however many areas read it, and
# left; the clean exits 1, and the documents keep every byte; once the links are gone the
# clean runs, and the trigger, which would remove every bookmark, never runs.
schemas=$(dirname "$0")/data/browsers
chrome_u="$user_dir/AppData/Local/Google/Chrome/User Data/Default"
chrome_w="C:\\users\\$user\\AppData\\Local\\Google\\Chrome\\User Data\\Default"
places_u=$user_dir/AppData/Roaming/Mozilla/Firefox/Profiles/links.default
places_w="C:\\users\\$user\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\links.default"
mkdir -p "$chrome_u" "$places_u"
sqlite3 "$chrome_u/History" <"$schemas/chromium-History.sql"
sqlite3 "$chrome_u/History" "insert into urls (id, url, title, visit_count, typed_count, last_visit_time)
  values (1, 'https://chrome.example/', '', 1, 0, 10); insert into visits (id, url, visit_time) values (1, 1, 10);"
sqlite3 "$places_u/places.sqlite" <"$schemas/firefox-places.sql"
sqlite3 "$places_u/places.sqlite" "insert into moz_places (id, url, guid) values (1, 'https://ff.example/', 'p1');
  insert into moz_historyvisits (place_id, visit_date, visit_type) values (1, 10, 1);
  insert into moz_bookmarks (id, type, parent, guid) values (1, 2, 0, 'root________'), (2, 2, 1, 'menu________');
  insert into moz_bookmarks (id, type, fk, parent, title, guid) values (3, 1, 1, 2, 'kept', 'bookmark0001');
  create trigger planted after delete on moz_historyvisits begin delete from moz_bookmarks; end;"
printf 'my thesis' >"$docs_u/thesis.txt"
printf 'my notes' >"$docs_u/notes.txt"
ln -s "$docs_u/thesis.txt" "$chrome_u/History-wal"
ln "$docs_u/notes.txt" "$places_u/places.sqlite-wal"
cp "$chrome_u/History" "$work/History.before"
run_cli --areas=716,717,718,722 --sections=2 --clean >"$work/planted.out" 2>"$work/planted.err"
status=$?
check '[ $status -eq 1 ]' "links beside databases: exit status $status"
for line in "skipped $chrome_w\\History: History-wal leads elsewhere (a link); the database is left as it is" \
  "skipped $places_w\\places.sqlite: places.sqlite-wal has 2 names (hard links); the database is left as it is"; do
  check '[ "$(crlf "$work/planted.err" | grep -cxF "$line")" = 1 ]' "links beside databases: not once '$line': $(cat "$work/planted.err")"
done
check '[ "$(cat "$docs_u/thesis.txt")" = "my thesis" ] && [ "$(cat "$docs_u/notes.txt")" = "my notes" ] && [ -L "$chrome_u/History-wal" ]' \
  "links beside databases: the documents or the links changed"
check 'cmp -s "$chrome_u/History" "$work/History.before"' "links beside databases: History changed"
rm "$chrome_u/History-wal" "$places_u/places.sqlite-wal"
run_cli --areas=716 --sections=2 --clean >"$work/planted.out" 2>"$work/planted.err"
status=$?
check '[ $status -eq 0 ] && [ "$(sqlite3 "$places_u/places.sqlite" "select count(*) from moz_historyvisits") $(sqlite3 "$places_u/places.sqlite" "select count(*) from moz_bookmarks")" = "0 3" ]' \
  "the stored trigger: status $status, visits and bookmarks $(sqlite3 "$places_u/places.sqlite" "select count(*) from moz_historyvisits; select count(*) from moz_bookmarks" | tr '\n' ' ') $(cat "$work/planted.err")"
rm -rf "$user_dir/AppData/Local/Google" "$user_dir/AppData/Roaming/Mozilla" "$docs_u/thesis.txt" "$docs_u/notes.txt"

echo "cli safety: $failures failure(s)"
[ "$failures" -eq 0 ]
