#!/usr/bin/env bash
# Runs a test program under wine at another DPI, in the build folder's prefix for that DPI
# (made on first use), on the caller's display. Exits with the program's status.
#   at-dpi.sh BUILD DPI program [arguments]
set -euo pipefail
BUILD=$1
export QUORVEL_DPI=$2
shift 2
export QUORVEL_DISPLAY=${DISPLAY:?at-dpi.sh needs the display of the other tests}
. "$(dirname "$0")/../../scripts/wine-env.sh"
wine "$@" </dev/null
