#!/usr/bin/env bash
# Run by scripts/test.sh after the main suites: the Linux unit, end-to-end,
# hardening and wired-host tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, each fuzz target briefly over its seed corpus,
# and the benchmarks once briefly so that they keep building and running (no
# timing is asserted).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

fuzz_seconds="${WIREDCLSTAB_FUZZ_SECONDS:-40}"

echo "== linux-asan: build"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan
echo "== linux-asan: test"
ctest --preset linux-asan -j2 -E '^e2e_tests$'
# The end-to-end suite lets go of the converters it makes, and nothing ever
# frees a converter, so LeakSanitizer would report each one. It runs with the
# address and undefined-behaviour checks only; leaks are the business of the
# hardening tests above, which keep their converters and check for leaks.
if [ -x build/linux-asan/bin/e2e_tests ]; then
  ASAN_OPTIONS=detect_leaks=0:strict_string_checks=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/linux-asan --output-on-failure -R '^e2e_tests$'
fi

echo "== linux-fuzz: build"
cmake --preset linux-fuzz >/dev/null
model_fuzz_targets=(gzip zip tar xmi dia staruml plantuml tables model)
cmake --build --preset linux-fuzz --target fuzz_config fuzz_names fuzz_pe fuzz_mapping fuzz_check \
  "${model_fuzz_targets[@]/#/fuzz_}"
bash scripts/fuzz.sh --no-build "$fuzz_seconds" config names
# The PE reader of "wired-host which" is small: a sixth of the time covers it.
bash scripts/fuzz.sh --no-build $(( (fuzz_seconds + 5) / 6 )) pe
# A saved mapping is lines of four fields: a few seconds reach all of it.
bash scripts/fuzz.sh --no-build $(( (fuzz_seconds + 5) / 6 )) mapping
# "wired-host check" over the plug-in's own configurations as seeds.
bash scripts/fuzz.sh --no-build $(( (fuzz_seconds + 3) / 4 )) check
# wired-host's model readers, nine targets: briefly each here, for longer
# with ./run fuzz.
bash scripts/fuzz.sh --no-build "${WIREDCLSTAB_MODEL_FUZZ_SECONDS:-10}" "${model_fuzz_targets[@]}"

echo "== linux-bench: build and one brief run"
cmake --preset linux-bench >/dev/null
cmake --build --preset linux-bench
build/linux-bench/bin/wiredClsTab_bench --benchmark_min_time=0.01
