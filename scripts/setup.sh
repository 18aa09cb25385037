#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, then fetches the
# pinned SQLite amalgamation into the build tree. Safe to run again: it only
# installs what is missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}

packages=(
  cmake make
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  xvfb xauth xdotool x11-utils imagemagick
  googletest nlohmann-json3-dev
  nodejs npm
  strace sqlite3 findutils coreutils procps bsdutils e2fsprogs nsis ca-certificates
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# A machine may carry Node.js and npm outside Debian's packages; that serves as well.
if command -v npm >/dev/null 2>&1; then
  missing=("${missing[@]/nodejs}"); missing=("${missing[@]/npm}")
fi
pkgs=$(printf '%s\n' "${missing[@]}" | grep -v '^$' || true)
if [ -n "$pkgs" ]; then
  echo "setup: installing $(echo $pkgs)"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends $pkgs >/dev/null
fi

# SQLite amalgamation, pinned and checked; never committed.
SQLITE_PACKAGE=better-sqlite3
SQLITE_VERSION=12.11.1
SQLITE_TGZ_SHA256=ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835
SQLITE_C_SHA256=60d2f39a3726cd6b9021da6f4e868608d66fbb6528a9f513dc8ffcc640493422
deps=$build/_deps
sqlite_dir=$deps/sqlite3
mkdir -p "$deps"
if ! echo "$SQLITE_C_SHA256  $sqlite_dir/sqlite3.c" | sha256sum -c --status 2>/dev/null; then
  echo "setup: fetching SQLite from $SQLITE_PACKAGE@$SQLITE_VERSION"
  tmp=$(mktemp -d)
  (cd "$tmp" && npm pack --silent "$SQLITE_PACKAGE@$SQLITE_VERSION" >/dev/null)
  tgz=$tmp/$SQLITE_PACKAGE-$SQLITE_VERSION.tgz
  echo "$SQLITE_TGZ_SHA256  $tgz" | sha256sum -c --status || { echo "setup: sha256 mismatch for $tgz" >&2; exit 1; }
  tar -xzf "$tgz" -C "$tmp" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
  rm -rf "$sqlite_dir"; mkdir -p "$sqlite_dir"
  mv "$tmp/package/deps/sqlite3/sqlite3.c" "$tmp/package/deps/sqlite3/sqlite3.h" "$sqlite_dir/"
  rm -rf "$tmp"
  echo "$SQLITE_C_SHA256  $sqlite_dir/sqlite3.c" | sha256sum -c --status || { echo "setup: sha256 mismatch for sqlite3.c" >&2; exit 1; }
fi
