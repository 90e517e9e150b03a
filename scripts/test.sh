#!/bin/sh
# Runs the whole test suite: configure, build and test with warnings as errors.
set -eu
cd "$(dirname "$0")/.."
cmake --workflow --preset ci
