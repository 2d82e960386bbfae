#!/usr/bin/env bash
# Draws the demo's pictures with ImageMagick: PNG for opaque pictures, and the player's raw
# "cgd" format (a 20-byte header, then BGRA pixels) for pictures with an alpha channel.
set -euo pipefail
out="${1:?usage: make_images.sh OUTPUT_DIR}"

le32() {
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) \
    $((($1 >> 16) & 255)) $((($1 >> 24) & 255)))"
}

# cgd NAME WIDTH HEIGHT: converts the picture on stdin.
cgd() {
  { le32 0; le32 0; le32 $(($2 * $3 * 4)); le32 "$2"; le32 "$3"; convert - -depth 8 BGRA:-; } \
    > "$out/$1"
}

convert -size 640x480 gradient:'#1b2a4a'-'#c8d8f0' \
  -fill '#2d5a3a' -draw 'ellipse 160,540 320,160 0,360' \
  -fill '#3f7a4c' -draw 'ellipse 520,560 300,170 0,360' "$out/bg.png"

# Four walking poses of 160 × 240 side by side; the body bobs and the legs swing.
frames=()
for i in 0 1 2 3; do
  bob=$(((i % 2) * 6))
  swing=$((i == 1 ? 14 : (i == 3 ? -14 : 0)))
  convert -size 160x240 xc:none -fill '#30406a' \
    -draw "rectangle $((62 - swing)),170 $((76 - swing)),236" \
    -draw "rectangle $((84 + swing)),170 $((98 + swing)),236" \
    -fill '#d04848' -draw "roundrectangle 48,$((80 + bob)) 112,$((176 + bob)) 14,14" \
    -fill '#f2d0b0' -draw "circle 80,$((52 + bob)) 80,$((22 + bob))" \
    -fill '#402010' -draw "circle 70,$((48 + bob)) 70,$((44 + bob))" \
    -draw "circle 92,$((48 + bob)) 92,$((44 + bob))" "$out/pose$i.png"
  frames+=("$out/pose$i.png")
done
convert "${frames[@]}" +append png:- | cgd hero.cgd 640 240
rm -f "${frames[@]}"

convert -size 64x64 radial-gradient:'#fff0a0'-black "$out/spark.png"
convert -size 200x100 xc:none -fill white \
  -draw 'ellipse 60,60 50,36 0,360' -draw 'ellipse 120,48 60,40 0,360' \
  -draw 'ellipse 160,66 36,28 0,360' -blur 0x2 png:- | cgd cloud.cgd 200 100

# The save and load screen's panel: a dark, half-transparent box.
convert -size 600x162 xc:'rgba(16,24,48,0.8)' -fill none -stroke '#8090c0' \
  -draw 'rectangle 1,1 598,160' png:- | cgd panel.cgd 600 162
