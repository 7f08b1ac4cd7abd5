#include "image/dib_image.h"

HMODULE resourceInstance;

DibImage DibImage::fromResource(LPCSTR type, LPCSTR name, HMODULE module)
{
    DibImage image(empty());
    HRSRC found = FindResourceA(module, name, type);

    if (found)
        image = fromResourceHandle(found);
    return image;
}

DibImage DibImage::fromResourceHandle(HRSRC found)
{
    HGLOBAL loaded;
    BYTE *data;
    DibImage image(empty());

    if (!found)
        return image;
    loaded = LoadResource(resourceInstance, found);
    if (!loaded)
        return image;
    data = (BYTE *)LockResource(loaded);
    if (!data) {
        FreeResource(loaded);
        return image;
    }
    // A complete bitmap file: its rows follow the colour table, whatever
    // the file header says.
    if (data[0] == 'B' && data[1] == 'M')
        data += sizeof(BITMAPFILEHEADER);
    image = fromPackedDib((PackedDib *)data);
    if (image.isEmpty()) {
        FreeResource(loaded);
        return image;
    }
    image.body->flags |= DibImageBody::ResourceBacked;
    image.body->resource = loaded;
    return image;
}
