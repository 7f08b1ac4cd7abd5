#!/bin/sh
# make_short_clips.sh DIR: 24 short 72 x 72 clips 01.avi to 24.avi, one plain
# colour each, in Microsoft Video 1, which Wine's AVI player decodes.
set -e
mkdir -p "$1"
for n in $(seq 1 24); do
  ffmpeg -hide_banner -loglevel error -y -f lavfi \
    -i "color=c=$(printf '0x%02x%02x%02x' $((n * 10)) $((255 - n * 10)) $((n * 37 % 256))):size=72x72:rate=10:duration=0.4" \
    -c:v msvideo1 -pix_fmt rgb555le "$1/$(printf %02d "$n").avi"
done
