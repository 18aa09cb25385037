# Sourced by the end-to-end scripts: the failure count, the check helper, and the
# test prefix's places (host paths end in _u, Windows paths in _w).
[ -n "${WINEPREFIX:-}" ] && [ -n "${QV_TEST_SESSION:-}" ] || { echo "run through scripts/test.sh" >&2; exit 2; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { if eval "$1"; then :; else fail "$2"; fi; }
# Polls COND every 0.1 s for up to SECONDS; fails when it never held. A slow machine
# gets the time it needs, a fast one does not wait.
wait_until() {
  local i
  for i in $(seq 1 $(($2 * 10))); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

drive_c=$WINEPREFIX/drive_c
user_dir=$(ls -d "$drive_c/users/"*/ | grep -v '/Public/$' | head -n 1)
user_dir=${user_dir%/}
user=$(basename "$user_dir")
temp_u=$user_dir/Temp
temp_w="C:\\users\\$user\\Temp"
