#!/usr/bin/env bash
# relative-paths.sh, the compiler and linker launcher of the cross build:
# which arguments it rewrites and which it leaves alone.
set -uo pipefail
launcher=$(cd "$(dirname "$0")/.." && pwd)/relative-paths.sh

# Argument, then what the command must receive; the build folder
# /src/build/x lies inside the sources /src.
cases=(
  /src/wiredClsTab/a.cpp                ../../wiredClsTab/a.cpp
  /src/build/x                          .
  /src                                  ../..
  /src/build/x/gen/b.h                  gen/b.h
  /src/build/_deps/stl/inc              ../../build/_deps/stl/inc
  "/src/my dir/a b.cpp"                 "../../my dir/a b.cpp"
  -I/src/include                        -I../../include
  -imsvc/src/build/_deps/stl            -imsvc../../build/_deps/stl
  /I/src/include                        /I../../include
  /Fo/src/build/x/obj/a.obj             /Foobj/a.obj
  /FI/src/force.h                       /FI../../force.h
  /DEF:/src/wiredClsTab/a.def           /DEF:../../wiredClsTab/a.def
  -LIBPATH:/src/build/x/lib             -LIBPATH:lib
  /out:/src/build/x/bin/a.dll           /out:bin/a.dll
  # A macro's value is the program's: a path it opens at run time.
  '-DDATA="/src/tests/data"'            '-DDATA="/src/tests/data"'
  -DDATA=/src/tests/data                -DDATA=/src/tests/data
  /DDATA=/src/tests/data                /DDATA=/src/tests/data
  -UDATA                                -UDATA
  # Folders that merely look like ours.
  /mnt/src/a.cpp                        /mnt/src/a.cpp
  /srcx/a.cpp                           /srcx/a.cpp
  /Include/src/a.h                      /Include/src/a.h
  # No path at all.
  /DEBUG                                /DEBUG
  --target=i686-pc-windows-msvc         --target=i686-pc-windows-msvc
  --                                    --
  ""                                    ""
)

failed=0
inputs=()
expected=()
for ((i = 0; i < ${#cases[@]}; i += 2)); do
  inputs+=("${cases[i]}")
  expected+=("${cases[i + 1]}")
done
mapfile -t got < <("$launcher" /src/build/x . /src ../.. -- printf '%s\n' "${inputs[@]}")
for i in "${!inputs[@]}"; do
  if [ "${got[i]-<missing>}" != "${expected[i]}" ]; then
    echo "FAIL: '${inputs[i]}' became '${got[i]-<missing>}', not '${expected[i]}'"
    failed=1
  fi
done
[ ${#got[@]} = ${#inputs[@]} ] || { echo "FAIL: ${#got[@]} arguments came out of ${#inputs[@]}"; failed=1; }

# The command's own status comes back; a launcher given no command or a
# folder without its relative path refuses with 2.
"$launcher" /src ../.. -- sh -c 'exit 7'
status=$?
[ $status = 7 ] || { echo "FAIL: the command's status 7 came back as $status"; failed=1; }
for usage in "/src -- true" "/src ../.." "/src ../.. --" "src ../.. -- true"; do
  # shellcheck disable=SC2086
  "$launcher" $usage 2>/dev/null
  status=$?
  [ $status = 2 ] || { echo "FAIL: relative-paths.sh $usage ended with $status, not 2"; failed=1; }
done

[ $failed = 0 ] && echo "PASS: ${#inputs[@]} arguments, the status and the usage errors"
exit $failed
