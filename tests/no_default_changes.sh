#!/usr/bin/env bash
# cmake --install into ~/.local (over the cache an earlier brellam left claiming text files and
# folders) and into a system prefix, then update-desktop-database, leave GLib's default programs
# for both as they were: a stand-in editor's for text/plain.   no_default_changes.sh BUILD WORK
set -euo pipefail
command -v gio >/dev/null || { echo "skipped: gio is missing (Debian package libglib2.0-bin)"; exit 0; }
rm -rf "$2" && apps=$2/usr/share/applications && cache=$2/home/.local/share/applications
mkdir -p "$apps" "$cache" && cache+=/mimeinfo.cache
export HOME=$2/home XDG_DATA_DIRS=$2/usr/local/share:$2/usr/share XDG_CONFIG_DIRS=$2/etc
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CURRENT_DESKTOP
printf '[Desktop Entry]\nType=Application\nName=E\nExec=true %%F\nMimeType=text/plain;\n' >"$apps/e.desktop"
update-desktop-database "$apps"
defaults() { gio mime text/plain && gio mime inode/directory; }; before=$(defaults)
printf '[MIME Cache]\ntext/plain=brellam.desktop;\ninode/directory=brellam.desktop;\n' >"$cache"
same() { [ "$(defaults)" = "$before" ] || { printf '%s:\n%s\n' "$1" "$(defaults)"; exit 1; }; }
for prefix in "$HOME/.local" "$2/usr/local"; do
  cmake --install "$1" --prefix "$prefix" >/dev/null; same "$prefix, installed"
  update-desktop-database "$prefix/share/applications"; same "$prefix, update-desktop-database"
done
