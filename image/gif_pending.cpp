#include "image/dib_image.h"

// This build has no GIF reader: a GIF file loads as the empty image.
DibImage DibImage::readGif(const char *name)
{
    *this = empty();
    return *this;
}
