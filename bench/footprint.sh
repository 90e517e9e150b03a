#!/bin/sh
# Prints what the programs cost a receiver: stripped size and NEEDED libraries
# per target, and start-up instructions of confdump and storedir against
# /bin/true (callgrind counts instructions, so the figures repeat).
#   bench/footprint.sh [native ppc mipsel arm]
set -eu
cd "$(dirname "$0")/.."
targets=${*:-native ppc mipsel arm}

triplet() {
  case $1 in
    native) echo "" ;;
    ppc) echo powerpc-linux-gnu ;;
    mipsel) echo mipsel-linux-gnu ;;
    arm) echo arm-linux-gnueabihf ;;
  esac
}

printf '%-8s %-9s %9s  %s\n' target program stripped NEEDED
for target in $targets; do
  t=$(triplet "$target")
  build=build/footprint-$target
  if [ -n "$t" ]; then
    command -v "$t-g++" >/dev/null || { echo "$target: $t-g++ missing (scripts/test.sh $target installs it)"; continue; }
    toolchain="-DCMAKE_TOOLCHAIN_FILE=$PWD/cmake/toolchains/$t.cmake"
    strip=$t-strip
  else
    toolchain=""
    strip=strip
  fi
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF $toolchain >/dev/null
  cmake --build "$build" >/dev/null
  for program in confdump storedir epgindex; do
    [ -f "$build/$program" ] || continue
    $strip -o "$build/$program.stripped" "$build/$program"
    size=$(wc -c <"$build/$program.stripped")
    needed=$(readelf -dW "$build/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
    printf '%-8s %-9s %9s  %s\n' "$target" "$program" "$size" "$needed"
  done
done

if ! command -v valgrind >/dev/null; then
  echo "valgrind missing: no start-up figures"
  exit 0
fi
# Start-up alone (no configuration files: each program reports and exits)
# and a whole run on the example data, through the demo build.
./scripts/demo.sh >/dev/null
config=build/demo/config
instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p'
}
row() {
  n=$(instructions "$2")
  printf '%-32s %10s %7s\n' "$1" "$n" "$(awk "BEGIN { printf \"%.2f\", $n / $base }")"
}
base=$(instructions /bin/true)
echo
printf '%-32s %10s %7s\n' "instructions (callgrind)" count "x true"
row /bin/true /bin/true
for program in confdump storedir; do
  [ -x build/demo/$program ] || continue
  rm -rf "$config" && mkdir -p "$config"
  row "$program, start-up (no files)" build/demo/$program
  if [ $program = confdump ]; then
    cp examples/current/conf.bin examples/current/inputs.txt "$config/"
  else
    cp examples/older/conf.bin "$config/"
  fi
  row "$program, example data" build/demo/$program
done
