#!/usr/bin/env bash
# Builds the assistant for Windows and runs it under Wine, on a fresh Debian machine too.
#
# With a display (DISPLAY set) the program runs there until it is closed, and the script exits
# with the program's exit code. Without one the script brings up a virtual display, waits for the
# window, saves a screenshot of it, prints the screenshot's path and ends the program.
#
# The program is built against a local update-info server on 127.0.0.1 (port 8731 when free),
# started here and serving a file that announces the program's own version, so it starts without
# the internet.
#
# Settings, all optional: RUN_WAIT_SECONDS (how long to wait for the window, default 120) and
# XVFB_DISPLAY (the virtual display to use, e.g. :57; by default the first free one).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/windows
run_dir=$root/build/run
program=$build/app/assistant.exe
screenshot=$run_dir/assistant.png
desktop_size=1920x1080

export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all WINEPREFIX=$run_dir/wineprefix

build_program() {
  cmake -S . -B "$build" --toolchain cmake/mingw-w64.cmake -DUPDATE_INFO_HOST="127.0.0.1:$update_port"
  cmake --build "$build" --target assistant -j"$(nproc)"
}

# A prefix of its own, with Wine's virtual desktop: Wine then draws the title bar and frame itself,
# and keys reach the window without a window manager.
prepare_prefix() {
  [ -f "$WINEPREFIX/.ready" ] && return
  echo "Preparing the Wine prefix $WINEPREFIX ..."
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop_size" /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.ready"
}

choose_update_port() {
  update_port=$(python3 - <<'PY'
import socket
for port in (8731, 0):
    with socket.socket() as s:
        try:
            s.bind(("127.0.0.1", port))
        except OSError:
            continue
        print(s.getsockname()[1])
        break
PY
)
}

# A static web server holding the update-info file (GBK), announcing this program's version.
start_update_server() {
  local www=$run_dir/www
  mkdir -p "$www/uploads/soft/quorvel"
  python3 -c 'import sys; sys.stdout.buffer.write("版本号【V1.0】结束\r\nXZ【https://quorvel.example/download】结束\r\n".encode("gbk"))' \
    >"$www/uploads/soft/quorvel/zemtak.txt"
  python3 -m http.server --bind 127.0.0.1 --directory "$www" "$update_port" >"$run_dir/update-server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $update_port), 1)" 2>/dev/null && return
    sleep 0.1
  done
  echo "The update-info server did not start; see $run_dir/update-server.log" >&2
  exit 1
}

cleanup() {
  [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null || true
  [ -n "${program_started:-}" ] && wineserver -k 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}

start_virtual_display() {
  local display_file=$run_dir/xvfb-display
  rm -f "$display_file"
  if [ -n "${XVFB_DISPLAY:-}" ]; then
    Xvfb "$XVFB_DISPLAY" -screen 0 "${desktop_size}x24" -nolisten tcp >"$run_dir/xvfb.log" 2>&1 &
    echo "${XVFB_DISPLAY#:}" >"$display_file"
  else
    Xvfb -displayfd 3 -screen 0 "${desktop_size}x24" -nolisten tcp 3>"$display_file" >"$run_dir/xvfb.log" 2>&1 &
  fi
  xvfb_pid=$!
  for _ in $(seq 100); do
    if [ -s "$display_file" ] && [ -e "/tmp/.X11-unix/X$(head -1 "$display_file")" ]; then
      export DISPLAY=":$(head -1 "$display_file")"
      return
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "The virtual display did not start; see $run_dir/xvfb.log" >&2
  exit 1
}

pixel() {
  convert "$1" -format "%[pixel:p{$2,$3}]" info:
}

# The window is centred on the desktop: it is up once the screen's centre no longer shows the
# colour of the desktop's corner.
wait_for_window() {
  local shot=$run_dir/probe.png deadline=$((SECONDS + ${RUN_WAIT_SECONDS:-120}))
  local width=${desktop_size%x*} height=${desktop_size#*x}
  while [ $SECONDS -lt $deadline ]; do
    if import -window root "$shot" 2>/dev/null &&
       [ "$(pixel "$shot" 1 1)" != "$(pixel "$shot" $((width / 2)) $((height / 2)))" ]; then
      rm -f "$shot"
      return 0
    fi
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.5
  done
  return 1
}

run_headless() {
  start_virtual_display
  wine "$program" &
  program_pid=$!
  program_started=1
  if ! wait_for_window; then
    echo "The window did not appear within ${RUN_WAIT_SECONDS:-120} s." >&2
    exit 1
  fi
  # One tick of the 1000 ms timer fills the answer area.
  sleep 1.5
  import -window root "$screenshot"
  echo "The assistant is running; screenshot of its window: $screenshot"
}

run_on_display() {
  wine "$program"
}

mkdir -p "$run_dir"
trap cleanup EXIT
bash tools/install-deps.sh
choose_update_port
build_program
start_update_server
echo "Update-info server: http://127.0.0.1:$update_port/uploads/soft/quorvel/zemtak.txt"
prepare_prefix
if [ -z "${DISPLAY:-}" ]; then
  run_headless
else
  run_on_display
fi
