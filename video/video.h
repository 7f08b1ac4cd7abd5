// Video clips in the saver window through the Media Control Interface: an AVI
// file opened as a digital-video device whose display window is a child of
// the saver window, placed and sized, played with a completion notice
// (MM_MCINOTIFY to the saver window), stopped and closed.
//
// Every MCI command that fails shows "MCI error: ..." and posts the quit
// message with -1, so the saver ends through its message loop; the
// operation then returns false.
#ifndef TINDLE_VIDEO_VIDEO_H
#define TINDLE_VIDEO_VIDEO_H

#include <windows.h>
#include <mmsystem.h>

// Sends one command; true when MCI returned 0, otherwise the report above.
bool mciSend(MCIDEVICEID device, UINT command, DWORD_PTR flags, void *record);

// Opens path as a hidden child display window of window, placed with its
// top-left corner at client point (x, y) at scale times the clip's source
// size, each pixel of the clip a block of scale x scale.  A failed open
// stores nothing; once the device is open its id is stored in *device even
// when placing fails, so that the caller can close it.
bool openClip(HWND window, MCIDEVICEID *device, const char *path, int x, int y, int scale);
bool placeClip(MCIDEVICEID device, HWND window, int x, int y, int scale);
// The source rectangle's size; the outputs are untouched on failure.
bool clipSourceSize(MCIDEVICEID device, HWND window, int *width, int *height);
// The display window, or null when the command failed.
HWND clipWindow(MCIDEVICEID device, HWND window);

// Plays from the first frame and returns at once; MM_MCINOTIFY reaches
// window when playback ends.
bool playClip(MCIDEVICEID device, HWND window);
// A clip stopped or closed before its end leaves no completion notice.
bool stopClip(MCIDEVICEID device, HWND window);
// Device 0 (no clip open) sends nothing and succeeds.
bool closeClip(MCIDEVICEID device, HWND window);

// The digital-video device handles its own palette: both always succeed.
bool setClipPalette(MCIDEVICEID device, HWND window, HPALETTE palette);
bool realizeClipPalette(MCIDEVICEID device, HWND window);

#endif
