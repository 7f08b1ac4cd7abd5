// gif_bench FILE...: decodes each GIF file with the GIF reader and with
// giflib, in turns, and prints the median throughput and time per pixel of
// each and their ratio, one row of `./dev bench`'s table per file.  Turns
// rather than one decoder's rounds after the other's, so that the machine's
// other work falls on both alike.
#include <gif_lib.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

#include <algorithm>

#include "gif/gif_reader.h"

static double seconds()
{
    struct timespec now;

    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// Times one decoding of path by ours (or giflib's); false when it fails.
static bool decode(const char *path, bool giflib, double *elapsed, long size[2])
{
    double start = seconds();
    int error;

    if (giflib) {
        GifFileType *gif = DGifOpenFileName(path, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK)
            return false;
        size[0] = gif->SavedImages[0].ImageDesc.Width;
        size[1] = gif->SavedImages[0].ImageDesc.Height;
        DGifCloseFile(gif, &error);
    } else {
        GifFrame *head = readGifFile(path);
        if (!head)
            return false;
        size[0] = head->image.header()->biWidth;
        size[1] = head->image.header()->biHeight;
        destroyGifFrame(head);
    }
    *elapsed = seconds() - start;
    return true;
}

int main(int argc, char **argv)
{
    enum { ROUNDS = 15 };
    const double goal = 2.0;

    for (int a = 1; a < argc; a++) {
        double times[2][ROUNDS];
        long size[2];

        for (int r = 0; r < ROUNDS; r++)
            for (int giflib = 0; giflib < 2; giflib++)
                if (!decode(argv[a], giflib, &times[giflib][r], size)) {
                    fprintf(stderr, "gif_bench: cannot decode %s\n", argv[a]);
                    return 1;
                }
        for (double *t : times)
            std::nth_element(t, t + ROUNDS / 2, t + ROUNDS);
        double ours = times[0][ROUNDS / 2], theirs = times[1][ROUNDS / 2];
        double pixels = (double)size[0] * size[1];
        const char *name = strrchr(argv[a], '/') ? strrchr(argv[a], '/') + 1 : argv[a];

        printf("| GIF decoding, %s, %ld x %ld | %.0f MB/s of pixels, %.2f ns/pixel, %.2f x giflib"
               " | giflib %.0f MB/s, %.2f ns/pixel | %.1f x giflib: %s |\n",
               name, size[0], size[1], pixels / ours / 1e6, ours * 1e9 / pixels, theirs / ours,
               pixels / theirs / 1e6, theirs * 1e9 / pixels, goal,
               theirs / ours >= goal ? "met" : "not met");
    }
    return 0;
}
