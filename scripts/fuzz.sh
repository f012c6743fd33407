#!/usr/bin/env bash
# ./run fuzz [SECONDS [TARGET...]]: runs each fuzz target (or those named:
# config, names, pe, mapping, check; gzip, zip, tar, xmi, dia, staruml, plantuml,
# tables, model) for SECONDS (default 600) over its seed corpus, after
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
model_targets=(gzip zip tar xmi dia staruml plantuml tables model)
[ ${#targets[@]} -gt 0 ] || targets=(config names pe mapping check "${model_targets[@]}")

# Seeds besides fuzz/corpus/<target>: the model readers' targets start from
# wired-host's test models and the hostile files its tests keep.
models=tools/wired-host/tests/models
hostile=tools/wired-host/tests/hostile
declare -A seeds=(
  [check]="fuzz/corpus/config"
  [gzip]="$models $hostile" [zip]="$models $hostile" [tar]="$hostile"
  [xmi]="$models $hostile" [dia]="$models" [staruml]="$models" [plantuml]="$models" [model]="$models $hostile"
)
# A dictionary other than fuzz/<target>.dict, and inputs longer than 4 KiB.
declare -A dicts=([check]=config.dict [xmi]=config.dict [dia]=config.dict [model]=config.dict)
declare -A lengths=([gzip]=16384 [zip]=16384 [tar]=16384 [xmi]=16384 [dia]=16384 [staruml]=16384
                    [plantuml]=16384 [tables]=16384 [model]=16384)

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
  dict_file="fuzz/${dicts[$target]:-$target.dict}"
  [ -f "$dict_file" ] && dict=(-dict="$dict_file")
  corpus=$out/corpus/$target
  mkdir -p "$corpus"
  folders=()
  [ -d "fuzz/corpus/$target" ] && folders+=("fuzz/corpus/$target")
  for folder in ${seeds[$target]:-}; do folders+=("$folder"); done
  echo "== fuzz_$target: ${seconds}s"
  if ! "$bin/fuzz_$target" -max_total_time="$seconds" -max_len="${lengths[$target]:-4096}" -timeout=10 \
       -rss_limit_mb=2048 "${dict[@]}" -artifact_prefix="$out/artifacts/$target-" -print_final_stats=1 \
       "$corpus" "${folders[@]}" > "$out/fuzz_$target.log" 2>&1; then
    tail -n 40 "$out/fuzz_$target.log"
    echo "fuzz_$target failed; the input is in $out/artifacts/." >&2
    echo "Fix the fault, then keep the input in fuzz/regressions/$target/ (a model file: in $hostile/)." >&2
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$out/fuzz_$target.log" || true
done
