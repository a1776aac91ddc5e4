#!/usr/bin/env bash
# Installs the packages, builds qlx with its demo warehouse, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLX_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
exec build/qlx
