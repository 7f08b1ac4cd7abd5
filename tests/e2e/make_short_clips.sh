#!/bin/sh
# make_short_clips.sh DIR: 24 half-second 72 x 72 clips 01.avi to 24.avi in
# DIR, one plain colour each, in Microsoft Video 1, which Wine's AVI player
# decodes.  They keep the clip sequence quick to watch in tests.
set -e
mkdir -p "$1"
for n in $(seq 1 24); do
  name=$(printf '%02d' "$n")
  colour=$(printf '0x%02x%02x%02x' $((n * 10)) $((255 - n * 10)) $((n * 37 % 256)))
  ffmpeg -hide_banner -loglevel error -y -f lavfi \
    -i "color=c=$colour:size=72x72:rate=10:duration=0.5" \
    -c:v msvideo1 -pix_fmt rgb555le "$1/$name.avi"
done
