#!/usr/bin/env bash
# Builds the demo game directory from the sources in demo/src: script tables are written
# in UTF-8 with LF line ends for editing and stored in CP932 with CR LF, as games ship them.
# An existing config.ini is kept: the player writes the user's settings back into it. The
# saves go to the game's "Save" folder, which the player does not create.
set -euo pipefail
src="$(cd "$(dirname "$0")" && pwd)/src"
out="${1:?usage: make_game.sh OUTPUT_DIR}"
mkdir -p "$out/Save"
rm -f "$out/ErrorLog.txt" "$out/Err.log"
for file in "$src"/*; do
  name="$(basename "$file")"
  if [[ "$name" == config.ini && -e "$out/$name" ]]; then continue; fi
  case "$name" in
    *.eve|*.txt|*.ini|*.spr|*.tbl)
      iconv -f UTF-8 -t CP932 "$file" | sed 's/$/\r/' > "$out/$name.tmp"
      mv "$out/$name.tmp" "$out/$name"
      ;;
    *) cp "$file" "$out/$name" ;;
  esac
done
bash "$(dirname "$0")/make_images.sh" "$out"
bash "$(dirname "$0")/make_sounds.sh" "$out"
bash "$(dirname "$0")/make_film.sh" "$out"
