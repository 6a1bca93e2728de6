#!/usr/bin/env bash
# deb_converter_test.sh OUT_DIR: the unpacked tarnwick-cli finds the photo converter in the package's own
# libexec folder, with nothing of the build tree on PATH or in the current folder.
source "$(dirname "$0")/package_test_support.sh"

convert -size 64x48 gradient:orange-navy "$scratch/photo.jpg"
cd "$scratch"
check "a photo goes to the simulated box through the packaged converter" \
  prints_line "Write Complete!!!" packaged tarnwick-cli --port sim send-media photo.jpg
finish
