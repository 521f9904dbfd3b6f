#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what the project's .clang-format
# makes of it, and lists the places. `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --style=file --dry-run -Werror
echo "format: every C++ file matches .clang-format"
