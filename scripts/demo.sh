#!/bin/sh
# Builds the programs and runs each on the bundled example data. The demo
# build reads its configuration directory inside build/demo, where the
# example files are copied first.
set -eu
cd "$(dirname "$0")/.."
# Quiet unless the build fails.
if ! output=$(cmake --preset demo 2>&1 && cmake --build --preset demo 2>&1); then
  printf '%s\n' "$output" >&2
  exit 1
fi
build=build/demo
config=$build/config

run() {
  echo "\$ $*"
  "$@" || echo "(exit status $?)"
  echo
}

rm -rf "$config"
mkdir -p "$config"
if [ -x $build/confdump ]; then
  cp examples/current/conf.bin examples/current/inputs.txt "$config/"
  echo "# confdump: examples/current/conf.bin (current layout) and examples/current/inputs.txt"
  run $build/confdump
fi

cp examples/older/conf.bin "$config/conf.bin"
echo "# storedir: examples/older/conf.bin (older layout)"
run $build/storedir

if [ -x $build/epgindex ]; then
  cp examples/schedule.txt $build/schedule.txt
  echo "# epgindex: examples/schedule.txt (form feeds shown as |)"
  run $build/epgindex $build/schedule.txt
  for index in $build/schedule.txt.idxc $build/schedule.txt.idxe; do
    echo "$index:"
    tr '\014' '|' <"$index"
  done
fi
