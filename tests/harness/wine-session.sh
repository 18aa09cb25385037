# Sourced by the test, run and benchmark scripts: a disposable Wine session.
#   session_start DIR   fresh HOME, XDG folders and WINEPREFIX under DIR, its own Xvfb
#                       on a free display, and a warm wineserver; exports the variables
#   session_stop        stops what session_start started, by PID
# Nothing here touches the real home folder: HOME and XDG_* point into DIR before
# Wine first runs, so the prefix's Desktop and Documents links stay inside DIR.

QV_XVFB_PID=""
QV_WINESERVER_PID=""

session_start() {
  local dir=$1
  umount "$dir/drives/u" >/dev/null 2>&1 || true # left over from a run that was killed
  rm -rf "$dir"
  mkdir -p "$dir/home" "$dir/xdg-data" "$dir/xdg-config" "$dir/xdg-cache"
  export HOME="$dir/home" XDG_DATA_HOME="$dir/xdg-data" XDG_CONFIG_HOME="$dir/xdg-config" \
    XDG_CACHE_HOME="$dir/xdg-cache"
  export WINEPREFIX="$dir/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export QV_TEST_SESSION="$dir"

  if [ -z "${QV_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    QV_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.05
    done
  fi

  wineserver -p -f >/dev/null 2>&1 &
  QV_WINESERVER_PID=$!
  wine wineboot -i </dev/null >"$dir/wineboot.log" 2>&1 || true
  # Without a window manager Wine waits on every hide; unmanaged windows avoid that.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1 || true
  # Z: is the host's root file system: make it a network drive, so that nothing that
  # looks at fixed drives (ScanDisk fragments, the free-space wipe) ever reaches it.
  wine reg add 'HKLM\Software\Wine\Drives' /v 'z:' /t REG_SZ /d network /f </dev/null >/dev/null 2>&1 || true
  if [ -n "${QV_TEST_DRIVES:-}" ]; then
    session_add_test_drives "$dir"
  fi
  session_restart_wineserver
}

# Test drives for the free-space wipe, all inside DIR, never a real disk:
#   T: and V: fixed drives on plain folders (the tests give the wipe its free-space figure)
#   U: a fixed drive on a 24 MiB tmpfs where this machine lets us mount one, so that a
#      wipe really meets a full disk; QV_TMPFS_DRIVE=1 is exported when it is there
#   R: a removable drive (type set in the registry)
QV_MOUNTS=""
session_add_test_drives() {
  local dir=$1 letter
  for letter in t u v r; do
    mkdir -p "$dir/drives/$letter"
    ln -sfn "$dir/drives/$letter" "$WINEPREFIX/dosdevices/$letter:"
  done
  export QV_TMPFS_DRIVE=0
  if mount -t tmpfs -o size=24m tmpfs "$dir/drives/u" >/dev/null 2>&1; then
    QV_MOUNTS="$dir/drives/u"
    QV_TMPFS_DRIVE=1
  fi
  wine reg add 'HKLM\Software\Wine\Drives' /v 'r:' /t REG_SZ /d floppy /f </dev/null >/dev/null 2>&1 || true
}

# Drive settings take effect in a new wineserver.
session_restart_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$QV_WINESERVER_PID" ]; then
    wait "$QV_WINESERVER_PID" >/dev/null 2>&1 || true
  fi
  wineserver -p -f >/dev/null 2>&1 &
  QV_WINESERVER_PID=$!
  # Wine's background services must not inherit the test runner's output pipes.
  wine wineboot </dev/null >/dev/null 2>&1 || true
}

session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  local pid
  for pid in $QV_WINESERVER_PID $QV_XVFB_PID; do
    kill "$pid" >/dev/null 2>&1 || true
    wait "$pid" >/dev/null 2>&1 || true
  done
  QV_WINESERVER_PID=""
  QV_XVFB_PID=""
  local m
  for m in $QV_MOUNTS; do
    umount "$m" >/dev/null 2>&1 || true
  done
  QV_MOUNTS=""
}
