#!/usr/bin/env bash
# tarnwick-cli.exe through a real COM port: Wine's COM1 is a link (TARNWICK_WINE_COM1, pinned by
# scripts/test-windows) pointed here at the pseudo-terminal of the Linux tarnwick-boxsim.
# com_port_test.sh CLI_EXE LINUX_BOXSIM. Exit 77 (skipped) without the Linux box or the pinned link.
set -euo pipefail
cli=$1
boxsim=$2
if [ ! -x "$boxsim" ] || [ -z "${TARNWICK_WINE_COM1:-}" ]; then
  echo "skipped: needs the Linux build's tarnwick-boxsim ($boxsim) and scripts/test-windows' COM1 link"
  exit 77
fi
work=$(mktemp -d)
box_pid=
cleanup() {
  [ -n "$box_pid" ] && kill "$box_pid" 2>/dev/null && wait "$box_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$boxsim" --unpaced --disk "$work/disk" >"$work/box.out" 2>"$work/box.err" &
box_pid=$!
for _ in $(seq 100); do
  [ -s "$work/box.out" ] && break
  sleep 0.1 # the box prints its pseudo-terminal once it is up
done
ln -sfn "$(head -n 1 "$work/box.out")" "$TARNWICK_WINE_COM1"

fail=0
# Runs the CLI on COM1; its stdout without the console's carriage returns lands in $work/out.
cli_on_com1() {
  local status=0
  wine "$cli" --port 1 "$@" </dev/null >"$work/out.raw" 2>"$work/err" || status=$?
  tr -d '\r' <"$work/out.raw" >"$work/out"
  return $status
}
expect() {
  local what=$1 status=$2 wanted=$3
  if [ "$status" != 0 ] || [ "$(cat "$work/out")" != "$wanted" ]; then
    echo "FAILED: $what (exit $status)"
    cat "$work/out" "$work/err"
    fail=1
  else
    echo "passed: $what"
  fi
}

head -c 150000 /dev/urandom >"$work/image"
gzip -n "$work/image"
status=0
cli_on_com1 program-download "$(winepath -w "$work/image.gz")" || status=$?
expect "Program Download through COM1" $status "Download Complete!!!"

head -c 6000 /dev/urandom >"$work/memory.bin"
status=0
cli_on_com1 download --mode sdram --start 0x00200000 "$(winepath -w "$work/memory.bin")" || status=$?
expect "SDRAM download through COM1" $status "Download Complete!!!"
status=0
cli_on_com1 upload --mode sdram --start 0x00200000 --size 6000 --output "$(winepath -w "$work/back.bin")" ||
  status=$?
expect "SDRAM upload through COM1" $status ""
if ! cmp -s "$work/memory.bin" "$work/back.bin"; then
  echo "FAILED: the uploaded SDRAM differs from what was downloaded"
  fail=1
fi
exit $fail
