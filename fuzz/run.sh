#!/bin/sh
# Builds the fuzz targets (preset fuzz) and runs each for a given time:
#   fuzz/run.sh TARGET|all SECONDS
# Targets: conf, inputs, schedule. Each keeps its corpus in
# build/fuzz/corpus/TARGET, seeded from the test fixtures (make_seeds); an input
# that breaks a target is saved under build/fuzz/artifacts and the run fails.
# The figures of each run end up in build/fuzz/logs/TARGET.log.
set -eu
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: fuzz/run.sh conf|inputs|schedule|all SECONDS" >&2
  exit 2
fi
targets=$1
[ "$targets" = all ] && targets="conf inputs schedule"
seconds=$2

# Quiet unless the build fails.
if ! output=$(cmake --preset fuzz 2>&1 && cmake --build --preset fuzz 2>&1); then
  printf '%s\n' "$output" >&2
  exit 1
fi
build=build/fuzz
rm -rf $build/seeds
$build/make_seeds . $build/seeds
mkdir -p $build/artifacts $build/logs

for target in $targets; do
  case $target in
    conf) max_len=4096 ;;
    inputs | schedule) max_len=65536 ;;
    *) echo "fuzz/run.sh: unknown target $target (conf, inputs, schedule)" >&2; exit 2 ;;
  esac
  corpus=$build/corpus/$target
  log=$build/logs/$target.log
  mkdir -p "$corpus"
  echo "== fuzz $target for ${seconds}s"
  # New inputs go to the first directory; the seeds are only read.
  if ! $build/${target}_fuzz -max_total_time="$seconds" -max_len=$max_len -timeout=10 \
    -rss_limit_mb=2048 -dict=fuzz/$target.dict -print_final_stats=1 \
    -artifact_prefix=$build/artifacts/$target- "$corpus" $build/seeds/$target >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "fuzz/run.sh: $target failed; the input is in $build/artifacts (log $log)" >&2
    exit 1
  fi
  # The last status line (cov, ft, corpus) and the totals.
  grep -E '^#[0-9]+' "$log" | tail -n 1
  grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)' "$log" | tr '\n' ' '
  echo "corpus files: $(ls "$corpus" | wc -l)"
done
