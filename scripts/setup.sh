#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to a working librarian:
#   scripts/setup.sh demo   install what is missing, build, back up the virtual instrument's user memory
#   scripts/setup.sh test   install what is missing, build, run the whole test suite (also under sanitizers)
# Safe to run again: installed packages are skipped and builds are incremental.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

mode="${1:-demo}"
case "$mode" in
  demo|test) ;;
  *) echo "usage: scripts/setup.sh [demo|test]" >&2; exit 2 ;;
esac

packages=(cmake ninja-build g++ pkg-config clang libclang-rt-14-dev qt6-base-dev googletest libgtest-dev
          libgmock-dev libbenchmark-dev librtmidi-dev libasound2-dev jackd2 libjack-jackd2-dev libsndfile1-dev
          libinstpatch-dev librtaudio-dev libcli11-dev clang-format python3 xvfb xauth)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

jobs="$(nproc)"
build() { # dir, cmake options... [--target T]
  local dir="$1"; shift
  local options=() target=()
  while [ $# -gt 0 ]; do
    if [ "$1" = --target ]; then target=(--target "$2"); shift 2; else options+=("$1"); shift; fi
  done
  cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs" "${target[@]}"
}

# ccache, where a developer installed it, makes rebuilds across branches and clones cheap.
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

if [ "$mode" = demo ]; then
  # The main job needs only the command line and its libraries: no tests, benchmarks or fuzzers
  # are compiled, so a newcomer sees the backup sooner. A full build later reuses these objects.
  build build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" --target motif_cli
  # A full backup of the built-in virtual instrument, then what was saved.
  exec build/bin/motif backup build/virtual-backup
fi

# The tree stays formatted and the generated data stays in step with its generators.
bash scripts/check.sh

build build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"

# Tests over real MIDI ports need a JACK server; the script starts one only if none runs, and
# only a server started here is stopped at the end.
jack_pidfile=/tmp/motif-es-jackd.pid
if ! JACK_NO_START_SERVER=1 jack_lsp >/dev/null 2>&1; then
  rm -f "$jack_pidfile"
  bash scripts/start-jack.sh
  [ -f "$jack_pidfile" ] && trap 'bash scripts/stop-jack.sh' EXIT
else
  echo "JACK server runs (already running)."
fi

ctest --test-dir build --output-on-failure -j "$jobs"

echo "setup: sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer, libstdc++ assertions)"
build build-asan -DCMAKE_BUILD_TYPE=Debug -DMOTIF_SANITIZE=ON -DMOTIF_BENCH=OFF "${launcher[@]}"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
