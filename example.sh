#!/usr/bin/env bash
# Converts the bundled example skin into a throwaway host folder and shows
# the skin folder that brellam made; then packs that folder back into one
# skin text and shows that the text converts into the very same pages.
# The throwaway folder is removed at the end, unless run as ./example.sh --keep.
set -euo pipefail
case "${1-}" in
  --keep) keep=yes ;;
  "") keep=no ;;
  *) echo "usage: ./example.sh [--keep]" >&2 && exit 2 ;;
esac
here="$(cd "$(dirname "$0")" && pwd)"
exe="$here/build/linux/brellam"
if [ ! -x "$exe" ]; then
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target brellam -j "$(nproc)" >/dev/null
fi

play="$(mktemp -d /tmp/brellam-example.XXXXXX)"
# Said last, however the run ends.
finish() {
  if [ "$keep" = yes ]; then
    echo "Kept the throwaway folder $play."
  else
    rm -rf "$play" && echo "Removed the throwaway folder $play (./example.sh --keep keeps it)."
  fi
}
trap finish EXIT
trap "exit 1" HUP INT TERM
mkdir -p "$play/Kyrlen" "$play/config/Kyrlen"
# Where the host program would have stored its install path.
printf '[Path]\nPath=%s\n' "$play/Kyrlen/kyrlen.exe" > "$play/config/Kyrlen/settings.ini"
export XDG_CONFIG_HOME="$play/config"

echo "== A skin text into a skin folder"
"$exe" "$here/examples/sakura.txt"
echo
echo "$play/Kyrlen/skin/sakura:"
ls -l "$play/Kyrlen/skin/sakura"
echo
echo "setting.skn (code page 932, shown in UTF-8):"
iconv -f CP932 -t UTF-8 "$play/Kyrlen/skin/sakura/setting.skn" | tr -d '\r'

echo
echo "== The skin folder back into one skin text"
"$exe" "$play/Kyrlen/skin/sakura"
echo
echo "Its first lines (shown in UTF-8):"
head -n 4 "$play/Kyrlen/skin/sakura.txt" | iconv -f CP932 -t UTF-8 | tr -d '\r'
echo
mv "$play/Kyrlen/skin/sakura.txt" "$play/sakura-again.txt"
"$exe" "$play/sakura-again.txt" >/dev/null
for page in Header.htm NewRes.htm Res.htm; do
  cmp "$play/Kyrlen/skin/sakura/$page" "$play/Kyrlen/skin/sakura-again/$page"
done
echo "Converted again: Header.htm, NewRes.htm and Res.htm are the same bytes as before."
