#!/usr/bin/env bash
# End-to-end check of quorvantis-cli.exe in the test run's Wine prefix: plants a temp
# folder, a Recent folder and ScanDisk fragments, lists them, cleans them, and checks
# the output, the exit status, what the shred wrote, and that links were not followed.
set -uo pipefail
cli=$1
. "$(dirname "$0")/harness/e2e-common.sh"
recent_u=$user_dir/AppData/Roaming/Microsoft/Windows/Recent
recent_w="C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Windows\\Recent"
work=$QV_TEST_SESSION/e2e
rm -rf "$work" "$temp_u/e2e" "$recent_u/e2e.lnk" "$drive_c/FILE0000.CHK" "$drive_c/FOUND.000"
mkdir -p "$work" "$temp_u" "$recent_u"

# Fixtures: everything under the prefix's C: drive.
mkdir -p "$temp_u/e2e/sub" "$drive_c/FOUND.000" "$work/documents"
echo a >"$temp_u/e2e/a.tmp"
echo b >"$temp_u/e2e/sub/b.tmp"
echo ro >"$temp_u/e2e/readonly.tmp"
head -c $((3 * 1048576)) /dev/urandom >"$temp_u/e2e/big.bin"
head -c 5000 /dev/urandom >"$temp_u/e2e/small.bin"
: >"$temp_u/e2e/empty.bin"
echo keep >"$work/documents/precious.doc"
ln -s "$work/documents" "$temp_u/e2e/documents-link"
echo lnk >"$recent_u/e2e.lnk"
echo chk >"$drive_c/FILE0000.CHK"
echo chk >"$drive_c/FOUND.000/FILE0001.CHK"
# The read-only attribute, set from the Windows side.
wine attrib +r "$temp_w\\e2e\\readonly.tmp" </dev/null >/dev/null 2>&1

# 1. The preview lists what was planted, in section and walk order, and cleans nothing.
wine "$cli" --areas=701,705,706 >"$work/scan.out" 2>"$work/scan.err" </dev/null
status=$?
tr -d '\r' <"$work/scan.out" >"$work/scan.txt"
check '[ $status -eq 0 ]' "preview exit status $status"
count=$(grep -vc '^found ' "$work/scan.txt")
check 'tail -n 1 "$work/scan.txt" | grep -qx "found $count"' "last line is not 'found $count'"
for line in \
  "0	Temporary file	$recent_w\\e2e.lnk" \
  "0	Temporary file	$temp_w\\e2e\\a.tmp" \
  "0	Temporary folder	$temp_w\\e2e\\" \
  "0	Temporary folder	$temp_w\\e2e\\sub\\" \
  "0	Temporary file	$temp_w\\e2e\\sub\\b.tmp" \
  "0	Temporary file	$temp_w\\e2e\\readonly.tmp" \
  "0	Scandisk file fragment	C:\\FILE0000.CHK" \
  "0	Scandisk folder	C:\\FOUND.000\\" \
  "0	Scandisk file fragment	C:\\FOUND.000\\FILE0001.CHK"; do
  check 'grep -qxF "$line" "$work/scan.txt"' "missing line: $line"
done
check '! grep -q "documents-link\|precious" "$work/scan.txt"' "a directory link was listed or followed"
# Order: the Recent folder (area 701) comes before the temp folder (705), which comes
# before the ScanDisk fragments (706); a folder comes before its content.
line_of() { grep -nxF "$1" "$work/scan.txt" | head -n 1 | cut -d: -f1; }
recent_at=$(line_of "0	Temporary file	$recent_w\\e2e.lnk")
temp_at=$(line_of "0	Temporary folder	$temp_w\\e2e\\")
sub_at=$(line_of "0	Temporary folder	$temp_w\\e2e\\sub\\")
b_at=$(line_of "0	Temporary file	$temp_w\\e2e\\sub\\b.tmp")
chk_at=$(line_of "0	Scandisk file fragment	C:\\FILE0000.CHK")
check '[ "$recent_at" -lt "$temp_at" ] && [ "$temp_at" -lt "$sub_at" ] && [ "$sub_at" -lt "$b_at" ] && [ "$b_at" -lt "$chk_at" ]' \
  "order: recent $recent_at, temp $temp_at, sub $sub_at, b $b_at, scandisk $chk_at"
check '[ -f "$temp_u/e2e/a.tmp" ] && [ -f "$drive_c/FILE0000.CHK" ]' "the preview deleted something"

# 2. The clean, traced: every write and flush the program makes, with the host paths.
strace -f -y -qq -o "$work/trace.txt" -e trace=write,pwrite64,fsync,fdatasync \
  wine "$cli" --areas=701,705,706 --clean >"$work/clean.out" 2>"$work/clean.err" </dev/null
status=$?
tr -d '\r' <"$work/clean.out" >"$work/clean.txt"
left=$(grep -c '^left	' "$work/clean.txt")
check 'tail -n 1 "$work/clean.txt" | grep -qE "^found [0-9]+, cleaned [0-9]+, left $left$"' \
  "bad summary: $(tail -n 1 "$work/clean.txt")"
expected_status=0; [ "$left" -gt 0 ] && expected_status=1
check '[ $status -eq $expected_status ]' "clean exit status $status with $left items left"
# The unlisted link keeps its folder from being removed: that folder alone stays listed.
planted_left=$(grep "^left" "$work/clean.txt" | grep "e2e\|CHK\|FOUND")
check '[ "$planted_left" = "$(printf "left\t0\tTemporary folder\t%s" "$temp_w\\e2e\\")" ]' \
  "planted items left: $planted_left"
check '[ -L "$temp_u/e2e/documents-link" ] && [ "$(ls -A "$temp_u/e2e")" = documents-link ]' \
  "the temp folder should hold only the link: $(ls -A "$temp_u/e2e" 2>&1)"
for gone in "$temp_u/e2e/sub" "$temp_u/e2e/a.tmp" "$temp_u/e2e/readonly.tmp" "$temp_u/e2e/big.bin" \
  "$recent_u/e2e.lnk" "$drive_c/FILE0000.CHK" "$drive_c/FOUND.000"; do
  check '[ ! -e "$gone" ] && [ ! -L "$gone" ]' "still there: $gone"
done
check '[ "$(cat "$work/documents/precious.doc" 2>/dev/null)" = keep ]' "the link's target was touched"

# The shred: 256 writes of 4096 bytes to the 3 MiB file, 4096 + 904 to the 5000-byte
# file, none to the empty one, and a flush of each before it is deleted.
writes_to() { grep -E "(write|pwrite64)\([0-9]+<[^>]*/$1>" "$work/trace.txt"; }
big_writes=$(writes_to big.bin | grep -c '= 4096$')
check '[ "$big_writes" -eq 256 ]' "big.bin: $big_writes writes of 4096 bytes, expected 256"
check '[ "$(writes_to big.bin | grep -vc "= 4096$")" -eq 0 ]' "big.bin: writes of other sizes"
small=$(writes_to small.bin | sed -E 's/.*= ([0-9]+)$/\1/' | tr '\n' ' ')
check '[ "$small" = "4096 904 " ]' "small.bin write sizes: '$small'"
check '[ -z "$(writes_to empty.bin)" ]' "empty.bin was written to"
check '[ -z "$(writes_to readonly.tmp)" ]' "the read-only file was overwritten"
for f in big.bin small.bin; do
  check 'grep -qE "(fsync|fdatasync)\([0-9]+<[^>]*/$f>" "$work/trace.txt"' "$f was not flushed"
done

# 3. Without shredding nothing is overwritten.
rm -f "$temp_u/e2e/documents-link"
head -c 10000 /dev/urandom >"$temp_u/e2e/plain.bin"
strace -f -y -qq -o "$work/trace2.txt" -e trace=write,pwrite64 \
  wine "$cli" --areas=705 --clean --no-shred >/dev/null 2>&1 </dev/null
check '! grep -q "plain.bin>" "$work/trace2.txt"' "--no-shred still wrote to the file"
check '[ ! -e "$temp_u/e2e/plain.bin" ]' "--no-shred did not delete the file"

# 4. Arguments: the wipe section lists the fixed drives (the prefix's C: and the
# harness's test drives; never Z:, the host's root, nor the removable R:); a bad
# argument is named on stderr with status 2.
wine "$cli" --areas=all --sections=3 >"$work/wipe.out" 2>/dev/null </dev/null
drives=$(tr -d '\r' <"$work/wipe.out" | grep -v '^found' | cut -f3 | tr '\n' ' ')
check '[ "$drives" = "C: T: U: V: " ]' "wipe section drives: '$drives'"
check '! grep -v "^found" "$work/wipe.out" | grep -qv "^3	Logical disk unused space	"' "wipe section lines: $(cat "$work/wipe.out")"
for bad in --areas=700 --areas=701,,702 --sections=4 --areas= --shred; do
  wine "$cli" "$bad" >"$work/bad.out" 2>"$work/bad.err" </dev/null
  status=$?
  check '[ $status -eq 2 ] && [ "$(wc -l <"$work/bad.err")" -eq 1 ] && grep -qF -- "$bad" "$work/bad.err" && [ ! -s "$work/bad.out" ]' \
    "bad argument $bad: status $status, stderr $(cat "$work/bad.err")"
done

# 5. Registry lists: the Run history and Office lists, listed in catalogue order and
# cleaned down to their order values.
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU'
ppt_key='HKCU\Software\Microsoft\Office\11.0\PowerPoint\Recent File List'
xls_key='HKCU\Software\Microsoft\Office\11.0\Excel\Recent Files'
wine reg add "$run_key" /v a /t REG_SZ /d 'notepad\1' /f </dev/null >/dev/null 2>&1
wine reg add "$run_key" /v MRUList /t REG_SZ /d a /f </dev/null >/dev/null 2>&1
wine reg add "$ppt_key" /v 'File1' /t REG_SZ /d 'C:\talk.ppt' /f </dev/null >/dev/null 2>&1
wine reg add "$xls_key" /v 'File1' /t REG_SZ /d 'C:\sums.xls' /f </dev/null >/dev/null 2>&1
wine "$cli" --areas=707,709 --clean >"$work/mru.out" 2>/dev/null </dev/null
status=$?
expected=$(printf '0\tRecently typed\tnotepad\n1\tRecently typed\tC:\\talk.ppt\n1\tRecently typed\tC:\\sums.xls\nfound 3, cleaned 3, left 0')
check '[ $status -eq 0 ] && [ "$(tr -d "\r" <"$work/mru.out")" = "$expected" ]' "registry lists: status $status, $(cat "$work/mru.out")"
wine reg query "$run_key" </dev/null >"$work/runmru.txt" 2>/dev/null
check 'grep -q MRUList "$work/runmru.txt" && ! grep -q "notepad" "$work/runmru.txt"' "RunMRU after the clean: $(cat "$work/runmru.txt")"

# 6. Browsers: a Firefox profile and an Opera profile; cookies, history and typed
# addresses are listed and removed, and the bookmarks keep their addresses.
roaming_u=$user_dir/AppData/Roaming
profile_u=$roaming_u/Mozilla/Firefox/Profiles/e2e.default
opera_u=$roaming_u/Opera/Opera/profile
rm -rf "$roaming_u/Mozilla" "$roaming_u/Opera"
mkdir -p "$profile_u" "$opera_u"
# The databases are made from the browsers' own schemas (tests/data/browsers).
schemas=$(cd "$(dirname "$0")/data/browsers" && pwd)
sqlite3 "$profile_u/places.sqlite" <"$schemas/firefox-places.sql"
sqlite3 "$profile_u/places.sqlite" "
  insert into moz_places (id, url, guid, typed, visit_count) values (1, 'http://visited.example/', 'p1', 1, 2),
    (2, 'http://bookmarked.example/', 'p2', 0, 1);
  update moz_places set foreign_count = 1 where id = 2;
  insert into moz_historyvisits (place_id, visit_date, visit_type) values (1, 10, 2), (1, 20, 1), (2, 30, 1);
  insert into moz_bookmarks (id, type, fk, parent, position, title, guid) values
    (1, 2, null, 0, 0, '', 'root________'), (3, 2, null, 1, 0, 'toolbar', 'toolbar_____'),
    (14, 1, 2, 3, 0, 'Bookmarked page', 'bm14');"
sqlite3 "$profile_u/cookies.sqlite" <"$schemas/firefox-cookies.sql"
sqlite3 "$profile_u/cookies.sqlite" "insert into moz_cookies (name, value, host, path) values ('sid', 'v', '.example.com', '/');"
# An Opera visited-links file: header (tag width 1, length width 2), one record 2
# holding field 3; and a history and typed-address file.
printf '\x00\x00\x10\x00\x00\x02\x00\x00\x00\x01\x00\x02\x02\x00\x0c\x03\x00\x09http://o/' >"$opera_u/vlink4.dat"
printf 'http://opera.example/\nOpera page\n1\n-1\n' >"$opera_u/global.dat"
printf '<typed_history_item content="opera typed" type="text"/>\n' >"$opera_u/typed_history.xml"
wine "$cli" --areas=715,716,718 --clean >"$work/browsers.out" 2>"$work/browsers.err" </dev/null
status=$?
tr -d '\r' <"$work/browsers.out" >"$work/browsers.txt"
for line in \
  "2	Opera visited link	http://o/" \
  "2	Opera history entry	http://opera.example/" \
  "2	Opera typed URL	opera typed" \
  "2	Mozilla typed URL	http://visited.example/" \
  "2	Mozilla history entry	http://bookmarked.example/" \
  "2	Mozilla cookie	sid at .example.com/"; do
  check 'grep -qxF "$line" "$work/browsers.txt"' "browsers: missing line: $line"
done
check '! grep -q "Mozilla typed URL	http://bookmarked.example/" "$work/browsers.txt"' "a bookmarked address was listed for cleaning"
check '[ $status -eq 0 ] && tail -n 1 "$work/browsers.txt" | grep -q "left 0$"' "browsers clean: status $status, $(tail -n 1 "$work/browsers.txt")"
check '[ "$(sqlite3 "$profile_u/places.sqlite" "select count(*) from moz_historyvisits")" = 0 ]' "history visits left"
check '[ "$(sqlite3 "$profile_u/cookies.sqlite" "select count(*) from moz_cookies")" = 0 ]' "cookies left"
check '[ "$(sqlite3 "$profile_u/places.sqlite" "select group_concat(url) from moz_places")" = http://bookmarked.example/ ]' \
  "places after the clean: $(sqlite3 "$profile_u/places.sqlite" "select group_concat(url) from moz_places")"
check '[ "$(sqlite3 "$profile_u/places.sqlite" "select count(*) from moz_bookmarks where fk = 2")" = 1 ]' "a bookmark was removed"
for f in vlink4.dat global.dat typed_history.xml; do
  check '[ ! -e "$opera_u/$f" ]' "Opera file left: $f"
done
rm -rf "$roaming_u/Mozilla" "$roaming_u/Opera"

# 7. Today's browsers: Chrome (Default) and Edge, and a Firefox profile found through
# profiles.ini with its disk cache; traces go, passwords, bookmarks and cards stay.
local_u=$user_dir/AppData/Local
chrome_u="$local_u/Google/Chrome/User Data/Default"
edge_u="$local_u/Microsoft/Edge/User Data/Default"
release_u=$roaming_u/Mozilla/Firefox/Profiles/e2e.default-release
cache2_u=$local_u/Mozilla/Firefox/Profiles/e2e.default-release/cache2/entries
rm -rf "$local_u/Google" "$local_u/Microsoft/Edge" "$roaming_u/Mozilla" "$local_u/Mozilla"
mkdir -p "$chrome_u/Network" "$chrome_u/Cache/Cache_Data" "$edge_u" "$release_u" "$cache2_u"
sqlite3 "$chrome_u/History" <"$schemas/chromium-History.sql"
sqlite3 "$chrome_u/History" "
  insert into urls (id, url, title, visit_count, typed_count, last_visit_time) values (1, 'https://chrome.example/', '', 1, 1, 10);
  insert into visits (id, url, visit_time) values (1, 1, 10);
  insert into keyword_search_terms values (1, 1, 'chrome search', 'chrome search');
  insert into downloads values (1, 'g1', 'C:\\dl\\tool.exe', 'C:\\dl\\tool.exe', 1, 1, 1, 1, 0, 0, x'', 1, 0, 0, 0, '', '', '', '', '', '', '', '', '', '', '', '', '');
  insert into downloads_url_chains values (1, 0, 'https://dl.example/tool.exe');"
cp "$chrome_u/History" "$edge_u/History"
sqlite3 "$chrome_u/Network/Cookies" <"$schemas/chromium-Cookies.sql"
sqlite3 "$chrome_u/Network/Cookies" "insert into cookies values (1, '.chrome.example', '', 'sid', '', x'', '/', 0, 0, 0, 0, 0, 0, 1, 0, 0, 443, 0, 0, 0);"
sqlite3 "$chrome_u/Web Data" <"$schemas/chromium-WebData.sql"
sqlite3 "$chrome_u/Web Data" "insert into autofill (name, value, value_lower) values ('email', 'me@chrome.example', 'me@chrome.example');
  insert into credit_cards (guid, name_on_card) values ('c', 'Holder');"
sqlite3 "$chrome_u/Login Data" <"$schemas/chromium-LoginData.sql"
sqlite3 "$chrome_u/Login Data" "insert into logins (origin_url, username_value, signon_realm, date_created, blacklisted_by_user, scheme)
  values ('https://bank.example/', 'me', 'https://bank.example/', 1, 0, 0);"
printf '{"roots": {}}' >"$chrome_u/Bookmarks"
cp "$chrome_u/Bookmarks" "$work/Bookmarks.before"
echo cached >"$chrome_u/Cache/Cache_Data/f_000001"
printf '[Profile0]\nName=default-release\nIsRelative=1\nPath=Profiles/e2e.default-release\n' \
  >"$roaming_u/Mozilla/Firefox/profiles.ini"
sqlite3 "$release_u/cookies.sqlite" <"$schemas/firefox-cookies.sql"
sqlite3 "$release_u/cookies.sqlite" "insert into moz_cookies (name, value, host, path) values ('ff', 'v', '.release.example', '/');"
echo entry >"$cache2_u/0123ABCD"
wine "$cli" --areas=714,715,716,718,719,722 --clean >"$work/today.out" 2>"$work/today.err" </dev/null
status=$?
tr -d '\r' <"$work/today.out" >"$work/today.txt"
for line in \
  "2	Chromium cookie	sid at .chrome.example/" \
  "2	Chromium history entry	https://chrome.example/" \
  "2	Chromium typed URL	https://chrome.example/" \
  "2	Chromium search term	chrome search" \
  "2	Chromium form data	me@chrome.example" \
  "2	Chromium download	C:\\dl\\tool.exe - https://dl.example/tool.exe" \
  "2	Browser cache file	C:\\users\\$user\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Cache\\Cache_Data\\f_000001" \
  "2	Browser cache file	C:\\users\\$user\\AppData\\Local\\Mozilla\\Firefox\\Profiles\\e2e.default-release\\cache2\\entries\\0123ABCD" \
  "2	Mozilla cookie	ff at .release.example/"; do
  check 'grep -qxF "$line" "$work/today.txt"' "today's browsers: missing line: $line"
done
check '[ "$(grep -c "Chromium history entry" "$work/today.txt")" -eq 2 ]' "Chrome and Edge history: $(grep -c "Chromium history entry" "$work/today.txt") lines"
check '[ $status -eq 0 ] && tail -n 1 "$work/today.txt" | grep -q "left 0$"' "today's browsers: status $status, $(tail -n 1 "$work/today.txt"), $(cat "$work/today.err")"
for db in "$chrome_u/History" "$edge_u/History"; do
  check '[ "$(sqlite3 "$db" "select count(*) from visits") $(sqlite3 "$db" "select count(*) from keyword_search_terms") $(sqlite3 "$db" "select count(*) from downloads") $(sqlite3 "$db" "select count(*) from meta")" = "0 0 0 3" ]' "history left in $db"
done
check '[ "$(sqlite3 "$chrome_u/Network/Cookies" "select count(*) from cookies")" = 0 ] && [ "$(sqlite3 "$chrome_u/Web Data" "select count(*) from autofill") $(sqlite3 "$chrome_u/Web Data" "select count(*) from credit_cards")" = "0 1" ]' "Chrome cookies or forms"
check '[ "$(sqlite3 "$chrome_u/Login Data" "select count(*) from logins")" = 1 ] && cmp -s "$chrome_u/Bookmarks" "$work/Bookmarks.before"' "saved passwords or bookmarks were touched"
check '[ ! -e "$chrome_u/Cache/Cache_Data/f_000001" ] && [ ! -e "$cache2_u/0123ABCD" ]' "cache files left"
check '[ "$(sqlite3 "$release_u/cookies.sqlite" "select count(*) from moz_cookies")" = 0 ]' "the profiles.ini profile's cookies"
rm -rf "$local_u/Google" "$local_u/Microsoft/Edge" "$roaming_u/Mozilla" "$local_u/Mozilla"

# 7b. What the user keeps: keep.cfg and --keep-site spare a site's cookies and storage
# (its sub-domains too, never a look-alike); one that is a link spares nothing and
# cleans nothing it would narrow (status 1); --no-keep does not read it.
keep_u=$roaming_u/Quorvantis/keep.cfg
mkdir -p "$(dirname "$keep_u")"
plant_kept() {
  mkdir -p "$chrome_u/Network" "$chrome_u/IndexedDB/https_www.kept.example_0.indexeddb.leveldb" \
    "$chrome_u/IndexedDB/https_other.example_0.indexeddb.leveldb" "$chrome_u/Sessions"
  rm -f "$chrome_u/Network/Cookies"
  sqlite3 "$chrome_u/Network/Cookies" <"$schemas/chromium-Cookies.sql"
  for host in .kept.example mail.kept.example kept.example.evil.net .other.example .xn--bcher-kva.de; do
    sqlite3 "$chrome_u/Network/Cookies" "insert into cookies values (1, '$host', '', 'sid', '', x'', '/', 0, 0, 0, 0, 0, 0, 1, 0, 0, 443, 0, 0, 0);"
  done
  for origin in www.kept.example other.example; do echo x >"$chrome_u/IndexedDB/https_${origin}_0.indexeddb.leveldb/LOG"; done
  echo tabs >"$chrome_u/Sessions/Tabs_1"
}
cookie_hosts() { sqlite3 "$chrome_u/Network/Cookies" "select group_concat(host_key, ' ') from (select host_key from cookies order by host_key)"; }
plant_kept
printf 'site=KEPT.example\r\n' >"$keep_u"
wine "$cli" --areas=715,723,724 --keep-site=Bücher.de --clean >"$work/keep.out" 2>"$work/keep.err" </dev/null
status=$?
check '[ $status -eq 0 ] && [ "$(cookie_hosts)" = ".kept.example .xn--bcher-kva.de mail.kept.example" ]' "keep: status $status, cookies left: $(cookie_hosts), $(cat "$work/keep.err")"
check '[ -e "$chrome_u/IndexedDB/https_www.kept.example_0.indexeddb.leveldb/LOG" ] && [ ! -e "$chrome_u/IndexedDB/https_other.example_0.indexeddb.leveldb" ] && [ ! -e "$chrome_u/Sessions/Tabs_1" ]' "keep: site data or sessions: $(ls -R "$chrome_u/IndexedDB" "$chrome_u/Sessions")"
plant_kept
echo "site=kept.example" >"$work/document.txt"
rm -f "$keep_u"
ln -s "$work/document.txt" "$keep_u"
wine "$cli" --areas=715,723,724 --clean >"$work/keeplink.out" 2>"$work/keeplink.err" </dev/null
status=$?
check '[ $status -eq 1 ] && [ "$(grep -c "keep.cfg: leads elsewhere (a link); cookies and site data were not scanned" "$work/keeplink.err")" = 1 ]' "keep.cfg a link: status $status, $(cat "$work/keeplink.err")"
check '[ "$(cookie_hosts)" = ".kept.example .other.example .xn--bcher-kva.de kept.example.evil.net mail.kept.example" ] && [ -e "$chrome_u/IndexedDB/https_other.example_0.indexeddb.leveldb/LOG" ] && [ ! -e "$chrome_u/Sessions/Tabs_1" ] && [ -L "$keep_u" ]' "keep.cfg a link: cookies $(cookie_hosts)"
wine "$cli" --areas=715 --no-keep --clean >"$work/nokeep.out" 2>"$work/nokeep.err" </dev/null
status=$?
check '[ $status -eq 0 ] && [ -z "$(cookie_hosts)" ]' "--no-keep: status $status, cookies left: $(cookie_hosts)"
wine "$cli" --keep-site='not a site' >/dev/null 2>&1 </dev/null
check '[ $? -eq 2 ]' "--keep-site with no site is not a bad argument"
rm -rf "$local_u/Google" "$keep_u"

# Rule files (winapp2.ini format, our own entries): --list-apps lists what is found here;
# --apps scans and cleans in section 1 beside --areas; a hostile key is refused on stderr
# and the documents it names stay.
rules_w='C:\users\'"$user"'\Temp\e2e-rules.ini'
mkdir -p "$local_u/E2eApp/Logs/sub" "$local_u/E2eApp/Cache/deep"
for f in Logs/a.log Logs/keep.log Logs/notes.txt Logs/sub/b.log Cache/c.bin Cache/deep/d; do echo x >"$local_u/E2eApp/$f"; done
echo thesis >"$user_dir/Documents/e2e-thesis.txt"
cat >"$temp_u/e2e-rules.ini" <<'RULES'
[E2e App *]
LangSecRef=3021
DetectFile=%LocalAppData%\E2eApp
FileKey1=%LocalAppData%\E2eApp\Logs|*.log|RECURSE
FileKey2=%LocalAppData%\E2eApp\Cache|*.*|REMOVESELF
ExcludeKey1=FILE|%LocalAppData%\E2eApp\Logs\|keep.log
[Hostile *]
FileKey1=%Documents%|*.txt
[Elsewhere *]
DetectFile=%ProgramFiles%\No Such Program
FileKey1=%LocalAppData%\E2eApp|*.*
this line is not a rule
RULES
wine "$cli" --list-apps --rules="$rules_w" >"$work/apps.out" 2>"$work/apps.err" </dev/null
status=$?
check '[ $status -eq 0 ] && [ "$(tr -d "\r" <"$work/apps.out")" = "$(printf "app\tE2e App *\napp\tHostile *")" ]' "--list-apps: status $status: $(cat "$work/apps.out")"
check 'grep -q "1 line that is not a rule was skipped" "$work/apps.err"' "--list-apps did not count the malformed line: $(cat "$work/apps.err")"
wine "$cli" --areas=709 --sections=1 --apps=all --rules="$rules_w" --clean >"$work/rules.out" 2>"$work/rules.err" </dev/null
status=$?
tr -d '\r' <"$work/rules.out" >"$work/rules.txt"
for line in "1	E2e App *	C:\\users\\$user\\AppData\\Local\\E2eApp\\Logs\\a.log" \
  "1	E2e App *	C:\\users\\$user\\AppData\\Local\\E2eApp\\Cache\\" "found 6, cleaned 6, left 0"; do
  check 'grep -qxF "$line" "$work/rules.txt"' "--apps: missing line: $line"
done
check '[ "$(grep -c "^refused	Hostile \*	FileKey1: " "$work/rules.err")" -eq 1 ]' "--apps: the hostile key was not refused once: $(cat "$work/rules.err")"
check '[ $status -eq 1 ]' "--apps with a refused key: status $status"
check '[ "$(cd "$local_u/E2eApp" && find . | sort | tr "\n" " ")" = ". ./Logs ./Logs/keep.log ./Logs/notes.txt ./Logs/sub " ]' "--apps clean left: $(cd "$local_u/E2eApp" && find .)"
check '[ "$(cat "$user_dir/Documents/e2e-thesis.txt")" = thesis ]' "the refused key touched the documents"
# --check-rules looks at every entry, found here or not, cleans nothing, and counts the
# refusals by kind: here three good entries and four that reach protected places.
cat >"$temp_u/e2e-check.ini" <<'RULES'
[Good One *]
FileKey1=%LocalAppData%\E2eNowhere|*.log
[Good Two *]
FileKey1=%AppData%\E2eDiscord*|*.log
RegKey1=HKCU\Software\E2eVendor\Recent
[Good Three *]
FileKey1=%LocalAppData%|e2e-named.log
[Documents *]
FileKey1=%Documents%|*.txt
[Environment *]
RegKey1=HKEY_USERS\.DEFAULT\Environment
[Every Folder *]
FileKey1=%AppData%\*\Logs|*.log
[Unreadable Exclusion *]
FileKey1=%LocalAppData%\E2eNowhere|*.log
ExcludeKey1=NOPE
RULES
wine "$cli" --check-rules --rules='C:\users\'"$user"'\Temp\e2e-check.ini' >"$work/check.out" 2>"$work/check.err" </dev/null
status=$?
tr -d '\r' <"$work/check.out" >"$work/check.txt"
check '[ $status -eq 0 ] && grep -qx "refused 4 of 7 entries" "$work/check.txt"' "--check-rules: status $status: $(cat "$work/check.txt")"
for line in "a protected folder	1" "another user's part of the registry	1" "wildcards over a protected folder	1" \
  "an exclusion that cannot be honoured	1"; do
  check 'grep -qxF "$line" "$work/check.txt"' "--check-rules: missing line: $line"
done
rm -f "$temp_u/e2e-check.ini"
wine "$cli" --rules='C:\no\such\rules.ini' --list-apps >/dev/null 2>&1 </dev/null
check '[ $? -eq 2 ]' "--rules with a missing file is not a bad argument"
rm -rf "$local_u/E2eApp" "$user_dir/Documents/e2e-thesis.txt" "$temp_u/e2e-rules.ini"

rm -rf "$temp_u/e2e"
echo "cli end-to-end: $failures failure(s)"
[ "$failures" -eq 0 ]
