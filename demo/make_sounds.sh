#!/usr/bin/env bash
# Makes the demo's sound effects with sox: a short click played when an option changes.
set -euo pipefail
out="${1:?usage: make_sounds.sh OUTPUT_DIR}"
sox -q -n -r 22050 -c 1 -b 16 "$out/click.wav" synth 0.08 sine 1320 fade q 0.005 0.08 0.04 vol 0.9
