#!/usr/bin/env bash
# Sets everything up, builds and starts the KR44 Controller. Arguments go to the application.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKR44_BUILD_TESTS=OFF -DKR44_BUILD_BENCH=OFF >/dev/null
cmake --build build --target kr44
# The virtual unit lets a new user run the example program at once; Options > COM port
# switches to a real unit.
exec build/src/app/kr44 --virtual-unit --first-start "$PWD/examples/axis-demo.krp" "$@"
