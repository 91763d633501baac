#!/bin/sh
# Makes the two short sounds of the example site (site/audio/) (Debian: sox, lame, vorbis-tools).
set -eu
cd "$(dirname "$0")/site/audio"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# A falling two-tone horn and a bell-like ping, half a second each.
sox -n -r 8000 -c 1 -b 16 "$tmp/horn.wav" synth 0.5 sine 440-330 fade 0 0.5 0.1 vol 0.5
sox -n -r 8000 -c 1 -b 16 "$tmp/bell.wav" synth 0.5 pluck 880 fade 0 0.5 0.3 vol 0.5
lame --quiet -b 8 --resample 8 --tt "Blackmere blast horn" --ta "Harrowfell Quarry Heritage Society" \
  --tl "Sounds of the quarries" --ty 1979 --tc "Three blasts were sounded before every shot" \
  "$tmp/horn.wav" blast-horn.mp3
oggenc --quiet -q 0 -t "Harrowfell quarry bell" -a "Harrowfell Quarry Heritage Society" \
  -l "Sounds of the quarries" -d 1961 -c "DESCRIPTION=The bell that ended each shift" \
  -o quarry-bell.ogg "$tmp/bell.wav"
