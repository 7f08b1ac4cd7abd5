#include "gif/gif_reader.h"

#include <new>
#include <string.h>

#include "gif/lzw_decoder.h"
#include "support/report.h"

GifFrame *makeGifFrame()
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(GifFrame));
    void *memory;

    if (!block)
        return NULL;
    memory = GlobalLock(block);
    if (!memory) {
        GlobalFree(block);
        return NULL;
    }
    return new (memory) GifFrame{0, 0, 0, DibImage::empty(), NULL};
}

// Record by record rather than by recursion, so that a file of very many
// images cannot exhaust the stack.
void destroyGifFrame(GifFrame *frame)
{
    GifFrame *next;
    HGLOBAL block;

    for (; frame; frame = next) {
        next = frame->next;
        frame->~GifFrame();
        block = GlobalHandle(frame);
        GlobalUnlock(block);
        GlobalFree(block);
    }
}

int readGifHeader(FILE *file, GifHeader *header)
{
    if (fread(header, sizeof *header, 1, file) != 1) {
        reportError(0, "Error reading GIF file");
        return -1;
    }
    if (memcmp(header->signature, "GIF89a", 6) != 0 &&
        memcmp(header->signature, "GIF87a", 6) != 0) {
        reportError(0, "File is not a GIF file");
        return -1;
    }
    return 0;
}

// The file stores red, green, blue; the table holds blue, green, red.
int readColourTable(FILE *file, int count, ColourTable *table)
{
    unsigned char stored[256 * 3];
    int i;

    if (fread(stored, 3, count, file) != (size_t)count) {
        reportError(0, "Error reading GIF global colour table");
        return -1;
    }
    for (i = 0; i < count; i++) {
        table->entries[i].rgbRed = stored[3 * i];
        table->entries[i].rgbGreen = stored[3 * i + 1];
        table->entries[i].rgbBlue = stored[3 * i + 2];
        table->entries[i].rgbReserved = 0;
    }
    return 0;
}

static int tableEntries(uint8_t packed)
{
    return 2 << (packed & 7);
}

DibImage readGifImage(FILE *file, const GifHeader *header, const ColourTable *global)
{
    unsigned char descriptor[9];
    ColourTable local;
    int width, height, count;

    if (fread(descriptor, sizeof descriptor, 1, file) != 1) {
        reportError(0, "Error reading GIF file");
        return DibImage::empty();
    }
    width = descriptor[4] | descriptor[5] << 8;
    height = descriptor[6] | descriptor[7] << 8;
    // A size beyond what a picture can hold is refused and reported here.
    DibImage picture = DibImage::makeImage(8, width, height);
    if (picture.isEmpty())
        return picture;

    if (descriptor[8] & 0x80) {
        count = tableEntries(descriptor[8]);
        if (readColourTable(file, count, &local) != 0)
            return DibImage::empty();
        memcpy(picture.colourTable(), local.entries, count * sizeof(RGBQUAD));
    } else if (header->packed & 0x80) {
        memcpy(picture.colourTable(), global->entries,
               tableEntries(header->packed) * sizeof(RGBQUAD));
    }

    // A picture without rows needs no row table; the decoder writes none.
    if (decodeGifRows(height > 0 ? picture.rows() : NULL, file, picture.header()->biWidth,
                      picture.header()->biHeight, (descriptor[8] & 0x40) ? 1 : 0) < 0) {
        reportError(0, "Error decoding GIF image");
        return DibImage::empty();
    }
    return picture;
}

int readGraphicControl(FILE *file, GifFrame *frame)
{
    unsigned char block[6];

    if (fread(block, sizeof block, 1, file) != 1) {
        reportError(0, "Error reading GIF Graphics control extension");
        return -1;
    }
    frame->transparent = block[1] & 1;
    if (frame->transparent)
        frame->transparentIndex = block[4];
    frame->delay = (uint16_t)(block[2] | block[3] << 8);
    return 0;
}

static int skipSubBlocks(FILE *file)
{
    unsigned char scratch[256];
    unsigned char length;

    for (;;) {
        if (fread(&length, 1, 1, file) != 1) {
            reportError(0, "Error reading GIF file");
            return -1;
        }
        if (length == 0)
            return 0;
        if (fread(scratch, length, 1, file) != 1) {
            reportError(0, "Error reading GIF file");
            return -1;
        }
    }
}

int skipPlainText(FILE *file)
{
    unsigned char block[13];

    if (fread(block, sizeof block, 1, file) != 1) {
        reportError(0, "Error reading plain text extension");
        return -1;
    }
    return skipSubBlocks(file);
}

int skipComment(FILE *file)
{
    return skipSubBlocks(file);
}

// Nothing in an Application Extension is used, a looping count included.
int skipApplication(FILE *file)
{
    unsigned char block[12];
    unsigned char length;

    if (fread(block, sizeof block, 1, file) != 1) {
        reportError(0, "Error reading application extension");
        return -1;
    }
    for (;;) {
        if (fread(&length, 1, 1, file) != 1) {
            reportError(0, "Error reading GIF file");
            return -1;
        }
        if (length == 0)
            return 0;
        if (fseek(file, length, SEEK_CUR) != 0) {
            reportError(0, "Error in unrecognized GIF application extension");
            return -1;
        }
    }
}

int readGifExtension(FILE *file, GifFrame *frame)
{
    unsigned char label;

    if (fread(&label, 1, 1, file) != 1) {
        reportError(0, "Error reading GIF file");
        return -1;
    }
    switch (label) {
    case 0x01:
        return skipPlainText(file);
    case 0xF9:
        return readGraphicControl(file, frame);
    case 0xFE:
        return skipComment(file);
    case 0xFF:
        return skipApplication(file);
    default:
        reportError(0, "Unrecognised GIF extension");
        return -1;
    }
}

// Every image gets a record of its own: an extension after a decoded image
// starts the record of the next one.
static GifFrame *frameForNextBlock(GifFrame *current)
{
    if (current->image.isEmpty())
        return current;
    current->next = makeGifFrame();
    if (!current->next)
        reportError(ERR_NOMEM | ERR_FATAL, "allocating GIF frame");
    return current->next;
}

GifFrame *readGifFile(const char *path)
{
    FILE *file;
    GifHeader header;
    ColourTable global;
    GifFrame *head, *current;
    unsigned char introducer;

    file = fopen(path, "rb");
    if (!file) {
        reportError(ERR_RESOURCE, "Cannot open file %s", path);
        return NULL;
    }
    head = NULL;
    if (readGifHeader(file, &header) != 0)
        goto failed;
    if ((header.packed & 0x80) && readColourTable(file, tableEntries(header.packed), &global) != 0)
        goto failed;
    head = makeGifFrame();
    if (!head)
        reportError(ERR_NOMEM | ERR_FATAL, "allocating GIF frame");
    current = head;
    for (;;) {
        if (fread(&introducer, 1, 1, file) != 1) {
            reportError(0, "Error reading GIF file %s", path);
            goto failed;
        }
        if (introducer == 0x21) {
            current = frameForNextBlock(current);
            if (readGifExtension(file, current) != 0)
                goto failed;
        } else if (introducer == 0x2C) {
            current = frameForNextBlock(current);
            current->image = readGifImage(file, &header, &global);
            if (current->image.isEmpty())
                goto failed;
        } else if (introducer == 0x3B) {
            break;
        } else {
            reportError(0, "Invalid separator 0x%02X in GIF file %s", introducer, path);
            goto failed;
        }
    }
    fclose(file);
    return head;

failed:
    fclose(file);
    destroyGifFrame(head);
    return NULL;
}

// Only the first picture of the file is kept.
DibImage DibImage::readGif(const char *name)
{
    GifFrame *head = readGifFile(name);

    if (head) {
        *this = head->image;
        destroyGifFrame(head);
    } else {
        *this = empty();
    }
    return *this;
}
