#!/bin/sh
# Runs a command with DISPLAY set to a private Xvfb server that lives as long
# as the command. One server serves the whole test run, so parallel tests do
# not race for display numbers. An existing DISPLAY is ignored on purpose:
# tests must not draw on a developer's desktop.
set -eu
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "with-xvfb: Xvfb is not installed (apt-get install xvfb xauth)" >&2
  exit 1
fi
fifo_dir=$(mktemp -d)
trap 'rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/fd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo_dir/fd" 2>"$fifo_dir/log" &
xvfb_pid=$!
read -r display_number <"$fifo_dir/fd"
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -rf "$fifo_dir"' EXIT
if [ -z "$display_number" ]; then
  cat "$fifo_dir/log" >&2
  echo "with-xvfb: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$display_number"
status=0
"$@" || status=$?
exit $status
