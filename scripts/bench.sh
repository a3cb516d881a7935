#!/usr/bin/env bash
# Runs every benchmark program and prints Google Benchmark's table.
set -euo pipefail
build=${1:-build}
found=0
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  found=1
  "$b" --benchmark_counters_tabular=true
done
[ "$found" -eq 1 ] || { echo "no benchmarks built in $build/bench" >&2; exit 1; }
