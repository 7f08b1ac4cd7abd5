// gif_bench FILE...: decodes each GIF file with the GIF reader and with
// giflib, several times each, and prints the throughput in MB of pixels per
// second and their ratio, one row of `./dev bench`'s table per file.
#include <gif_lib.h>
#include <stdio.h>
#include <string.h>
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
        long width = 0, height = 0;

        start = seconds();
        for (int r = 0; r < rounds; r++) {
            GifFrame *head = readGifFile(argv[a]);
            if (!head)
                return 1;
            width = head->image.header()->biWidth;
            height = head->image.header()->biHeight;
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

        const char *name = strrchr(argv[a], '/') ? strrchr(argv[a], '/') + 1 : argv[a];
        double pixels = (double)width * height;

        printf("| GIF decoding, %s, %ld x %ld | %.1f MB/s of pixels, %.2f x giflib | giflib %.1f MB/s"
               " | none set |\n",
               name, width, height, rounds * pixels / ours / 1e6, theirs / ours,
               rounds * pixels / theirs / 1e6);
    }
    return 0;
}
