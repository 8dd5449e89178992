#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds brellam and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Debian packages the build and the tests need, installed only when missing.
# clang and its runtimes build the fuzzers; unshare and mount give the
# file-system fault tests a private mount namespace.
packages=(cmake g++ make libgtest-dev libc6-dev clang libclang-rt-14-dev util-linux mount)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing ${missing[*]}"
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

echo "== Linux build and tests"
cmake --preset linux
cmake --build --preset linux -j "$(nproc)"
ctest --preset linux

echo "== The same tests under ASan and UBSan"
cmake --preset asan
cmake --build --preset asan -j "$(nproc)"
ctest --preset asan

echo "== Fuzzers, ${FUZZ_SECONDS:-60} s each"
cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)"
fuzz/run-fuzzers.sh "${FUZZ_SECONDS:-60}"
