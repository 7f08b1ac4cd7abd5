// The native stand-ins for the few Win32 services that the error report and
// the picture readers use, so that they run under sanitizers and fuzzers.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "support/platform.h"

void platformShowError(const char *text)
{
    fprintf(stderr, "Error: %s\n", text);
}

void platformQuietAbort()
{
}

// The block is its own handle: it never moves.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T size)
{
    return calloc(1, size ? size : 1);
}

LPVOID GlobalLock(HGLOBAL block)
{
    return block;
}

BOOL GlobalUnlock(HGLOBAL block)
{
    return FALSE;
}

HGLOBAL GlobalHandle(const void *address)
{
    return (HGLOBAL)address;
}

HGLOBAL GlobalFree(HGLOBAL block)
{
    free(block);
    return NULL;
}

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                   DWORD creation, DWORD flags, HANDLE templateFile)
{
    FILE *file = fopen(name, "rb");

    return file ? (HANDLE)file : INVALID_HANDLE_VALUE;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD got, LPOVERLAPPED overlapped)
{
    *got = (DWORD)fread(buffer, 1, size, (FILE *)file);
    return !ferror((FILE *)file);
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG high, DWORD method)
{
    long position;

    if (method == FILE_BEGIN && distance < 0)
        return INVALID_SET_FILE_POINTER;
    if (fseek((FILE *)file, distance, method == FILE_BEGIN ? SEEK_SET : SEEK_CUR) != 0)
        return INVALID_SET_FILE_POINTER;
    position = ftell((FILE *)file);
    return position < 0 || position > 0x7FFFFFFF ? INVALID_SET_FILE_POINTER : (DWORD)position;
}

BOOL CloseHandle(HANDLE file)
{
    return fclose((FILE *)file) == 0;
}

BOOL FreeResource(HGLOBAL loaded)
{
    return FALSE;
}

// One desktop, one device context and one palette stand for all.
static int desktop, desktopDc, halftone;

HWND GetDesktopWindow(void)
{
    return &desktop;
}

HDC GetDC(HWND window)
{
    return &desktopDc;
}

int ReleaseDC(HWND window, HDC dc)
{
    return 1;
}

HPALETTE CreateHalftonePalette(HDC dc)
{
    return &halftone;
}

BOOL DeleteObject(HGDIOBJ object)
{
    return TRUE;
}

// A colour cube of six levels between grey ramps: close enough to the
// system's halftone colours for tests that only need some palette.
UINT GetPaletteEntries(HPALETTE palette, UINT first, UINT count, PALETTEENTRY *entries)
{
    UINT i;

    for (i = 0; i < count && first + i < 256; i++) {
        UINT index = first + i;
        PALETTEENTRY *entry = &entries[i];

        if (index >= 20 && index < 236) {
            UINT cube = index - 20;
            entry->peRed = (BYTE)(cube / 36 * 51);
            entry->peGreen = (BYTE)(cube / 6 % 6 * 51);
            entry->peBlue = (BYTE)(cube % 6 * 51);
        } else {
            BYTE grey = (BYTE)(index < 20 ? index * 6 : 255 - (255 - index) * 6);
            entry->peRed = entry->peGreen = entry->peBlue = grey;
        }
        entry->peFlags = 0;
    }
    return i;
}
