#!/bin/sh
# Runs brellam on the items selected in a file manager: GNOME Files and Caja
# run it from their Scripts menu, Nemo's action with --uris and the items'
# URIs. cmake --install wrote the program's path here.
#
# The items are taken as file URIs, which keep a line break or a % of a name
# escaped: GNOME Files' and Caja's list of paths cannot tell a line break in a
# name from the one between names, and the arguments they give have lost each
# % (they start a script through a command line in which % begins a field
# code); Nemo garbles a line break of a path it puts in a command line. Run by
# hand, it passes its arguments on.
program=@BRELLAM_SH_PROGRAM@

# Prints the name a URI's path stands for: each %XX is the byte XX.
unescape() {
  rest=$1
  while :; do
    case $rest in
      *%*) ;;
      *)
        printf %s "$rest"
        return
        ;;
    esac
    printf %s "${rest%%\%*}"
    rest=${rest#*%}
    case $rest in
      [0-9A-Fa-f][0-9A-Fa-f]*)
        byte=$((0x${rest%"${rest#??}"}))
        printf "\\$((byte >> 6))$((byte >> 3 & 7))$((byte & 7))"
        rest=${rest#??}
        ;;
      *) printf %% ;;
    esac
  done
}

if [ "${1-}" = --uris ]; then
  shift
  uris=$(printf '%s\n' "$@")
else
  uris=${NAUTILUS_SCRIPT_SELECTED_URIS:-${CAJA_SCRIPT_SELECTED_URIS:-}}
fi
if [ -n "$uris" ]; then
  set --
  while IFS= read -r uri; do
    case $uri in
      file:///*)
        # The dot keeps a line break that ends the name.
        path=$(unescape "${uri#file://}" && echo .)
        set -- "$@" "${path%.}"
        ;;
      # Not a local file: brellam says it cannot read it.
      ?*) set -- "$@" "$uri" ;;
    esac
  done <<EOF
$uris
EOF
fi
exec "$program" "$@"
