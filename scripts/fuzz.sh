#!/usr/bin/env bash
# ./run fuzz [SECONDS [TARGET...]]: runs each fuzz target (or those named:
# config, names, pe, mapping) for SECONDS (default 600) over its seed corpus, after
# replaying the inputs that once made it fail.
# Inputs that reach new code are kept in build/linux-fuzz/corpus/<target>;
# a failing input is written to build/linux-fuzz/artifacts/ and the run stops.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build=1
if [ "${1:-}" = "--no-build" ]; then
  build=0
  shift
fi
seconds="${1:-600}"
case "$seconds" in
  ''|*[!0-9]*) echo "usage: ./run fuzz [SECONDS [TARGET...]]" >&2; exit 2 ;;
esac
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(config names pe mapping)

if [ $build = 1 ]; then
  scripts/setup.sh
  cmake --preset linux-fuzz >/dev/null
  cmake --build --preset linux-fuzz --target "${targets[@]/#/fuzz_}"
fi

out=build/linux-fuzz
bin=$out/bin
for target in "${targets[@]}"; do
  [ -x "$bin/fuzz_$target" ] || { echo "fuzz: fuzz_$target not built in $out" >&2; exit 1; }
done
mkdir -p "$out/artifacts"
for target in "${targets[@]}"; do
  regressions=(fuzz/regressions/$target/*)
  if [ -e "${regressions[0]}" ]; then
    echo "== fuzz_$target: replaying ${#regressions[@]} regression inputs"
    "$bin/fuzz_$target" "${regressions[@]}" 2>&1 | tail -n 2
  fi
  dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  corpus=$out/corpus/$target
  mkdir -p "$corpus"
  echo "== fuzz_$target: ${seconds}s"
  if ! "$bin/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
       "${dict[@]}" -artifact_prefix="$out/artifacts/$target-" -print_final_stats=1 \
       "$corpus" "fuzz/corpus/$target" > "$out/fuzz_$target.log" 2>&1; then
    tail -n 40 "$out/fuzz_$target.log"
    echo "fuzz_$target failed; the input is in $out/artifacts/." >&2
    echo "Fix the fault, then keep the input in fuzz/regressions/$target/." >&2
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$out/fuzz_$target.log" || true
done
