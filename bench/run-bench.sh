#!/usr/bin/env bash
# Benchmarks the engine's folder walk and clean run (shredding off and on) against a
# bare Win32 walk and delete loop under the same Wine on identical trees, the Firefox
# history scan and clean against the sqlite3 tool, and the free-space wipe of a
# loop-mounted ext4 drive against dd with 8 MiB blocks and an fsync on the same file
# system, in one run on one machine. Prints items per second, MB/s and the ratios;
# asserts nothing about time.
#   bench/run-bench.sh [BUILD_DIR]      (build first: scripts/build.sh)
#   ONLY=files|depth|memory|firefox|chromium|keep|wipe bench/run-bench.sh   runs one part
#   DEPTHS="250 500 1000 2000"   the depths of the deep trees (listing timed at each; the
#                                clean up to CLEAN_DEPTH, 1000 by default)
#   MEMORY_ITEMS="100000 1000000" the item counts of the memory figures
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
. "$top/tests/harness/wine-session.sh"
session_start "$build/bench-session"
trap session_stop EXIT

FOLDERS=${FOLDERS:-400}
FILES_PER_FOLDER=${FILES_PER_FOLDER:-500}
BIG_FILES=${BIG_FILES:-8}

# A tree of FOLDERS folders of FILES_PER_FOLDER 100-byte files, plus BIG_FILES files
# of 1.5 MiB in a folder of their own.
make_tree() {
  python3 - "$1" "$FOLDERS" "$FILES_PER_FOLDER" "$BIG_FILES" <<'PY'
import os, sys
root, folders, files, big = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
small = b"q" * 100
for d in range(folders):
    path = os.path.join(root, "dir%03d" % d)
    os.makedirs(path)
    for f in range(files):
        with open(os.path.join(path, "file%04d.tmp" % f), "wb") as out:
            out.write(small)
os.makedirs(os.path.join(root, "big"))
block = os.urandom(1536 * 1024)
for b in range(big):
    with open(os.path.join(root, "big", "big%02d.bin" % b), "wb") as out:
        out.write(block)
PY
}

user_dir=$(ls -d "$WINEPREFIX/drive_c/users/"*/ | grep -v '/Public/$' | head -n 1)
user=$(basename "$user_dir")
base_u=$user_dir/Temp/bench
base_w="C:\\users\\$user\\Temp\\bench"
rm -rf "$base_u"
mkdir -p "$base_u"

now() { date +%s.%N; }
rate() { python3 -c "import sys; print('%.0f' % (float(sys.argv[1]) / float(sys.argv[2])))" "$1" "$2"; }
ratio() { python3 -c "import sys; print('%.2f' % (float(sys.argv[1]) / float(sys.argv[2])))" "$1" "$2"; }

# A browser's history scan and clean by the engine (walk_bench --NAME PROFILE) beside the
# sqlite3 tool running the same listing and clean script (walk_bench --script) on COPY,
# an identical database in a folder of its own.
#   compare_history NAME PROFILE_WINDOWS COPY_FOLDER_WINDOWS COPY_FILE VISITS
compare_history() {
  local name=$1 profile=$2 copy_folder=$3 copy=$4 visits=$5 out items scan clean left t0 t1 t2 script listing deletion
  script=$(wine "$build/bench/walk_bench.exe" --script "$name" "$copy_folder" "$visits" </dev/null | tr -d '\r')
  listing=$(sed -n 1p <<<"$script")
  deletion=$(sed -n 2p <<<"$script")
  out=$(wine "$build/bench/walk_bench.exe" "--$name" "$profile" </dev/null | tr -d '\r')
  read -r _ items scan <<<"$(grep "^${name}_scan " <<<"$out")"
  read -r _ _ clean left <<<"$(grep "^${name}_clean " <<<"$out")"
  [ "$left" = 0 ] || echo "warning: $left $name items left" >&2
  t0=$(now)
  native_items=$(sqlite3 "$copy" "$listing" | wc -l)
  t1=$(now)
  sqlite3 "$copy" "$deletion" >/dev/null
  t2=$(now)
  native_scan=$(python3 -c "print($t1 - $t0)")
  native_clean=$(python3 -c "print($t2 - $t1)")
  printf '%-28s %8s %10s %14s\n' "measure" "items" "seconds" "items/s"
  printf '%-28s %8s %10.3f %14s\n' "$name history scan" "$items" "$scan" "$(rate "$items" "$scan")"
  printf '%-28s %8s %10.3f %14s\n' "sqlite3 listing" "$native_items" "$native_scan" "$(rate "$native_items" "$native_scan")"
  printf '%-28s %8s %10.3f %14s\n' "$name history clean" "$items" "$clean" "$(rate "$items" "$clean")"
  printf '%-28s %8s %10.3f %14s\n' "sqlite3 clean" "$native_items" "$native_clean" "$(rate "$native_items" "$native_clean")"
  echo "ratio $name scan / sqlite3:  $(ratio "$(rate "$items" "$scan")" "$(rate "$native_items" "$native_scan")")"
  echo "ratio $name clean / sqlite3: $(ratio "$(rate "$items" "$clean")" "$(rate "$native_items" "$native_clean")")"
}

only=${ONLY:-all}
part() { [ "$only" = all ] || [ "$only" = "$1" ]; }

declare -A items seconds
if part files; then
for mode in plain shred; do
  make_tree "$base_u/$mode"
  flag=""; [ "$mode" = shred ] && flag="--shred"
  out=$(wine "$build/bench/walk_bench.exe" "$base_w\\$mode" $flag </dev/null | tr -d '\r')
  read -r _ n s <<<"$(grep '^walk ' <<<"$out")"
  items[walk_$mode]=$n; seconds[walk_$mode]=$s
  read -r _ n s left <<<"$(grep '^clean ' <<<"$out")"
  items[clean_$mode]=$n; seconds[clean_$mode]=$s
  [ "$left" = 0 ] || echo "warning: $left items left after the $mode clean" >&2
done

make_tree "$base_u/bare"
out=$(wine "$build/bench/walk_bench.exe" --bare "$base_w\\bare" </dev/null | tr -d '\r')
read -r _ n s <<<"$(grep '^bare_walk ' <<<"$out")"
items[bare_walk]=$n; seconds[bare_walk]=$s
read -r _ n s left <<<"$(grep '^bare_delete ' <<<"$out")"
items[bare_delete]=$n; seconds[bare_delete]=$s
[ "$left" = 0 ] || echo "warning: $left items left by the bare delete loop" >&2

printf '%-28s %8s %10s %14s\n' "measure" "items" "seconds" "items/s"
for key in walk_plain walk_shred bare_walk clean_plain clean_shred bare_delete; do
  printf '%-28s %8s %10.3f %14s\n' "$key" "${items[$key]}" "${seconds[$key]}" "$(rate "${items[$key]}" "${seconds[$key]}")"
done
walk_rate=$(rate "${items[walk_plain]}" "${seconds[walk_plain]}")
bare_walk_rate=$(rate "${items[bare_walk]}" "${seconds[bare_walk]}")
clean_rate=$(rate "${items[clean_plain]}" "${seconds[clean_plain]}")
shred_rate=$(rate "${items[clean_shred]}" "${seconds[clean_shred]}")
bare_delete_rate=$(rate "${items[bare_delete]}" "${seconds[bare_delete]}")
echo "ratio walk / bare walk:              $(ratio "$walk_rate" "$bare_walk_rate")"
echo "ratio clean / bare delete loop:      $(ratio "$clean_rate" "$bare_delete_rate")"
echo "ratio shred clean / bare delete loop: $(ratio "$shred_rate" "$bare_delete_rate")"

# Where a checked delete spends its time, call by call, on 20,000 files of one folder.
mkdir -p "$base_u/calls"
python3 -c "
import sys
for i in range(20000): open(sys.argv[1] + '/f%05d.tmp' % i, 'wb').write(b'q' * 100)" "$base_u/calls"
read -r _ delete_file open name disposition close <<<"$(wine "$build/bench/walk_bench.exe" --calls "$base_w\\calls" </dev/null | tr -d '\r')"
echo "microseconds per file: DeleteFileW $delete_file; delete in a held folder: open $open, place (where links are followed) $name, disposition $disposition, close $close"
echo "ratio bare delete / held-folder delete calls: $(python3 -c "print('%.2f' % ($delete_file / ($open + $name + $disposition + $close)))")"
fi
rm -rf "$base_u"

# Deep trees: one folder and one file at each level. The listing, and the clean, of the
# engine beside the bare FindFirstFileExW walk and DeleteFileW/RemoveDirectoryW loop:
# under Wine every open of a folder costs in proportion to its depth whatever the
# program does, so the bare loop is the floor to compare with.
make_deep() {
  python3 - "$1" "$2" <<'PY'
import os, sys
root, depth = sys.argv[1], int(sys.argv[2])
os.makedirs(root)
fd = os.open(root, os.O_RDONLY)
for i in range(depth):
    os.mkdir("d", dir_fd=fd)
    os.close(os.open("f", os.O_WRONLY | os.O_CREAT, dir_fd=fd))
    inner = os.open("d", os.O_RDONLY, dir_fd=fd)
    os.close(fd)
    fd = inner
os.close(fd)
PY
}
if part depth; then
  printf '%-8s %12s %12s %12s %12s\n' "depth" "walk s" "bare walk s" "clean s" "bare del s"
  for depth in ${DEPTHS:-250 500 1000 2000}; do
    make_deep "$base_u/deep$depth" "$depth"
    clean_s="-"
    if [ "$depth" -le "${CLEAN_DEPTH:-1000}" ]; then
      out=$(wine "$build/bench/walk_bench.exe" "$base_w\\deep$depth" </dev/null | tr -d '\r')
      read -r _ _ walk_s <<<"$(grep '^walk ' <<<"$out")"
      read -r _ _ clean_s _ <<<"$(grep '^clean ' <<<"$out")"
      make_deep "$base_u/bare$depth" "$depth"
      out=$(wine "$build/bench/walk_bench.exe" --bare "$base_w\\bare$depth" </dev/null | tr -d '\r')
      read -r _ _ bare_walk_s <<<"$(grep '^bare_walk ' <<<"$out")"
      read -r _ _ bare_delete_s _ <<<"$(grep '^bare_delete ' <<<"$out")"
    else
      read -r _ _ walk_s <<<"$(wine "$build/bench/walk_bench.exe" "$base_w\\deep$depth" --list </dev/null | tr -d '\r')"
      bare_walk_s="-"; bare_delete_s="-"
    fi
    printf '%-8s %12s %12s %12s %12s\n' "$depth" "$walk_s" "$bare_walk_s" "$clean_s" "$bare_delete_s"
    rm -rf "$base_u/deep$depth" "$base_u/bare$depth"
  done
fi

# Memory: the private bytes found items take beyond their texts, for files, registry
# values and Opera entries, at each count.
make_memory_fixtures() { # KIND PLACE COUNT
  python3 - "$@" <<'PY'
import os, sys
kind, place, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
if kind == "files":
    for d in range(count // 1000):
        folder = os.path.join(place, "m%04d" % d)
        os.makedirs(folder)
        for f in range(999):
            open(os.path.join(folder, "document-%04d.tmp" % f), "w").close()
elif kind == "registry":
    with open(place, "w", encoding="utf-16") as out:
        out.write("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\QuorvantisBench]\r\n")
        for i in range(count):
            out.write('"%d"="C:\\\\Users\\\\someone\\\\Documents\\\\report %07d.docx"\r\n' % (i, i))
else:
    os.makedirs(os.path.join(place, "Opera", "Opera", "profile"))
    with open(os.path.join(place, "Opera", "Opera", "profile", "opera.dir"), "w") as out:
        for i in range(count):
            out.write("C:\\Users\\someone\\Downloads\\folder%d\n" % i)
PY
}
print_memory() { # LABEL KIND WHERE
  local _kind n per text
  read -r _ _kind n per text <<<"$(wine "$build/bench/walk_bench.exe" --memory "$2" "$3" </dev/null | tr -d '\r')"
  printf '%-18s %10s %16s %14s\n' "$1" "$n" "$per" "$text"
}
if part memory; then
  printf '%-18s %10s %16s %14s\n' "kind" "items" "bytes/item" "text/item"
  for count in ${MEMORY_ITEMS:-100000 1000000}; do
    make_memory_fixtures files "$base_u/memory" "$count"
    print_memory files files "$base_w\\memory"
    rm -rf "$base_u/memory"
    # Wine's registry inserts a value in time that grows with the key's size: a key of a
    # million values takes it hours to build, so the registry figure stops at REGISTRY_MAX.
    if [ "$count" -le "${REGISTRY_MAX:-100000}" ]; then
      make_memory_fixtures registry "$base_u.reg" "$count"
      wine regedit /s "$(winepath -w "$base_u.reg")" </dev/null >/dev/null 2>&1
      print_memory "registry values" registry 'Software\QuorvantisBench'
      wine reg delete 'HKCU\Software\QuorvantisBench' /f </dev/null >/dev/null 2>&1
      rm -f "$base_u.reg"
    else
      printf '%-18s %10s %16s %14s\n' "registry values" "$count" "(not built)" ""
    fi
    make_memory_fixtures opera "$base_u/opera" "$count"
    print_memory "Opera entries" opera "$base_w\\opera"
    rm -rf "$base_u/opera"
  done
fi

# Firefox and Chromium: history of 100,000 visits over 20,000 addresses in databases of
# the browsers' own layouts (tests/data/browsers), listed and cleaned by the engine, and
# by the sqlite3 tool running the same statements on an identical copy.
schemas=$top/tests/data/browsers
if (part firefox || part chromium) && ! command -v sqlite3 >/dev/null; then
  echo "browsers: skipped (no sqlite3 tool)"
elif part firefox || part chromium; then
  native_u=$base_u/native
  native_w="$base_w\\native\\"
  mkdir -p "$native_u"
fi
if part firefox && command -v sqlite3 >/dev/null; then
  profile_u=$user_dir/AppData/Roaming/Mozilla/Firefox/Profiles/bench.default
  rm -rf "$user_dir/AppData/Roaming/Mozilla"
  mkdir -p "$profile_u"
  sqlite3 "$profile_u/places.sqlite" "pragma journal_mode = wal; $(cat "$schemas/firefox-places.sql");
    with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000)
      insert into moz_places (id, url, guid, visit_count, url_hash)
      select i, 'http://site' || i || '.example/page/' || (i * 7919 % 1000), 'g' || i, 5, i from n;
    with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000)
      insert into moz_historyvisits (place_id, visit_date, visit_type) select 1 + (i * 7919) % 20000, i * 1000, 1 from n;" >/dev/null
  cp "$profile_u/places.sqlite" "$native_u/places.sqlite"
  compare_history firefox "C:\\users\\$user\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\bench.default\\" \
    "$native_w" "$native_u/places.sqlite" 100000
  rm -rf "$user_dir/AppData/Roaming/Mozilla" "$native_u/places.sqlite"
fi

if part chromium && command -v sqlite3 >/dev/null; then
  profile_u="$user_dir/AppData/Local/Google/Chrome/User Data/Default"
  mkdir -p "$profile_u"
  sqlite3 "$profile_u/History" <"$schemas/chromium-History.sql"
  sqlite3 "$profile_u/History" "
    with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000)
      insert into urls (id, url, title, visit_count, last_visit_time)
      select i, 'https://site' || i || '.example/page/' || (i * 7919 % 1000), '', 5, i from n;
    with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000)
      insert into visits (id, url, visit_time) select i, 1 + (i * 7919) % 20000, i * 1000 from n;"
  cp "$profile_u/History" "$native_u/History"
  compare_history chromium "C:\\users\\$user\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\" \
    "$native_w" "$native_u/History" 100000
  rm -rf "$user_dir/AppData/Local/Google" "$native_u/History"
fi

# The cookie clean with 10,000 kept sites beside the same clean without a keep list, on
# identical Cookies databases of 50,000 cookies of 10,000 sites (a tenth of them kept).
if part keep && command -v sqlite3 >/dev/null; then
  cookies_u="$user_dir/AppData/Local/Google/Chrome/User Data/Default"
  cookies_w="C:\\users\\$user\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\"
  make_cookies() {
    rm -rf "$cookies_u"
    mkdir -p "$cookies_u"
    sqlite3 "$cookies_u/Cookies" <"$schemas/chromium-Cookies.sql"
    sqlite3 "$cookies_u/Cookies" "
      with recursive n(i) as (select 0 union all select i + 1 from n where i < 49999)
        insert into cookies select i, case when i % 50 < 5 then '.kept' || (i % 10000) else '.site' || (i % 10000) end
          || '.example', '', 'c' || i, 'v', x'00', '/', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 from n;"
  }
  declare -A keep_seconds keep_items
  for kept in 0 10000; do
    make_cookies
    out=$(wine "$build/bench/walk_bench.exe" --cookies "$cookies_w" $kept </dev/null | tr -d '\r')
    read -r _ keep_items[$kept] scan_s <<<"$(grep '^cookies_scan ' <<<"$out")"
    read -r _ _ clean_s left <<<"$(grep '^cookies_clean ' <<<"$out")"
    keep_seconds[$kept]=$(python3 -c "print($scan_s + $clean_s)")
    [ "$left" = 0 ] || echo "warning: $left cookies left listed" >&2
    echo "cookies left with $kept kept sites: $(sqlite3 "$cookies_u/Cookies" "select count(*) from cookies")"
  done
  printf '%-28s %8s %10s %14s\n' "measure" "items" "seconds" "items/s"
  for kept in 0 10000; do
    printf '%-28s %8s %10.3f %14s\n' "cookie scan+clean, $kept kept" "${keep_items[$kept]}" "${keep_seconds[$kept]}" \
      "$(rate "${keep_items[$kept]}" "${keep_seconds[$kept]}")"
  done
  echo "ratio cookie scan+clean time, 10,000 kept sites / none: $(ratio "${keep_seconds[10000]}" "${keep_seconds[0]}")"
  rm -rf "$user_dir/AppData/Local/Google"
fi

part wipe || exit 0

# The wipe: a test drive W: on an ext4 file system of its own in a loop-mounted image
# (which needs root), never a real disk's free space.
wipe_dir=$build/bench-session/drives/w
wipe_image=$build/bench-session/wipe.ext4
mkdir -p "$wipe_dir"
fallocate -l "${WIPE_MIB:-1024}M" "$wipe_image" 2>/dev/null || truncate -s "${WIPE_MIB:-1024}M" "$wipe_image"
if ! mkfs.ext4 -q -F "$wipe_image" >/dev/null 2>&1 || ! mount -o loop "$wipe_image" "$wipe_dir" >/dev/null 2>&1; then
  echo "wipe: skipped (no loop-mounted file system could be made here)"
  rm -f "$wipe_image"
  exit 0
fi
trap 'session_stop; umount "$wipe_dir" >/dev/null 2>&1; rm -f "$wipe_image"' EXIT
rmdir "$wipe_dir/lost+found" 2>/dev/null || true
ln -sfn "$wipe_dir" "$WINEPREFIX/dosdevices/w:"
# The first fill of a new file system is several times slower than any later one,
# whoever writes it: fill it once before either is timed.
dd if=/dev/zero of="$wipe_dir/warmup" bs=8M conv=fsync status=none 2>/dev/null || true
rm -f "$wipe_dir/warmup"; sync
read -r _ wipe_bytes wipe_seconds wipe_cleaned <<<"$(wine "$build/bench/walk_bench.exe" --wipe W: </dev/null | tr -d '\r')"
[ "$wipe_cleaned" = 1 ] || echo "warning: the wipe did not complete" >&2
[ ! -e "$wipe_dir/tmpfile01010101" ] || echo "warning: the wipe file was left behind" >&2
blocks=$((wipe_bytes / 8388608))
t0=$(now); dd if=/dev/zero of="$wipe_dir/ddfile" bs=8M count=$blocks conv=fsync status=none 2>/dev/null; t1=$(now)
dd_bytes=$((blocks * 8388608)); dd_seconds=$(python3 -c "print($t1 - $t0)")
rm -f "$wipe_dir/ddfile"
mbps() { python3 -c "import sys; print('%.1f' % (float(sys.argv[1]) / 1048576 / float(sys.argv[2])))" "$1" "$2"; }
wipe_rate=$(mbps "$wipe_bytes" "$wipe_seconds")
dd_rate=$(mbps "$dd_bytes" "$dd_seconds")
printf '%-28s %8s %10s %14s\n' "measure" "MiB" "seconds" "MB/s"
printf '%-28s %8s %10.3f %14s\n' "wipe (flushed)" "$((wipe_bytes / 1048576))" "$wipe_seconds" "$wipe_rate"
printf '%-28s %8s %10.3f %14s\n' "dd bs=8M conv=fsync" "$((dd_bytes / 1048576))" "$dd_seconds" "$dd_rate"
echo "ratio wipe / dd:              $(ratio "$wipe_rate" "$dd_rate")"
