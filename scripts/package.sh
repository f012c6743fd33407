#!/usr/bin/env bash
# Makes the Windows package: installs every Windows build there is (by
# default each folder under build/ whose flavour is a Windows one) into one
# prefix and zips it. Each build brings its own folder (win32-mingw/,
# win64-mingw/, ...) with its plug-in, runtime DLLs, config.xml and
# wired-host.exe; the headers, the CMake package, the docs and the examples
# are shared. The symbols of the shipped binaries (.pdb, .debug) go into a
# second zip beside it, for reading crash dumps.
#   scripts/package.sh [--cert CERT.pem --key KEY.pem [--timestamp URL]] [BUILD_DIR...]
# With a certificate, every .exe and .dll is signed (Authenticode, SHA-256,
# with osslsigncode) before it is zipped; --timestamp has a time-stamping
# server countersign each signature (it needs the network).
# Prints the path of the zip, build/package/wiredClsTab-<version>-windows.zip;
# the symbols are in wiredClsTab-<version>-windows-symbols.zip beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() { echo "usage: $(sed -n 's/^#   scripts/scripts/p' "$0")" >&2; exit "${1:-2}"; }
cert="" key="" timestamp=""
while [ $# -gt 0 ]; do
  case "$1" in
    --cert) [ $# -ge 2 ] || usage; cert=$(realpath "$2"); shift 2 ;;
    --key) [ $# -ge 2 ] || usage; key=$(realpath "$2"); shift 2 ;;
    --timestamp) [ $# -ge 2 ] || usage; timestamp=$2; shift 2 ;;
    -h|--help) usage 0 ;;
    --) shift; break ;;
    -*) echo "package: unknown option $1" >&2; usage ;;
    *) break ;;
  esac
done
if [ -n "$cert$key" ] && { [ ! -f "$cert" ] || [ ! -f "$key" ]; }; then
  echo "package: signing needs both --cert and --key, as readable files" >&2
  exit 2
fi
if [ -n "$timestamp" ] && [ -z "$cert" ]; then
  echo "package: --timestamp needs --cert and --key" >&2
  exit 2
fi
if [ -n "$cert" ] && ! command -v osslsigncode >/dev/null; then
  echo "package: osslsigncode is not installed (scripts/setup.sh installs it)" >&2
  exit 2
fi
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
symbols="$name-symbols"
out="$root/build/package"
rm -rf "${out:?}/$name" "$out/$name.zip" "${out:?}/$symbols" "$out/$symbols.zip"
mkdir -p "$out"
for i in "${!builds[@]}"; do
  echo "== ${flavours[$i]}: ${builds[$i]}" >&2
  cmake --build "${builds[$i]}" >&2
  cmake --install "${builds[$i]}" --prefix "$out/$name" >/dev/null
  cmake --install "${builds[$i]}" --prefix "$out/$symbols" --component symbols >/dev/null
done

if [ -n "$cert" ]; then
  while IFS= read -r -d '' binary; do
    args=(sign -certs "$cert" -key "$key" -h sha256 -n wiredClsTab -in "$binary" -out "$binary.signed")
    [ -n "$timestamp" ] && args+=(-ts "$timestamp")
    osslsigncode "${args[@]}" >/dev/null
    mv "$binary.signed" "$binary"
    echo "== signed ${binary#"$out/$name/"}" >&2
  done < <(find "$out/$name" -type f \( -iname '*.dll' -o -iname '*.exe' \) -print0 | sort -z)
fi

(cd "$out" && cmake -E tar cf "$name.zip" --format=zip "$name" && cmake -E tar cf "$symbols.zip" --format=zip "$symbols")
echo "$out/$name.zip"
