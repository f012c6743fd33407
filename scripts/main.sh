#!/usr/bin/env bash
# The main job: sets up what is missing, builds the Windows plug-in and the
# reference host, and runs the shop example through the real DLL under Wine,
# printing the mapping it makes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
source scripts/wine-env.sh

echo "== build: wiredClsTab.dll and wired-host.exe"
cmake --preset windows >/dev/null
cmake --build --preset windows --target wired-host

echo "== run: the shop example"
# Extra arguments go to wired-host, e.g. ./run main --format json
exec wine build/windows/bin/wired-host.exe run examples/shop/model.xml --config examples/shop/config.xml "$@"
