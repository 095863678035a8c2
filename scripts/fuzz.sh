#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# checks on) and runs each for a bounded time from its seeds: the table file
# readers from the seed tables in tests/fuzz/corpus, the RTF reader from the
# letters in tests/fuzz/rtf-corpus.
#
#   scripts/fuzz.sh [SECONDS]          default 45
#   scripts/fuzz.sh --seeds            writes the seed corpus anew
set -euo pipefail
cd "$(dirname "$0")/.."
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNYILVEX_FUZZ=ON -DNYILVEX_GUI=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" > /dev/null
cmake --build build-fuzz --target table_fuzz table_fuzz_seeds rtf_fuzz -j"$(nproc)"
if [ "${1:-}" = "--seeds" ]; then
  rm -rf tests/fuzz/corpus
  build-fuzz/bin/table_fuzz_seeds tests/fuzz/corpus
  exit 0
fi
seconds="${1:-45}"
# fuzz TARGET CORPUS: runs TARGET from a copy of the seeds in CORPUS.
fuzz() {
  local work
  work=$(mktemp -d)
  mkdir "$work/corpus"
  cp "$2"/* "$work/corpus"/
  if ! ASAN_OPTIONS=detect_leaks=0 "build-fuzz/bin/$1" -max_total_time="$seconds" -timeout=10 \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" > "$work/fuzz.log" 2>&1; then
    tail -n 60 "$work/fuzz.log"
    echo "$1 found a failing input (kept in $work)" >&2
    exit 1
  fi
  grep -E "^Done|stat::number_of_executed_units" "$work/fuzz.log" || true
  rm -rf "$work"
}
fuzz table_fuzz tests/fuzz/corpus
fuzz rtf_fuzz tests/fuzz/rtf-corpus
