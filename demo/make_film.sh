#!/usr/bin/env bash
# Makes the demo's opening film with the ffmpeg tool: 3.5 s of a drifting blue gradient with
# the title fading in over a soft chord, as MPEG-4 Part 2 with Microsoft ADPCM sound in AVI.
# The player leaves out the last second, so the chord has faded out by then.
set -euo pipefail
out="${1:?usage: make_film.sh OUTPUT_DIR}"
font=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
title=""
if [[ -e "$font" ]]; then
  title=",drawtext=fontfile=$font:text=avgplayer:fontsize=64:fontcolor=white"
  title+=":x=(w-tw)/2:y=(h-th)/2:alpha='min(1,t/1.5)'"
fi
ffmpeg -nostdin -y -loglevel error \
  -f lavfi -i "gradients=s=640x480:d=3.5:speed=0.03:c0=0x102040:c1=0x6080c0:c2=0x203060:n=3$title" \
  -f lavfi -i "aevalsrc='0.2*sin(2*PI*220*t)+0.15*sin(2*PI*330*t)+0.1*sin(2*PI*440*t)':s=44100:d=3.5" \
  -af "afade=t=in:d=0.5,afade=t=out:st=2:d=0.5" -ac 2 \
  -c:v mpeg4 -q:v 5 -c:a adpcm_ms -shortest "$out/opening.avi"
