#!/usr/bin/env bash
# Installs what is missing, then builds and tests both ways: the portable core natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows program with mingw-w64, whose
# unit tests and end-to-end scenarios run under Wine inside a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash tools/install-deps.sh

cmake -S . -B build/native -DASSISTANT_SANITIZE=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"

cmake -S . -B build/windows --toolchain cmake/mingw-w64.cmake -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
  -DUPDATE_INFO_HOST=127.0.0.1:8731
cmake --build build/windows -j"$jobs"

# Window tests need an X display; bring up a private one when none is given.
if [ -z "${DISPLAY:-}" ]; then
  display=99
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
fi
ctest --test-dir build/windows --output-on-failure
