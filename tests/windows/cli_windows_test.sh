#!/usr/bin/env bash
# tarnwick-cli.exe as a Windows user runs it: first against the embedded box and tarnwick-boxsim.exe on
# loopback ports, then through a real COM port: Wine's COM1 and COM2 are links (TARNWICK_WINE_COM1 and
# TARNWICK_WINE_COM2, pinned by scripts/test-windows) pointed here at pseudo-terminals: first the Linux
# tarnwick-boxsim's, then one end of a pair whose other end tarnwick-boxsim.exe serves as COM2.
# cli_windows_test.sh CLI_EXE BOXSIM_EXE LINUX_BOXSIM. Exit 77 (skipped) after the loopback part without
# the Linux box or the links.
set -euo pipefail
cli=$1
boxsim_exe=$2
boxsim=$3
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    { kill "$pid" && wait "$pid"; } 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Waits for a file to have a whole first line: what a starting box prints once it is up.
await_line() {
  for _ in $(seq 200); do
    [ "$(wc -l <"$1")" -gt 0 ] && return 0
    sleep 0.1
  done
  echo "FAILED: nothing in $1"
  exit 1
}

fail=0
# Runs the CLI; its stdout without the console's carriage returns lands in $work/out, stderr in $work/err.
run_cli() {
  local status=0
  wine "$cli" "$@" </dev/null >"$work/out.raw" 2>"$work/err" || status=$?
  tr -d '\r' <"$work/out.raw" >"$work/out"
  return $status
}
cli_on_com1() { run_cli --port 1 "$@"; }
# expect WHAT WANTED_STATUS STATUS WANTED_OUT [WANTED_IN_ERR]
expect() {
  local what=$1 wanted_status=$2 status=$3 wanted=$4 in_err=${5:-}
  if [ "$status" != "$wanted_status" ] || [ "$(cat "$work/out")" != "$wanted" ] ||
    { [ -n "$in_err" ] && ! grep -qF -- "$in_err" "$work/err"; }; then
    echo "FAILED: $what (exit $status)"
    cat "$work/out" "$work/err"
    fail=1
  else
    echo "passed: $what"
  fi
}
# Starts tarnwick-boxsim.exe with the options given; its first line (the port it serves) lands in $box.
start_windows_box() {
  local out=$work/wbox${#pids[@]}.out
  wine "$boxsim_exe" --unpaced "$@" </dev/null >"$out" 2>/dev/null &
  pids+=($!)
  await_line "$out"
  box=$(head -n 1 "$out" | tr -d '\r')
}

head -c 150000 /dev/urandom >"$work/image"
gzip -n "$work/image"
image=$(winepath -w "$work/image.gz")
status=0
run_cli --port sim program-download "$image" || status=$?
expect "Program Download into the embedded box" 0 $status "Download Complete!!!" "COM 1 -> tcp:127.0.0.1:"
start_windows_box --disk "$work/wdisk"
status=0
run_cli --port "$box" program-download "$image" || status=$?
expect "Program Download into tarnwick-boxsim.exe over TCP" 0 $status "Download Complete!!!"
{ kill "${pids[-1]}" && wait "${pids[-1]}"; } 2>/dev/null || true
start_windows_box --silent --disk "$work/wdisk"
status=0
run_cli --port "$box" --timeout 1 program-download "$image" || status=$?
expect "A silent box" 3 $status ""
printf 'BC' >"$work/bad.gz"
status=0
run_cli --port sim program-download "$(winepath -w "$work/bad.gz")" || status=$?
expect "An image that is no gzip file" 1 $status "Invalid File"
unwritable=$(winepath -w "$work/no-such-folder")\\out.bin
status=0
run_cli --port sim upload --mode sdram --size 16 --output "$unwritable" || status=$?
expect "An upload into a missing folder" 1 $status "Can't open $unwritable !!!"
status=0
run_cli --port tcp:127.0.0.1:1 program-download "$image" || status=$?
expect "A port that refuses" 1 $status "Can't Open Comm Port 1 !"
status=0
run_cli || status=$?
[ $status = 2 ] || { echo "FAILED: no command (exit $status)" && fail=1; }
status=0
run_cli --port sim pgm x || status=$?
[ $status = 2 ] || { echo "FAILED: an unknown command (exit $status)" && fail=1; }

if [ ! -x "$boxsim" ] || [ -z "${TARNWICK_WINE_COM1:-}" ] || [ -z "${TARNWICK_WINE_COM2:-}" ]; then
  echo "skipped: needs the Linux build's tarnwick-boxsim ($boxsim) and scripts/test-windows' COM1 link"
  [ $fail = 0 ] && exit 77
  exit 1
fi
"$boxsim" --unpaced --disk "$work/disk" >"$work/box.out" 2>"$work/box.err" &
linux_box=$!
pids+=($linux_box)
await_line "$work/box.out"
ln -sfn "$(head -n 1 "$work/box.out")" "$TARNWICK_WINE_COM1"

status=0
cli_on_com1 program-download "$image" || status=$?
expect "Program Download through COM1" 0 $status "Download Complete!!!"

head -c 6000 /dev/urandom >"$work/memory.bin"
status=0
cli_on_com1 download --mode sdram --start 0x00200000 "$(winepath -w "$work/memory.bin")" || status=$?
expect "SDRAM download through COM1" 0 $status "Download Complete!!!"
back=$(winepath -w "$work/back.bin")
status=0
cli_on_com1 upload --mode sdram --start 0x00200000 --size 6000 --output "$back" || status=$?
expect "SDRAM upload through COM1" 0 $status "" "Uploaded 6000 bytes of SDRAM from 0x00200000 into $back"
if ! cmp -s "$work/memory.bin" "$work/back.bin"; then
  echo "FAILED: the uploaded SDRAM differs from what was downloaded"
  fail=1
fi

# Both ends Windows programs: tarnwick-boxsim.exe on COM2, the pair's other end COM1.
{ kill "$linux_box" && wait "$linux_box"; } 2>/dev/null || true
socat pty,raw,echo=0,link="$work/pc" pty,raw,echo=0,link="$work/box" </dev/null >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -e "$work/pc" ] && [ -e "$work/box" ] && break
  sleep 0.1 # socat makes the links once both terminals exist
done
ln -sfn "$(readlink "$work/pc")" "$TARNWICK_WINE_COM1"
ln -sfn "$(readlink "$work/box")" "$TARNWICK_WINE_COM2"
start_windows_box --device COM2
status=0
cli_on_com1 program-download "$image" || status=$?
expect "Program Download through COM1 into tarnwick-boxsim.exe on COM2" 0 $status "Download Complete!!!"
exit $fail
