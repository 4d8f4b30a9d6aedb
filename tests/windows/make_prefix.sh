#!/bin/sh
# The Wine prefix the Windows tests run in, made once: Wine's own set-up,
# and DirectDraw drawn through GDI rather than OpenGL, which Xvfb only has
# in software at several times the cost (the game's picture is the same).
set -eu
[ -f "$WINEPREFIX/system.reg" ] && exit 0
wine wineboot -i
wine reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi /f >/dev/null
wineserver -w
