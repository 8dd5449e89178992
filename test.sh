#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds brellam for Linux and for Windows,
# and runs every test: the Windows ones under Wine, on a virtual display.
set -euo pipefail
cd "$(dirname "$0")"

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Debian packages the builds and the tests need, installed only when missing.
# clang and its runtimes build the fuzzers and check the Windows sources;
# unshare and mount give the file-system fault tests a private mount
# namespace; desktop-file-utils and GLib's gio (libglib2.0-bin) check the
# install as the desktop reads it, python3 that the icons are their drawing;
# MinGW-w64, Wine and Xvfb build and run the Windows program, zip packs it.
packages=(cmake g++ make libgtest-dev libbenchmark-dev libc6-dev clang libclang-rt-14-dev util-linux mount
          desktop-file-utils libglib2.0-bin python3 mingw-w64 wine wine64 xvfb locales zip)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing ${missing[*]}"
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
    "${missing[@]}"
fi
# Wine takes its ANSI code page from the Unix locale: ja_JP gives 932.
if ! locale -a | grep -qi '^ja_JP\.utf-\?8$'; then
  as_root localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

# Each build configures, builds and (where it has tests) tests as its
# workflow preset says, on every core.
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"

# The benchmarks are only built here, so that they keep building; running
# them is bench/compare-with-cp.py's job (see docs/performance.md).
echo "== benchmarks build"
cmake --workflow --preset bench

echo "== Linux build and tests"
cmake --workflow --preset linux

echo "== The same tests under ASan and UBSan"
cmake --workflow --preset asan

echo "== Fuzzers, ${FUZZ_SECONDS:-60} s each"
cmake --workflow --preset fuzz
fuzz/run-fuzzers.sh "${FUZZ_SECONDS:-60}"

echo "== Windows build, and tests under Wine"
cmake --workflow --preset windows
scratch="$(mktemp -d /tmp/brellam-test.XXXXXX)"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  WINEPREFIX="$scratch/wine" wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

echo "== clang for MinGW-w64 over every Windows source, warnings as errors"
cmake -DBUILD_DIR=build/windows -DJOBS="$(nproc)" -P cmake/clang-mingw-check.cmake

# A second build from a copy of the sources, elsewhere, must give the same
# bytes: what people who check a download against its source will do.
echo "== The release, built twice"
cmake --build --preset windows --target release
(cd build/windows && sha256sum -c SHA256SUMS)
copy="$scratch/source"
mkdir -p "$copy"
cp -R CMakeLists.txt CMakePresets.json LICENSE README.md cmake res src "$copy"
epoch="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}"
(cd "$copy" && if [ -n "$epoch" ]; then export SOURCE_DATE_EPOCH="$epoch"; fi &&
  cmake --preset windows -DBUILD_TESTING=OFF >/dev/null &&
  cmake --build --preset windows -j "$(nproc)" --target release >/dev/null)
while read -r _ file; do
  cmp "build/windows/$file" "$copy/build/windows/$file"
done <build/windows/SHA256SUMS
ls -l build/windows/brellam.exe build/windows/brellam-*-win64.zip
cat build/windows/SHA256SUMS
DISPLAY="$display" WINEPREFIX="$scratch/wine" ctest --preset windows
