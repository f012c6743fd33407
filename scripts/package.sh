#!/usr/bin/env bash
# Makes the Windows package: installs every Windows build there is (by
# default each folder under build/ whose flavour is a Windows one) into one
# prefix and zips it. Each build brings its own folder (win32-mingw/,
# win64-mingw/, ...) with its plug-in, runtime DLLs, config.xml and
# wired-host.exe; the headers, the CMake package, the docs and the examples
# are shared.
#   scripts/package.sh [BUILD_DIR...]
# Prints the path of the zip, build/package/wiredClsTab-<version>-windows.zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

cache_value() { sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt"; }

if [ $# -gt 0 ]; then
  candidates=("$@")
else
  candidates=()
  for dir in build/*/; do
    [ -f "$dir/CMakeCache.txt" ] && candidates+=("${dir%/}")
  done
fi

builds=()
flavours=()
for dir in "${candidates[@]}"; do
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    echo "package: $dir is not a configured build" >&2
    exit 2
  fi
  flavour=$(cache_value "$dir" WIREDCLSTAB_FLAVOUR)
  case "$flavour" in
    win*) ;;
    *) [ $# -gt 0 ] && { echo "package: $dir is not a Windows build ($flavour)" >&2; exit 2; }
       continue ;;
  esac
  # Two builds of one flavour would overwrite each other's folder.
  for i in "${!flavours[@]}"; do
    if [ "${flavours[$i]}" = "$flavour" ]; then
      echo "package: ${builds[$i]} and $dir are both $flavour; name the builds to package" >&2
      exit 2
    fi
  done
  builds+=("$dir")
  flavours+=("$flavour")
done
if [ ${#builds[@]} = 0 ]; then
  echo "package: no Windows build under build/; build one first (cmake --preset windows)" >&2
  exit 2
fi

version=$(cache_value "${builds[0]}" CMAKE_PROJECT_VERSION)
name="wiredClsTab-${version}-windows"
out="$root/build/package"
rm -rf "${out:?}/$name" "$out/$name.zip"
mkdir -p "$out"
for i in "${!builds[@]}"; do
  echo "== ${flavours[$i]}: ${builds[$i]}" >&2
  cmake --build "${builds[$i]}" >&2
  cmake --install "${builds[$i]}" --prefix "$out/$name" >/dev/null
done
(cd "$out" && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "$out/$name.zip"
