#include "image/assets.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "support/prefs.h"
#include "support/report.h"

static const AssetEntry assetTable[] = {
    {AssetId::Active, "active.bmp"},      {AssetId::ClickAll, "clickall.bmp"},
    {AssetId::ClickHere, "clikhere.bmp"}, {AssetId::Credits, "credits.bmp"},
    {AssetId::Plate, "plate.bmp"},        {AssetId::Pud, "pud.bmp"},
    {AssetId::Setup, "setup.bmp"},        {AssetId::TheEnd, "theend.bmp"},
};

const AssetEntry *findAsset(AssetId id)
{
    for (const AssetEntry &entry : assetTable)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

DibImage loadAsset(AssetId id)
{
    const AssetEntry *entry = findAsset(id);
    char path[MAX_PATH];
    size_t length, room;
    const char *separator;

    if (!entry) {
        reportError(ERR_FATAL | ERR_RESOURCE, "Cannot find asset id %d", (int)id);
        return DibImage::empty();
    }
    installDir(path, sizeof path - 1);
    length = strlen(path);
    room = sizeof path - length;
    separator = path[length - 1] == '\\' ? "" : "\\";
    // A path cut to fit could name another file, so it is not opened.
    DibImage image = (size_t)snprintf(path + length, room, "%s%s", separator, entry->name) < room
                         ? DibImage::fromFile(path)
                         : DibImage::empty();
    if (image.isEmpty())
        reportError(ERR_FATAL | ERR_RESOURCE, "Cannot load asset %s", path);
    return image;
}
