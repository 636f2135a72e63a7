#!/usr/bin/env bash
# clang-tidy over the C++ files a change touches, with the bugprone-* and clang-analyzer-* checks of
# .clang-tidy as errors. The change is everything since BASE (default: the commit before HEAD) plus what is not
# committed yet:   scripts/lint.sh [BASE [PATH...]]   (PATHs limit it to those folders or files)
# Needs a configured build folder (build/compile_commands.json): run scripts/setup.sh first.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

base="${1:-HEAD~1}"
[ $# -gt 0 ] && shift
paths=("$@")
if ! command -v clang-tidy >/dev/null 2>&1; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang-tidy >/dev/null
fi
[ -f build/compile_commands.json ] || { echo "lint: no build/compile_commands.json: run scripts/setup.sh demo first" >&2; exit 2; }

# Headers are checked through the sources that include them; only files the build compiles
# have the flags clang-tidy needs.
mapfile -t files < <( { git diff --name-only "$base" -- "${paths[@]}"; git diff --name-only -- "${paths[@]}"; } | sort -u | grep -E '\.cpp$' |
                      while read -r f; do [ -f "$f" ] && grep -q "\"file\": \"$PWD/$f\"" build/compile_commands.json && echo "$f"; done)
if [ "${#files[@]}" -eq 0 ]; then
  echo "lint: no compiled C++ file changed since $base"
  exit 0
fi
echo "lint: clang-tidy on ${#files[@]} files changed since $base"
# The checks are .clang-tidy's. Qt's generated code and third-party headers are not ours to fix.
clang-tidy -p build --quiet \
  --header-filter="^$PWD/(apps|motif|host|emulator)/" "${files[@]}"
