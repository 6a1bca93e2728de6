#!/usr/bin/env bash
# deb_lintian_test.sh OUT_DIR: lintian finds no error and no warning in the package.
source "$(dirname "$0")/package_test_support.sh"

check "lintian reports no error or warning" lintian --fail-on error,warning "$deb"
finish
