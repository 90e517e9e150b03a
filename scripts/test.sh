#!/bin/sh
# Runs the test suite; installs the Debian packages it needs when missing.
#   scripts/test.sh                 native, sanitizer, PowerPC, fuzz and lint suites
#   scripts/test.sh mipsel arm      the other cross targets (any list of suites)
# Suites: native, asan, ppc, mipsel, arm, fuzz (each fuzz target for
# QUARN_FUZZ_SECONDS, default 60), lint (clang-tidy and cppcheck).
set -eu
cd "$(dirname "$0")/.."
suites=${*:-native asan ppc fuzz lint}

# Runs a command silently, but shows all it said when it fails.
quiet() {
  if ! output=$("$@" 2>&1); then
    printf '%s\n' "$output" >&2
    return 1
  fi
}

packages=""
need() { command -v "$1" >/dev/null 2>&1 || packages="$packages $2"; }
need_package() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed' || packages="$packages $1"
}
need cmake cmake
need g++ g++
need ninja ninja-build
need readelf binutils
[ -d /usr/src/googletest ] || packages="$packages googletest"
for suite in $suites; do
  case $suite in
    native | asan) ;;
    ppc) need powerpc-linux-gnu-g++ g++-powerpc-linux-gnu; need qemu-ppc qemu-user ;;
    mipsel) need mipsel-linux-gnu-g++ g++-mipsel-linux-gnu; need qemu-mipsel qemu-user ;;
    arm) need arm-linux-gnueabihf-g++ g++-arm-linux-gnueabihf; need qemu-arm qemu-user ;;
    fuzz) need clang++ clang; need_package libclang-rt-14-dev ;;
    lint) need clang-tidy clang-tidy; need cppcheck cppcheck ;;
    *)
      echo "test.sh: unknown suite $suite (native, asan, ppc, mipsel, arm, fuzz, lint)" >&2
      exit 2
      ;;
  esac
done
if [ -n "$packages" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "test.sh: installing$packages"
  $sudo apt-get update -q >/dev/null
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $packages >/dev/null
fi

# clang-tidy (.clang-tidy) and cppcheck over the shipped code: the sources of
# the compile database, less the benchmark tool.
lint() {
  quiet cmake --preset lint
  sources=$(sed -n 's|.*"file": "'"$PWD"'/\(.*\)".*|\1|p' build/lint/compile_commands.json |
    grep -v '^bench/')
  echo "clang-tidy:" $sources
  if ! report=$(clang-tidy -p build/lint --quiet $sources 2>&1); then
    printf '%s\n' "$report" | grep -v 'warnings generated\.$' >&2
    echo "lint: clang-tidy found problems" >&2
    return 1
  fi
  echo "cppcheck"
  # The configuration directory is a build setting; any path does for the analysis.
  cppcheck --enable=warning,performance,portability --error-exitcode=1 --inline-suppr \
    --std=c++17 --language=c++ --quiet -I . -D_FILE_OFFSET_BITS=64 \
    '-DQUARN_CONFIG_DIR="/var/tuxbox/config/quarn"' $sources
  echo "lint: clean"
}

for suite in $suites; do
  case $suite in
    fuzz)
      echo "== fuzz suite (preset fuzz)"
      fuzz/run.sh all "${QUARN_FUZZ_SECONDS:-60}"
      ;;
    lint)
      echo "== lint suite (preset lint)"
      lint
      ;;
    *)
      preset=$suite
      [ "$suite" = native ] && preset=ci
      echo "== $suite suite (preset $preset)"
      cmake --workflow --preset "$preset"
      ;;
  esac
done
