#!/usr/bin/env bash
# Installs the packages, builds qlx with its demo warehouse, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLX_BUILD_TESTS=OFF >/dev/null
# Only what it starts: the program and its demo warehouse with the QLX.ini naming it. The tests and
# benchmarks are scripts/test.sh's to build.
cmake --build build -j"$(nproc)" --target qlx demo-warehouse
exec build/qlx
