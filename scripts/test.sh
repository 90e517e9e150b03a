#!/bin/sh
# Runs the test suite; installs the Debian packages it needs when missing.
#   scripts/test.sh                 native, sanitizer and big-endian PowerPC suites
#   scripts/test.sh mipsel arm      the other cross targets (any list of suites)
# Suites: native, asan, ppc, mipsel, arm.
set -eu
cd "$(dirname "$0")/.."
suites=${*:-native asan ppc}

packages=""
need() { command -v "$1" >/dev/null 2>&1 || packages="$packages $2"; }
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
    *) echo "test.sh: unknown suite $suite (native, asan, ppc, mipsel, arm)" >&2; exit 2 ;;
  esac
done
if [ -n "$packages" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "test.sh: installing$packages"
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $packages >/dev/null
fi

for suite in $suites; do
  preset=$suite
  [ "$suite" = native ] && preset=ci
  echo "== $suite suite (preset $preset)"
  cmake --workflow --preset "$preset"
done
