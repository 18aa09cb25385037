#!/usr/bin/env bash
# Builds each layer probe (TARGET:HEADER) and passes when every build fails because
# the compiler cannot find HEADER from the layer below it.
#   layers_hold.sh BUILD_DIR TARGET:HEADER...
set -u
build=$1
shift
failures=0
for probe in "$@"; do
  target=${probe%%:*}
  header=${probe#*:}
  if out=$(cmake --build "$build" --target "$target" 2>&1); then
    echo "FAIL: $target compiled: the layer reaches $header"
    failures=$((failures + 1))
  elif ! grep -q "$header: No such file" <<<"$out"; then
    echo "FAIL: $target failed for another reason:"
    echo "$out" | tail -5
    failures=$((failures + 1))
  fi
done
echo "$(($# - failures)) of $# upward includes refused"
[ "$failures" -eq 0 ]
