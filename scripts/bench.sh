#!/usr/bin/env bash
# ./run bench [REPETITIONS]: builds the Release benchmarks, runs each figure
# beside its floor REPETITIONS times (default 5, interleaved) and prints the
# medians with their ratios; docs/performance.md records them. The raw
# results stay in build/linux-bench/results.json.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

repetitions="${1:-5}"
case "$repetitions" in
  ''|*[!0-9]*|0) echo "usage: ./run bench [REPETITIONS]" >&2; exit 2 ;;
esac

scripts/setup.sh
cmake --preset linux-bench >/dev/null
cmake --build --preset linux-bench

results=build/linux-bench/results.json
build/linux-bench/bin/wiredClsTab_bench \
  --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.5 --benchmark_out="$results" --benchmark_out_format=json \
  --benchmark_report_aggregates_only=true
python3 bench/report.py "$results"

# wired-host run on a generated 100,000-class model against tinyxml2's floor.
python3 bench/model_bench.py
