#!/usr/bin/env bash
# relative-paths.sh DIR REL [DIR REL]... -- COMMAND [ARG]...
#
# Runs COMMAND with each path under an absolute folder DIR in its arguments
# written from REL, the folder's path from the working folder. The first
# folder that holds a path wins, so a folder inside another comes first.
#
# The compiler and linker launcher of the Visual Studio cross build
# (msvc-cross/Toolchain.cmake). clang-cl 14 writes its whole command line
# into each object's debug information, and lld-link writes its own into
# the .pdb, whose hash names it in the image; CMake's Ninja generator names
# sources, include folders and the .def file by absolute paths. With
# relative ones the DLL and its .pdb are byte for byte the same from any
# build folder.
set -euo pipefail

usage="usage: relative-paths.sh DIR REL [DIR REL]... -- COMMAND [ARG]..."
dirs=()
rels=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  if [ $# -lt 2 ] || [ "$2" = "--" ] || [ "${1#/}" = "$1" ]; then
    echo "$usage" >&2
    exit 2
  fi
  dirs+=("${1%/}")
  rels+=("$2")
  shift 2
done
if [ $# -lt 2 ]; then
  echo "$usage" >&2
  exit 2
fi
shift

# Where a path starts in an argument: at its beginning, or right after the
# name of an option: -I, -imsvc, -LIBPATH:, the linker's /out:, /DEF:, ...
# and clang-cl's /Fo, /Fd, /Fe, /Fp, /FI, /I. Any other argument that
# begins with a slash is a path itself. A macro's value (-DNAME=/path) is
# the program's own data, maybe a path it opens at run time, and stays.
option='^(-[A-Za-z][A-Za-z0-9_-]*:?|/[A-Za-z]+:|/F[adeopI]|/I)?(/.*)$'

# Sets "relative" to PATH written from its folder's REL (PATH itself when
# no folder holds it).
make_relative() {
  local path=$1 i
  relative=$path
  for i in "${!dirs[@]}"; do
    if [ "$path" = "${dirs[$i]}" ]; then
      relative=${rels[$i]}
      return
    elif [ "${path#"${dirs[$i]}/"}" != "$path" ]; then
      relative=${path#"${dirs[$i]}/"}
      [ "${rels[$i]}" = . ] || relative=${rels[$i]}/$relative
      return
    fi
  done
}

args=()
for arg in "$@"; do
  if [[ $arg =~ $option ]]; then
    name=${BASH_REMATCH[1]}
    make_relative "${BASH_REMATCH[2]}"
    arg=$name$relative
  fi
  args+=("$arg")
done
exec "${args[@]}"
