# Sourced by the scripts that run Windows programs: quiet Wine, no Mono or
# Gecko prompts, and a prefix made once before the first test needs it.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== creating the Wine prefix (once)"
  timeout 300 wineboot --init >/dev/null 2>&1 || true
  timeout 60 wineserver --wait >/dev/null 2>&1 || true
fi
