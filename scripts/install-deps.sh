#!/usr/bin/env bash
# Installs the Debian packages avgplayer needs to build, test and benchmark.
# Idempotent: asks dpkg first and runs apt-get only for what is missing.
set -euo pipefail

packages=(
  # build tools
  cmake ninja-build pkg-config g++ make
  # runtime libraries
  libsdl2-dev libsdl2-image-dev
  libavformat-dev libavcodec-dev libswresample-dev libswscale-dev libvorbis-dev
  libfreetype-dev libfontconfig-dev fonts-ipafont-gothic
  libasound2-dev
  # the game's text out: WebSocket server and speech
  libwebsockets-dev libspeechd-dev
  # tests, fuzzing and sanitizers
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth libxtst-dev clang libclang-rt-14-dev
  # the Wayland end-to-end test: a headless compositor
  weston
  # test and benchmark tools only
  ffmpeg sox imagemagick libpixman-1-dev lua5.4 python3 python3-websockets
  # the Debian package: dpkg-buildflags and lintian's check of it
  dpkg-dev lintian
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
