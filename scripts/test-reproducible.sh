#!/usr/bin/env bash
# Run by scripts/test.sh: two builds of one commit in different folders make
# byte-identical plug-ins, for one flavour of each toolchain (mingw-w64, and
# clang-cl for Visual Studio's ABI). Each build takes its own copy of the
# sources, in folders of different lengths, and builds the DLL alone.
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
for preset in windows windows-msvc; do
  for folder in "${folders[@]}"; do
    echo "== $preset: build in $folder"
    (cd "$folder" && cmake --preset "$preset" -DWIREDCLSTAB_TESTS=OFF -DWIREDCLSTAB_TOOLS=OFF >/dev/null &&
      cmake --build --preset "$preset" --target wiredClsTab >/dev/null)
  done
  one="${folders[0]}/build/$preset/bin/wiredClsTab.dll"
  two="${folders[1]}/build/$preset/bin/wiredClsTab.dll"
  if cmp -s "$one" "$two"; then
    echo "PASS $preset: wiredClsTab.dll is byte for byte the same ($(sha256sum < "$one" | cut -c1-16))"
  else
    echo "FAIL $preset: the two builds of wiredClsTab.dll differ ($(cmp "$one" "$two" | head -n 1))"
    failed=1
  fi
done
exit $failed
