#!/usr/bin/env bash
# Regenerates the seeds of the block decoder and archive index fuzzers with avgpack: a few
# small blocks of every mode and two small archives. The other targets' seeds are
# checked in. Usage: fuzz/make_corpus.sh BUILD_DIR (a build holding avgpack).
set -euo pipefail
avgpack="$(realpath "$1")/avgpack"
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/game/scene"
printf 'MESS,ADD_,%%s__hello\r\nWAIT,%%n__30\r\nMESS,ADD_,%%s__hello\r\nWAIT,%%n__30\r\n' > "$work/game/scene/start.eve"
printf 'short' > "$work/game/short.txt"
head -c 600 /dev/zero > "$work/game/zeros.bin"
for mode in 1 2 3; do
  "$avgpack" pack "$work/game/scene/start.eve" "corpus/block_decoder/text-mode$mode" --mode "$mode"
done
"$avgpack" pack "$work/game/zeros.bin" corpus/block_decoder/zeros --mode 3
"$avgpack" pack "$work/game/short.txt" corpus/block_decoder/short
"$avgpack" create corpus/archive_index/compressed.arc "$work/game"
"$avgpack" create corpus/archive_index/stored.arc --mode 1 "$work/game"
