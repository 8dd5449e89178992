#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds brellam and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Debian packages the build and the tests need, installed only when missing.
packages=(cmake g++ make libgtest-dev libc6-dev libbenchmark-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing ${missing[*]}"
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

# The benchmarks are only built here, so that they keep building; running
# them is bench/compare-with-cp.py's job (see docs/performance.md).
echo "== benchmarks build"
cmake --preset bench
cmake --build --preset bench -j "$(nproc)"

echo "== Linux build and tests"
cmake --preset linux
cmake --build --preset linux -j "$(nproc)"
ctest --preset linux
