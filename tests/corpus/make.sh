#!/bin/sh
# Makes the files that the native tests compare with giflib and ImageMagick
# and the fuzzer starts from; the seed-* files are made by hand.  Run here.
set -e
C=/usr/bin/convert
$C rose: rose.gif
$C rose: -interlace GIF rose_interlaced.gif
$C -size 37x23 plasma:fractal -colors 4 odd_4colours.gif
$C -size 61x1 gradient:red-blue -colors 2 line_2colours.gif
$C -size 1x59 gradient: -colors 16 column_16colours.gif
$C -size 129x97 plasma:fractal -colors 64 plasma_64.gif
$C -size 200x150 plasma:fractal plasma_256.gif
$C -size 113x77 plasma:fractal -interlace GIF plasma_interlaced.gif
$C -size 40x30 xc:red xc:green xc:blue -loop 0 -set delay 20 animated.gif
$C rose: \( rose: -colors 8 \) +map -delay 5 animated_local.gif
$C logo: -resize 300x -colors 32 logo_32.gif
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=96x64:rate=5 -frames:v 3 ffmpeg_testsrc.gif
ffmpeg -loglevel error -y -f lavfi -i mandelbrot=size=77x55 -frames:v 2 ffmpeg_mandelbrot.gif
$C rose: -colors 16 BMP3:rose_4bit.bmp
$C -size 37x23 plasma:fractal -colors 5 BMP3:odd_4bit.bmp
$C rose: -colors 200 -compress None BMP3:rose_8bit.bmp
$C -size 37x23 plasma:fractal -colors 100 -compress None BMP3:odd_8bit.bmp
$C rose: -colors 200 -compress RLE BMP3:rose_rle8.bmp
$C rose: -type TrueColor BMP3:rose_24bit.bmp
$C -size 37x23 plasma:fractal -type TrueColor BMP3:odd_24bit.bmp
$C rose: BMP2:refused_core.bmp
$C rose: refused_v5.bmp
$C rose: -define bmp:subtype=RGB555 BMP3:refused_masks.bmp
