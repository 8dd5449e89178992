#!/usr/bin/env bash
# Converts the bundled example skin into a throwaway host folder and shows
# the skin folder that brellam made.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
exe="$here/build/linux/brellam"
if [ ! -x "$exe" ]; then
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target brellam -j "$(nproc)" >/dev/null
fi

play="$(mktemp -d /tmp/brellam-example.XXXXXX)"
mkdir -p "$play/Kyrlen" "$play/config/Kyrlen"
# Where the host program would have stored its install path.
printf '[Path]\nPath=%s\n' "$play/Kyrlen/kyrlen.exe" > "$play/config/Kyrlen/settings.ini"

XDG_CONFIG_HOME="$play/config" "$exe" "$here/examples/sakura.txt"

echo
echo "$play/Kyrlen/skin/sakura:"
ls -l "$play/Kyrlen/skin/sakura"
echo
echo "setting.skn (code page 932, shown in UTF-8):"
iconv -f CP932 -t UTF-8 "$play/Kyrlen/skin/sakura/setting.skn" | tr -d '\r'
