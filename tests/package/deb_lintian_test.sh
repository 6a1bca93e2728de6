#!/usr/bin/env bash
# deb_lintian_test.sh OUT_DIR: lintian finds no error in the package; its errors and warnings are shown.
source "$(dirname "$0")/package_test_support.sh"

status=0
report=$(lintian --fail-on error "$deb" 2>&1) || status=$?
grep -E '^[EW]:' <<< "$report" || true
check "lintian reports no error" test "$status" -eq 0
finish
