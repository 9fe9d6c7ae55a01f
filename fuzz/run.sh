#!/usr/bin/env bash
# Runs every fuzz target of a libFuzzer build (`make fuzz`) for a set time
# and fails when any of them finds a crash, a hang, a leak or a sanitizer
# report. New inputs go to BUILD/fuzz-corpus/<target>; the committed seeds
# in fuzz/corpus/<target> are read, never written, and fuzz/<target>.dict,
# where there is one, gives the target's words. A finding is left in
# BUILD/fuzz-findings/<target>/: keep it as fuzz/corpus/<target>/crash-<what>
# once it is fixed, so the replay tests guard against its return.
#
#   fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET
set -uo pipefail

build=${1:?usage: fuzz/run.sh BUILD_DIR SECONDS}
seconds=${2:?usage: fuzz/run.sh BUILD_DIR SECONDS}
source_dir=$(cd "$(dirname "$0")" && pwd)

# Target and the longest input worth trying: a DBF header with a few
# records, an archive with a few entries, one query.
targets=(
  "dbf_table 16384"
  "query 2048"
  "structure_library 16384"
  "zip_intake 16384"
  "settings 2048"
)

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

failed=()
printf '%-18s %12s %8s %10s  %s\n' target executions corpus bytes result
for entry in "${targets[@]}"; do
  read -r name max_len <<<"$entry"
  corpus=$build/fuzz-corpus/$name
  findings=$build/fuzz-findings/$name
  log=$build/fuzz-logs/$name.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  dict=()
  [ -f "$source_dir/$name.dict" ] && dict=(-dict="$source_dir/$name.dict")
  "$build/bin/fuzz_$name" "$corpus" "$source_dir/corpus/$name" "${dict[@]}" \
      -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1
  status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  units=$(find "$corpus" "$source_dir/corpus/$name" -type f | wc -l)
  bytes=$(cat "$corpus"/* "$source_dir/corpus/$name"/* 2>/dev/null | wc -c)
  result=clean
  if [ "$status" -ne 0 ]; then
    result="FAILED (see $log)"
    failed+=("$name")
  fi
  printf '%-18s %12s %8s %10s  %s\n' "$name" "${execs:-?}" "$units" "$bytes" "$result"
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: findings in ${failed[*]}; inputs in $build/fuzz-findings/" >&2
  exit 1
fi
