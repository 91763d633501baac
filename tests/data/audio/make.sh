#!/bin/sh
# Makes the audio fixtures of the decoding tests with Debian's encoders and tag
# writers, and records in expected.txt what ffprobe says of each file, so that
# the tests compare the readers against an independent decoder without needing
# these tools themselves.
#
# Needs: sox, lame, ffmpeg (ffmpeg, ffprobe), vorbis-tools (oggenc,
# vorbiscomment), id3v2, eyed3, python3. The tag texts written here are the
# ones the tests expect.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Short mono tones, repeatable (-R), 16-bit PCM.
tone() { sox -R -n -b 16 -e signed-integer -c 1 -r "$1" "$work/$2" synth "$3" sine "$4" gain -6; }
tone 32000 t32.wav 1.5 440
tone 16000 t16.wav 3 330
tone 8000 t8.wav 4 220

# A picture larger than a reader's first block, as cover art is; zeros keep
# the repository small.
python3 -c "import sys; sys.stdout.buffer.write(b'\xff\xd8\xff\xe0' + bytes(48000) + b'\xff\xd9')" \
  > "$work/cover.jpg"

# MPEG-1 layer 3, constant bit rate (LAME's "Info" frame, which is no Xing
# header), with an ID3v2.3 tag and an ID3v1.1 tag whose blank fields the
# version 2 texts fill.
lame --quiet --resample 32 -b 32 -m m "$work/t32.wav" cbr_mpeg1.mp3
id3v2 -2 --TIT2 "A Longer Title From Version Two" --TPE1 "V2 Artist" --TALB "V2 Album" \
  --TYER 1999 --COMM "v2 comment" --TCON "(17)" --TRCK 5 --TCOM "The Composer" \
  --TENC "The Encoder" cbr_mpeg1.mp3
id3v2 -1 -t "Short" -A "V1 Album" -y 2001 -T 3 -g 17 cbr_mpeg1.mp3

# MPEG-1 layer 3, variable bit rate with a Xing header, no tags.
lame --quiet --resample 32 -V 9 -m m "$work/t32.wav" vbr_mpeg1.mp3

# MPEG-2 layer 3 (576 samples a frame), variable bit rate with a Xing header,
# and only an ID3v2 tag.
lame --quiet --resample 16 -V 9 -m m "$work/t16.wav" vbr_mpeg2.mp3
id3v2 -2 -t "Only Version Two" -a "Nobody" vbr_mpeg2.mp3

# MPEG-2.5 layer 3 at 8 kbit/s with an ID3v1.0 tag whose comment fills all 30
# bytes (so no track).
lame --quiet --resample 8 -b 8 -m m "$work/t8.wav" cbr_mpeg25.mp3
eyeD3 -Q --to-v1.1 -t "V1 Title" -a "V1 Artist" -G Jazz -c "This comment is exactly thirty" \
  cbr_mpeg25.mp3 > /dev/null

# MPEG-1 layer 2, no tags.
ffmpeg -loglevel error -y -i "$work/t32.wav" -c:a mp2 -b:a 32k -f mp2 layer2.mp2

# The Xing stream behind an ID3v2.4 tag larger than the first block (its text
# frames follow the picture), with an ID3v1.1 tag.
cp vbr_mpeg1.mp3 big_picture.mp3
eyeD3 -Q --to-v2.4 -t "Picture Title" -A "Picture Album" --add-image "$work/cover.jpg:FRONT_COVER" \
  big_picture.mp3 > /dev/null
eyeD3 -Q -1 -t "Cover Song" -a "Painter" -n 9 big_picture.mp3 > /dev/null

# Ogg Vorbis at 8 kHz, comments in a known order, ENCODER= last.
oggenc -Q -q -1 --serial 1234 -o "$work/t8.ogg" "$work/t8.wav"
cp "$work/t8.ogg" tags.ogg
vorbiscomment -w -t "TITLE=Ogg Title" -t "ARTIST=Ogg Artist" -t "ALBUM=Ogg Album" \
  -t "DATE=2004" -t "TRACKNUMBER=7" -t "GENRE=Jazz" -t "COMMENT=first comment" \
  -t "PERFORMER=The Performer" -t "COPYRIGHT=Free" -t "CONTACT=http://example.org/" \
  -t "ENCODER=x" tags.ogg

# A comment page that runs past the first block, its packet still whole.
padding=$(python3 -c "print('PADDING=' + 'p' * 50000)")
cp "$work/t8.ogg" long_comment.ogg
vorbiscomment -w -t "$padding" -t "TITLE=Long Page Title" -t "COMMENT=after padding" \
  long_comment.ogg

# A comment packet too large for one page (a picture among the comments).
picture=$(python3 -c "print('METADATA_BLOCK_PICTURE=' + 'A' * 70000)")
cp "$work/t8.ogg" big_picture.ogg
vorbiscomment -w -t "TITLE=Picture Title" -t "$picture" big_picture.ogg

# What an independent decoder says of each file.
{
  echo "# file codec sample_rate channels bit_rate duration size (made by make.sh from ffprobe)"
  for f in cbr_mpeg1.mp3 vbr_mpeg1.mp3 vbr_mpeg2.mp3 cbr_mpeg25.mp3 layer2.mp2 \
           big_picture.mp3 tags.ogg long_comment.ogg big_picture.ogg; do
    probe=$(ffprobe -v error -select_streams a:0 \
      -show_entries stream=codec_name,sample_rate,channels,bit_rate:format=duration \
      -of default=noprint_wrappers=1 "$f" 2>/dev/null | tr '\n' ' ')
    echo "$f $probe size=$(stat -c %s "$f")"
  done
} > expected.txt
