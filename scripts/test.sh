#!/usr/bin/env bash
# Sets up what is missing, builds every target (Linux, and Windows in each
# flavour) and runs every test of each, then checks the Windows package.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
source scripts/wine-env.sh

# The Windows builds, one per host flavour (mingw-w64 and Visual Studio
# hosts); 64-bit ones run under wine64.
windows_targets=(windows windows64 windows-msvc windows64-msvc)
for target in linux "${windows_targets[@]}"; do
  echo "== $target: build"
  cmake --preset "$target" >/dev/null
  cmake --build --preset "$target"
  echo "== $target: test"
  ctest --preset "$target" -j2
done

# Every Windows build in one package, a folder per flavour, each checked.
echo "== package: the Windows builds together"
windows_builds=("${windows_targets[@]/#/build/}")
# Signed with a throwaway certificate, which proves the signing step; a
# release is signed with the real one (docs/host-integration.md).
signing=$(mktemp -d)
trap 'rm -rf "$signing"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=wiredClsTab test signing" \
  -addext extendedKeyUsage=codeSigning -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null
zip=$(scripts/package.sh --cert "$signing/cert.pem" --key "$signing/key.pem" "${windows_builds[@]}")
python3 tests/package/package_test.py --zip "$zip" --signed-with "$signing/cert.pem" \
  --which-tool build/linux/bin/wired-host "${windows_builds[@]}"

# Further suites (sanitizers, brief fuzzing) hook in here when present.
for extra in scripts/test-*.sh; do
  [ -e "$extra" ] || continue
  echo "== $(basename "$extra" .sh)"
  bash "$extra"
done
echo "== all tests passed"
