#!/usr/bin/env bash
# Runs each fuzzer of the fuzz preset for a bounded time, on a corpus that
# starts from the committed seeds and the examples, and fails on the first
# finding (a failed property, a sanitizer report, a crash, a timeout or
# running out of memory). Prints each fuzzer's execution count.
# Usage: fuzz/run-fuzzers.sh [SECONDS_EACH]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bin=build/fuzz/fuzz
work=build/fuzz/corpus
mkdir -p "$work/findings"

for name in split_skin_text settings_ini path; do
  corpus="$work/$name"
  mkdir -p "$corpus"
  cp fuzz/seeds/"$name"/* "$corpus"/
  if [ "$name" = split_skin_text ]; then
    cp examples/sakura.txt "$corpus/example-sakura.txt"
    for page in examples/sakura-expected/*; do cp "$page" "$corpus/example-$(basename "$page")"; done
  fi
  log="$work/$name.log"
  if ! "$bin/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$work/findings/$name-" "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "${name}_fuzzer: FINDING, input kept in $work/findings/" >&2
    exit 1
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  echo "${name}_fuzzer: ${runs} executions in ${seconds} s, $(ls "$corpus" | wc -l) inputs in the corpus"
done
