#!/usr/bin/env bash
# Run by scripts/test.sh: two builds of one commit in different folders make
# byte-identical plug-ins. Each build takes its own copy of the sources, in
# folders of different lengths, and builds the DLL alone.
#
# The mingw-w64 flavours are checked. The Visual Studio flavours are the
# same from one build to the next in one folder (/Brepro), but not across
# folders: clang-cl 14 writes each compiler command line, absolute paths
# and all, into the symbols, and lld names the .pdb in the image by a hash
# of its contents.
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
for preset in windows; do
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
