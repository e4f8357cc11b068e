#!/usr/bin/env bash
# Runs a Windows program under Wine on a display of its own, and lets Wine finish with the display
# before it goes: Wine's desktop process outlives the program by a few seconds.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
    bash -c 'code=0; wine "$@" || code=$?; wineserver -w; exit $code' wine "$@"
