#!/usr/bin/env bash
# CTest's emulator: runs one Windows executable under the run's Wine session.
# Refuses to start without the disposable prefix, so Wine never creates ~/.wine.
if [ -z "${WINEPREFIX:-}" ] || [ -z "${QV_TEST_SESSION:-}" ]; then
  echo "wine-exec: no test session; run the tests with scripts/test.sh" >&2
  exit 2
fi
exec wine "$@"
