#!/usr/bin/env bash
# Checks the house style: clang-format on every C++ file, clang-tidy on src/. Fails on any finding.
#   scripts/style.sh [BUILD_DIR]   (default build; it needs the build's compile_commands.json)
# To apply the formatting instead of checking it:
#   git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

# run-clang-tidy prints every finding but does not fail on them in every version: count them.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
run-clang-tidy -quiet -j "$(nproc)" -p "$build" "^$(pwd)/src/.*\.cpp$" >"$log" 2>&1 || true
if grep -E '(warning|error): ' "$log"; then
    echo "clang-tidy: findings above" >&2
    exit 1
fi
