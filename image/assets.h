// The pictures of the installation directory, asked for by number.
#ifndef TINDLE_IMAGE_ASSETS_H
#define TINDLE_IMAGE_ASSETS_H

#include <stdint.h>

#include "image/dib_image.h"

enum class AssetId : int32_t {
    Active = 1,
    ClickAll = 2,
    ClickHere = 3,
    Credits = 4,
    Plate = 5,
    Pud = 6,
    Setup = 7,
    TheEnd = 8
};

struct AssetEntry {
    AssetId id;
    const char *name;
};

// The table row of id, or null.
const AssetEntry *findAsset(AssetId id);

// The picture of id, read afresh from the installation directory: a new
// picture every call.  An unknown id, a missing installation directory and a
// file that does not load are reported and end the program, so the result is
// never the empty image.
DibImage loadAsset(AssetId id);

#endif
