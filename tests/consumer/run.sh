#!/usr/bin/env bash
# Installs the build tree into a scratch prefix, then configures, builds and runs the
# consumer project against it.   run.sh BUILD_DIR SOURCE_DIR WORK_DIR [CXX_FLAGS]
# (the flags of a sanitizer build, whose libraries need its runtime)
set -euo pipefail
build=$1 source=$2 work=$3 flags=${4:-}
rm -rf "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$source" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$work/build" >/dev/null
# Found at run time through the RUNPATH the installed package gives, not the build tree.
"$work/build/consumer"
