#!/usr/bin/env bash
# Builds the benchmarks and runs every one under Wine, each comparing a unit of the program with a
# bare loop of the same system calls in the same run (ratios, not times, are what to compare):
#
#   tools/bench.sh [--no-million]
#
# The last one makes a tree of a million files (minutes) and reports the collection against the bare
# walk and the program's peak memory; --no-million leaves it out.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
million=1
[ "${1:-}" = "--no-million" ] && million=0
"$root/tools/deps.sh"
"$root/tools/build.sh" x86_64 --target bench_FileTimesBench bench_TargetListBench bench_ChangeRunBench bench_CollectionBench bench_TimeRuleBench bench_CompanionBench
bin="$root/build/x86_64/bench"
for b in FileTimesBench TargetListBench ChangeRunBench CollectionBench TimeRuleBench CompanionBench; do
  echo "== $b"
  "$root/tools/winerun" "$bin/bench_$b.exe"
done
if [ "$million" = 1 ]; then
  echo "== CollectionBench --million"
  "$root/tools/winerun" "$bin/bench_CollectionBench.exe" --million
fi
