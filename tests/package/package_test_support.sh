# Sourced by the package tests: the unpacked package, a scratch folder, and checks that count failures.
set -euo pipefail
out=$1
debs=("$out"/*.deb)
deb=${debs[0]}
root=$out/root
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# check DESCRIPTION COMMAND...: runs the command, and reports it with its output when it fails.
check() {
  local description=$1 output
  shift
  if output=$("$@" 2>&1); then
    echo "ok: $description"
  else
    echo "FAILED: $description"
    echo "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
}

finish() {
  [[ $failures -eq 0 ]] || { echo "$failures check(s) failed"; exit 1; }
}

# The unpacked program, with nothing of the build tree on PATH.
packaged() { env PATH=/usr/bin:/bin "$root/usr/bin/$1" "${@:2}"; }

# prints_line TEXT COMMAND...: the command succeeds and prints TEXT as a whole line on stdout.
prints_line() {
  local text=$1 output
  shift
  output=$("$@" 2>/dev/null) || { echo "exit status $? with output:"; echo "$output"; return 1; }
  grep -qxF -- "$text" <<< "$output" || { echo "no line \"$text\" in:"; echo "$output"; return 1; }
}
