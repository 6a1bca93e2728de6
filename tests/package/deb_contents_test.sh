#!/usr/bin/env bash
# deb_contents_test.sh OUT_DIR: the unpacked .deb runs, and carries its desktop entry, icons, manual pages,
# completion and the dependencies its programs link against.
source "$(dirname "$0")/package_test_support.sh"

version=$(dpkg-deb -f "$deb" Version)
check "tarnwick-cli --version names the package's version" \
  prints_line "tarnwick-cli $version" packaged tarnwick-cli --version

head -c 100000 /dev/urandom | gzip -6 > "$scratch/program.gz"
check "Program Download into the simulated box" \
  prints_line "Download Complete!!!" packaged tarnwick-cli --port sim program-download "$scratch/program.gz"

entry=$root/usr/share/applications/tarnwick.desktop
check "the desktop entry validates" desktop-file-validate "$entry"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
icon=$(sed -n 's/^Icon=//p' "$entry")
check "the desktop entry starts a packaged program" test -x "$root/usr/bin/$exec_program"
for size in 16x16 32x32; do
  check "the $size icon is $size" \
    prints_line "$size" identify -format '%wx%h\n' "$root/usr/share/icons/hicolor/$size/apps/$icon.png"
done
check "the scalable icon is there" test -s "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg"

# Renders without a warning, and the page's name is the program's.
man_renders() {
  local page=$root/usr/share/man/man1/$1.1.gz warnings
  warnings=$(LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 > /dev/null)
  [[ -z $warnings ]] || { echo "$warnings"; return 1; }
  grep -qE "^ +$1 " <<< "$(LC_ALL=C.UTF-8 man -l "$page" 2> /dev/null)"
}
for program in tarnwick tarnwick-cli tarnwick-boxsim; do
  check "man $program renders" man_renders "$program"
done

# Completes as bash would, with the packaged completion and program.
complete_line() {
  PATH=$root/usr/bin:/usr/bin:/bin bash -c 'source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _tarnwick_cli; printf "%s\n" "${COMPREPLY[@]}"' \
    complete "$root/usr/share/bash-completion/completions/tarnwick-cli" tarnwick-cli "$@"
}
offers() {
  local expected=$1
  shift
  local offered
  offered=$(complete_line "$@")  # not piped into grep -q: its early exit would fail the pipeline
  grep -qxF -- "$expected" <<< "$offered" || { echo "offered:"; echo "$offered"; return 1; }
}
check "completion offers the commands" offers program-download ""
check "completion offers a command's options" offers --output upload --
check "completion offers the simulated box as a port" offers sim --port ""
check "completion offers the modes of a download" offers gzip_program --port 2 download --mode ""
only_existing_devices() {
  local device
  for device in $(complete_line --port /dev/); do
    test -e "$device" || { echo "offered $device, which does not exist"; return 1; }
  done
}
check "completion offers only devices that exist" only_existing_devices

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libavcodec; do
  check "the package depends on $library" grep -q "$library" <<< "$depends"
done
check "the photo converter is in the package's libexec folder" test -x "$root/usr/libexec/tarnwick/PIXVANE.EXE"
finish
