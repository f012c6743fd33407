#!/usr/bin/env bash
# Sets up what is missing, builds both targets and runs every test of both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
source scripts/wine-env.sh

for target in linux windows; do
  echo "== $target: build"
  cmake --preset "$target" >/dev/null
  cmake --build --preset "$target"
  echo "== $target: test"
  ctest --preset "$target" -j2
done

# Further suites (sanitizers, brief fuzzing) hook in here when present.
for extra in scripts/test-*.sh; do
  [ -e "$extra" ] || continue
  echo "== $(basename "$extra" .sh)"
  bash "$extra"
done
echo "== all tests passed"
