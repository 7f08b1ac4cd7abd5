// gif_bench FILE...: decodes each GIF file with the GIF reader and with
// giflib, several times each, and prints the throughput in MB of pixels per
// second and their ratio.
#include <gif_lib.h>
#include <stdio.h>
#include <time.h>

#include "gif/gif_reader.h"

static double seconds()
{
    struct timespec now;

    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

int main(int argc, char **argv)
{
    const int rounds = 10;

    for (int a = 1; a < argc; a++) {
        double start, ours, theirs;
        int error;
        long pixels = 0;

        start = seconds();
        for (int r = 0; r < rounds; r++) {
            GifFrame *head = readGifFile(argv[a]);
            if (!head)
                return 1;
            pixels = (long)head->image.header()->biWidth * head->image.header()->biHeight;
            destroyGifFrame(head);
        }
        ours = seconds() - start;

        start = seconds();
        for (int r = 0; r < rounds; r++) {
            GifFileType *gif = DGifOpenFileName(argv[a], &error);
            if (!gif || DGifSlurp(gif) != GIF_OK)
                return 1;
            DGifCloseFile(gif, &error);
        }
        theirs = seconds() - start;

        printf("%s: %ld pixels; this decoder %.1f MB/s, giflib %.1f MB/s, ratio %.2f\n", argv[a],
               pixels, rounds * pixels / ours / 1e6, rounds * pixels / theirs / 1e6, theirs / ours);
    }
    return 0;
}
