#!/usr/bin/env bash
# Every way a file manager starts the installed brellam (a stand-in recording its arguments) gives
# it each selected path as one argument: the application entry as GLib runs it, the Dolphin and
# Nemo actions as KIO and Nemo expand them, the script as GNOME Files and Caja run it (arguments
# without their %, URIs in the environment), and by hand.   file_manager_actions.sh BUILD WORK
set -euo pipefail
command -v gio >/dev/null || { echo "skipped: gio is missing (Debian package libglib2.0-bin)"; exit 0; }
work=$2 && rm -rf "$work" && mkdir -p "$work/sel/folder"
export HOME="$work/a b\$c\"d\`e'f;g" RECORD=$work/record
unset XDG_DATA_HOME XDG_CONFIG_HOME DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
cmake --install "$1" --prefix "$HOME/.local" >/dev/null && share=$HOME/.local/share
printf '#!/bin/sh\nprintf "%%s\\0" "$@" >"$RECORD~"; mv "$RECORD~" "$RECORD"\n' >"$share/../bin/brellam"
names=(folder "a b" "it's \"q\"" '$x `y`;*' $'line\nbreak\t' 50%b.txt '#~-' 'back\' 日本.txt)
for name in "${names[@]}"; do paths+=("$work/sel/$name") && touch "${paths[-1]}"; done
for path in "${paths[@]}"; do uris+=("$(gio info "$path" | sed -n 's/^uri: //p')"); done
given() {
  for _ in {1..50}; do [ -e "$RECORD" ] && break || sleep 0.1; done
  cmp -s "$RECORD" <(printf '%s\0' "${paths[@]}") || { echo "$1 gave:"; tr '\0' '\n' <"$RECORD"; exit 1; }
  rm "$RECORD"
}
value_of() { # key $3 in group $2 of key file $1, still escaped
  awk -v g="[$2]" -v k="$3=" '!/^(#.*|\[[^][]+\]|[A-Za-z0-9-]+(\[[^]]+\])?=.*)?$/ { exit 1 } /^\[/ { in_g = $0 == g }
    in_g && index($0, k) == 1 { print substr($0, length(k) + 1) }' "$1" || { echo "$1: not a key file" >&2; exit 1; }
}
gio launch "$share/applications/brellam.desktop" "${paths[@]}"; given "The application entry"
dolphin=$(value_of "$share/kio/servicemenus/brellam.desktop" "Desktop Action brellam" Exec)
for p in "${paths[@]}"; do quoted+=" '${p//"'"/"'\\''"}'"; done # KIO's %F, for a shell
dolphin=${dolphin//\\\\/\\} && sh -c "exec ${dolphin/\%F/"$quoted"}"; given "The Dolphin service menu"
action=$share/nemo/actions/brellam.nemo_action && quote=$(value_of "$action" "Nemo Action" Quote)
quote=${quote/double/\"} && quote=${quote/single/\'}
for u in "${uris[@]}"; do nemo+=" $quote$u$quote"; done
exec=$(value_of "$action" "Nemo Action" Exec) && exec=${exec/\%U/"${nemo//[%]/%%}"} # Nemo's %U
printf '[Desktop Entry]\nType=Application\nName=Nemo\nExec=%s\n' "$exec" >"$work/t.desktop"
gio launch "$work/t.desktop"; given "The Nemo action" # GLib parses the line as Nemo does
for script in NAUTILUS:"$share/nautilus/scripts/brellam" CAJA:"$HOME/.config/caja/scripts/brellam"; do
  selected="${script%%:*}_SCRIPT_SELECTED_URIS=$(printf '%s\n' "${uris[@]}")"
  (cd "$work/sel" && env "$selected" "${script#*:}" "${names[@]//[%]?/}"); given "The ${script%%:*} script"
  "${script#*:}" "${paths[@]}"; given "The script run by hand"
done
