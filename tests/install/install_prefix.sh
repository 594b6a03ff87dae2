#!/usr/bin/env bash
# A fresh install into PREFIX, for the other install.* checks.
#   install_prefix.sh CMAKE BUILD-DIR PREFIX
set -eu
cmake=$1 build=$2 prefix=$3
rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
echo "PASS: installed into $prefix"
