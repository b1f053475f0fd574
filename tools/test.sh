#!/usr/bin/env bash
# Runs the CTest suite under Wine in Xvfb with a throwaway prefix; exits with CTest's status.
# Usage: tools/test.sh [ctest arguments]   (build dir: $VELMORA_BUILD_DIR, default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${VELMORA_BUILD_DIR:-$root/build}" && pwd)
. "$root/tools/wine-env.sh"
trap velmora_wine_stop EXIT
velmora_wine_start "$build" test
cd "$build"
rc=0
ctest --output-on-failure "$@" || rc=$?
exit $rc
