#!/usr/bin/env bash
# Run by scripts/test.sh: two builds of one commit in different folders make
# byte-identical plug-ins. Each build takes its own copy of the sources, in
# folders of different lengths, and builds the DLL alone.
#
# One flavour of each toolchain is checked, the DLL and its symbols file:
# mingw-w64 (windows: the DLL and its .debug) and Visual Studio (windows-msvc:
# the DLL and its .pdb, which the DLL names by a hash of its contents). The
# Visual Studio build gets there by running clang-cl and lld-link with
# relative paths (msvc-cross/relative-paths.sh): both write their command
# lines into the symbols.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folders=("$work/one" "$work/the-second-copy")
for folder in "${folders[@]}"; do
  mkdir -p "$folder/build"
  git ls-files -z --cached --others --exclude-standard | tar cf - --null -T - | tar xf - -C "$folder"
  # The fetched dependencies are not the project's; both copies share them.
  ln -s "$root/build/_deps" "$folder/build/_deps"
done

failed=0
check() {
  local preset=$1 file=$2
  local one="${folders[0]}/build/$preset/bin/$file" two="${folders[1]}/build/$preset/bin/$file"
  if cmp -s "$one" "$two"; then
    echo "PASS $preset: $file is byte for byte the same ($(sha256sum < "$one" | cut -c1-16))"
  else
    echo "FAIL $preset: the two builds of $file differ ($(cmp "$one" "$two" 2>&1 | head -n 1))"
    failed=1
  fi
}
for preset in windows windows-msvc; do
  for folder in "${folders[@]}"; do
    echo "== $preset: build in $folder"
    (cd "$folder" && cmake --preset "$preset" -DWIREDCLSTAB_TESTS=OFF -DWIREDCLSTAB_TOOLS=OFF >/dev/null &&
      cmake --build --preset "$preset" --target wiredClsTab >/dev/null)
  done
  check "$preset" wiredClsTab.dll
  case $preset in
    *-msvc) check "$preset" wiredClsTab.pdb ;;
    *) check "$preset" wiredClsTab.dll.debug ;;
  esac
done
exit $failed
