#!/bin/sh
# Runs a 64-bit Windows program under wine64. A prefix made by 32-bit Wine
# refuses 64-bit programs, so they get a 64-bit prefix of their own
# (WIREDCLSTAB_WINEPREFIX64, by default ~/.wine64; scripts/wine-env.sh makes
# it once). The 64-bit build's CTest runs every Windows program through this.
WINEPREFIX="${WIREDCLSTAB_WINEPREFIX64:-$HOME/.wine64}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
if command -v wine64 >/dev/null 2>&1; then
  exec wine64 "$@"
fi
# Debian keeps the 64-bit loader out of PATH.
exec /usr/lib/wine/wine64 "$@"
