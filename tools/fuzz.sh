#!/usr/bin/env bash
# Fuzzes the reader of photo and video times natively with libFuzzer, ASan and UBSan:
#   tools/fuzz.sh [seconds]   (default 180)
# The seeds are the test pictures and movies, made afresh; the corpus grows in build/fuzz/corpus and
# any finding is written to build/fuzz/ (the script then fails).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-180}
dir="$root/build/fuzz"
mkdir -p "$dir/corpus"
rm -rf "$dir/seeds"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$root/src" \
  "$root/tests/fuzz/TakenTimeFuzz.cpp" "$root"/src/media/*.cpp -o "$dir/TakenTimeFuzz"
python3 "$root/tests/media/make_fixtures.py" "$dir/seeds" >"$dir/seeds.log" 2>&1 ||
  { cat "$dir/seeds.log" >&2; echo "fuzz: the seed pictures and movies could not be made" >&2; exit 1; }
# Inputs up to 8 KB: the seeds' metadata lies within their first kilobytes.
log="$dir/last-run.log"
if ! "$dir/TakenTimeFuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
     -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" "$dir/seeds" >"$log" 2>&1; then
  tail -n 60 "$log" >&2
  echo "fuzz: a finding, written to $dir/ (the whole output is in $log)" >&2
  exit 1
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
echo "fuzz: ${runs:-?} inputs in $seconds s, no finding (corpus: $(ls "$dir/corpus" | wc -l) inputs)"
