#!/usr/bin/env bash
# build_package.sh BUILD_DIR OUT_DIR: builds the .deb from the build tree into OUT_DIR and unpacks it into
# OUT_DIR/root, for the package tests.
set -euo pipefail
build=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
if ! cpack --config "$build/CPackConfig.cmake" -B "$out" > "$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  exit 1
fi
debs=("$out"/*.deb)
dpkg-deb -x "${debs[0]}" "$out/root"
echo "built and unpacked ${debs[0]}"
