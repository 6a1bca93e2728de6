#!/usr/bin/env bash
# tarnwick-cli.exe through a real COM port: Wine's COM1 and COM2 are links (TARNWICK_WINE_COM1 and
# TARNWICK_WINE_COM2, pinned by scripts/test-windows) pointed here at pseudo-terminals: first the Linux
# tarnwick-boxsim's, then one end of a pair whose other end tarnwick-boxsim.exe serves as COM2.
# com_port_test.sh CLI_EXE BOXSIM_EXE LINUX_BOXSIM. Exit 77 (skipped) without the Linux box or the links.
set -euo pipefail
cli=$1
boxsim_exe=$2
boxsim=$3
if [ ! -x "$boxsim" ] || [ -z "${TARNWICK_WINE_COM1:-}" ] || [ -z "${TARNWICK_WINE_COM2:-}" ]; then
  echo "skipped: needs the Linux build's tarnwick-boxsim ($boxsim) and scripts/test-windows' COM1 link"
  exit 77
fi
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    { kill "$pid" && wait "$pid"; } 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Waits for a file to have a first line: what a starting box prints once it is up.
await_line() {
  for _ in $(seq 200); do
    [ -s "$1" ] && return 0
    sleep 0.1
  done
  echo "FAILED: nothing in $1"
  exit 1
}

"$boxsim" --unpaced --disk "$work/disk" >"$work/box.out" 2>"$work/box.err" &
pids+=($!)
await_line "$work/box.out"
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

# Both ends Windows programs: tarnwick-boxsim.exe on COM2, the pair's other end COM1.
{ kill "${pids[0]}" && wait "${pids[0]}"; } 2>/dev/null || true
socat pty,raw,echo=0,link="$work/pc" pty,raw,echo=0,link="$work/box" </dev/null >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -e "$work/pc" ] && [ -e "$work/box" ] && break
  sleep 0.1 # socat makes the links once both terminals exist
done
ln -sfn "$(readlink "$work/pc")" "$TARNWICK_WINE_COM1"
ln -sfn "$(readlink "$work/box")" "$TARNWICK_WINE_COM2"
wine "$boxsim_exe" --unpaced --device COM2 </dev/null >"$work/wbox.out" 2>"$work/wbox.err" &
pids+=($!)
await_line "$work/wbox.out"
status=0
cli_on_com1 program-download "$(winepath -w "$work/image.gz")" || status=$?
expect "Program Download through COM1 into tarnwick-boxsim.exe on COM2" $status "Download Complete!!!"
exit $fail
