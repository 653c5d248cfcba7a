#!/usr/bin/env bash
# Builds everything with warnings as errors and runs the whole test suite.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

cmake --preset ci
cmake --build --preset ci
ctest --preset ci --parallel 2
