#!/usr/bin/env bash
# Installs the packages, checks the formatting, builds, and runs every test on SQLite and on a
# PostgreSQL server over ODBC; then once more in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer. QLX_SKIP_SANITIZERS=1 skips the second pass.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

phase_start=0
phase() {
  local now
  now=$(date +%s)
  [ "$phase_start" -eq 0 ] || echo "== phase took $((now - phase_start)) s"
  phase_start=$now
  [ $# -eq 0 ] || echo "== $* ($(date -u +%H:%M:%S))"
}

phase "install packages"
scripts/install-deps.sh

phase "format check"
sources=$(git ls-files -- '*.cpp' '*.h' 2>/dev/null | wc -l)
[ "$sources" -gt 0 ] || { echo "no sources found to check" >&2; exit 1; }
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

# Tests run offscreen in a fixed locale: month names in the log and text ordering must not depend on
# the machine.
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 LANG=C.UTF-8 LANGUAGE=

# Every database test runs on SQLite and on a throw-away PostgreSQL server reached over ODBC; the
# server goes away at the end, also when a test fails.
phase "start PostgreSQL"
# shellcheck source=scripts/pg-test-server.sh
source scripts/pg-test-server.sh
trap pg_test_server_stop EXIT
pg_test_server_start

phase "build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQLX_BUILD_TESTS=ON >/dev/null
cmake --build build -j"$jobs"

phase "test"
(cd build && ctest --output-on-failure --no-tests=error -j"$jobs")

if [ "${QLX_SKIP_SANITIZERS:-0}" != 1 ]; then
  phase "sanitizer build"
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQLX_SANITIZE=ON -DQLX_BUILD_TESTS=ON >/dev/null
  cmake --build build-asan -j"$jobs"

  phase "sanitizer test"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
  export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  (cd build-asan && ctest --output-on-failure --no-tests=error -j"$jobs")
fi
phase
