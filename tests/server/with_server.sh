#!/usr/bin/env bash
# Runs a command against a fresh test server on a free port of 127.0.0.1: the command gets
# "--port N" appended; the server is stopped afterwards and the command's exit code returned.
# Usage: with_server.sh [server options...] -- command [arguments...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
server_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  server_args+=("$1")
  shift
done
if [ $# -lt 2 ]; then
  echo "usage: $0 [server options...] -- command [arguments...]" >&2
  exit 2
fi
shift

dir=$(mktemp -d)
python3 "$here/http_test_server.py" --port-file "$dir/port" "${server_args[@]}" >/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 200); do
  [ -s "$dir/port" ] && break
  kill -0 "$server" 2>/dev/null || { echo "test server did not start" >&2; exit 1; }
  sleep 0.05
done
[ -s "$dir/port" ] || { echo "test server did not report its port" >&2; exit 1; }

set +e
"$@" --port "$(cat "$dir/port")"
exit $?
