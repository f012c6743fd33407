#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 and fetches the
# tinyxml2 sources the Windows build compiles in. Quick when all is present.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/_deps"

packages=(cmake ninja-build g++ clang-14 libclang-rt-14-dev llvm-14 lld-14
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64
          libtinyxml2-dev zlib1g-dev libgtest-dev googletest libbenchmark-dev
          nlohmann-json3-dev dpkg-dev python3 locales osslsigncode openssl)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# A mirror in the middle of a sync fails one index now and then; apt keeps
# the lists it had, so after a few tries the install goes on with those and
# fails clearly only if a package really cannot be had.
refresh_lists() {
  for try in 1 2 3; do
    as_root apt-get update -qq && return 0
    [ $try = 3 ] || sleep 20
  done
  echo "setup: the package lists could not all be refreshed; going on with those at hand" >&2
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

need_src=0
[ -f "$deps/tinyxml2/tinyxml2.cpp" ] || need_src=1
[ -f "$deps/zlib/inflate.c" ] || need_src=1

if [ ${#missing[@]} -gt 0 ] || [ $need_src = 1 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  # Source packages come from the same archive as the binary ones.
  src_list=/etc/apt/sources.list.d/wiredclstab-src.sources
  if [ ! -f "$src_list" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | as_root tee "$src_list" >/dev/null
  fi
  refresh_lists
  if [ ${#missing[@]} -gt 0 ]; then
    install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends)
    # When one architecture's index of the security suite could not be had,
    # the i386 and amd64 halves of a library disagree in version and apt
    # finds no way; the release's own versions agree across both.
    if ! as_root "${install[@]}" "${missing[@]}"; then
      codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
      echo "setup: trying again with $codename's own versions" >&2
      as_root "${install[@]}" -t "$codename" "${missing[@]}"
    fi
  fi
fi

if [ ! -f "$deps/tinyxml2/tinyxml2.cpp" ]; then
  rm -rf "$deps/src" "$deps/tinyxml2"
  mkdir -p "$deps/src"
  (cd "$deps/src" && apt-get source -qq tinyxml2=9.0.0+dfsg-3.1 >/dev/null 2>&1 || apt-get source -qq tinyxml2 >/dev/null)
  dir=$(find "$deps/src" -maxdepth 1 -mindepth 1 -type d -name 'tinyxml2-*' | head -n 1)
  grep -q 'define TINYXML2_MAJOR_VERSION 9' "$dir/tinyxml2.h"
  mkdir -p "$deps/tinyxml2"
  cp "$dir/tinyxml2.h" "$dir/tinyxml2.cpp" "$deps/tinyxml2/"
fi

# zlib for the Windows builds of wired-host (compressed models): compiled in
# from Debian's source package, like tinyxml2; Linux links Debian's library.
if [ ! -f "$deps/zlib/inflate.c" ]; then
  rm -rf "$deps/src/zlib-"* "$deps/zlib"
  mkdir -p "$deps/src"
  (cd "$deps/src" && apt-get source -qq zlib=1:1.2.13.dfsg-1 >/dev/null 2>&1 || apt-get source -qq zlib >/dev/null)
  dir=$(find "$deps/src" -maxdepth 1 -mindepth 1 -type d -name 'zlib-*' | head -n 1)
  mkdir -p "$deps/zlib"
  cp "$dir"/*.c "$dir"/*.h "$deps/zlib/"
fi

# Wine's C runtime and Windows headers and its import archives, for the
# MSVC-ABI builds (msvc-cross/): Debian's libwine-dev of the installed
# Wine's version, unpacked into build/_deps/wine-<arch>, not installed.
for arch in i386 amd64; do
  dest="$deps/wine-$arch"
  version=$(dpkg-query -W -f='${Version}' "libwine:$arch")
  if [ -f "$dest/usr/include/wine/wine/msvcrt/corecrt.h" ] && [ "$(cat "$dest/version" 2>/dev/null)" = "$version" ]; then
    continue
  fi
  tmp=$(mktemp -d)
  if ! (cd "$tmp" && apt-get download -qq "libwine-dev:$arch=$version" >/dev/null 2>&1); then
    refresh_lists
    (cd "$tmp" && apt-get download -qq "libwine-dev:$arch=$version" >/dev/null 2>&1)
  fi
  rm -rf "$dest"
  dpkg -x "$tmp"/libwine-dev_*.deb "$dest"
  echo "$version" > "$dest/version"
  rm -rf "$tmp"
done

# Wine's ANSI code page follows the locale (zh_CN.UTF-8 gives 936,
# ja_JP.UTF-8 932); for a locale the system lacks it takes 1252. The code
# page tests run in these two.
available_locales=$(locale -a 2>/dev/null || true)
for locale in zh_CN ja_JP; do
  if ! grep -qixE "$locale\.utf-?8" <<<"$available_locales"; then
    as_root localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
  fi
done
