# Sourced by the scripts that run Windows programs: quiet Wine, no Mono or
# Gecko prompts, and a prefix made once before the first test needs it.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine}"
# 64-bit programs run under wine64 in a 64-bit prefix of their own
# (scripts/wine64.sh): a prefix made by 32-bit Wine refuses them.
export WIREDCLSTAB_WINEPREFIX64="${WIREDCLSTAB_WINEPREFIX64:-$HOME/.wine64}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== creating the Wine prefix (once)"
  WINEARCH=win32 timeout 300 wineboot --init >/dev/null 2>&1 || true
  timeout 60 wineserver --wait >/dev/null 2>&1 || true
fi
if [ ! -f "$WIREDCLSTAB_WINEPREFIX64/system.reg" ]; then
  echo "== creating the 64-bit Wine prefix (once)"
  WINEARCH=win64 timeout 300 "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64.sh" wineboot --init >/dev/null 2>&1 || true
  WINEPREFIX="$WIREDCLSTAB_WINEPREFIX64" timeout 60 wineserver --wait >/dev/null 2>&1 || true
fi
