#!/usr/bin/env bash
# Sets everything up, builds, and runs every test under Wine and Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
exec "$top/tests/harness/run-tests.sh" "${BUILD_DIR:-$top/build}"
