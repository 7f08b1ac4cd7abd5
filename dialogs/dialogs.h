// The settings dialog and the boxes it opens: the credits and the copy of
// the installation program to a floppy disk.
#ifndef TINDLE_DIALOGS_DIALOGS_H
#define TINDLE_DIALOGS_DIALOGS_H

#include <windows.h>

#include "dialogs/dialog_ids.h"
#include "image/assets.h"

// Shows the settings dialog modally; 1 after OK, which stores the user's
// choice to enlarge the calendar, 2 after Cancel, -1 when it cannot be shown.
int showSettingsDialog(HWND owner);
INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Moves window to the middle of the desktop, keeping its size and Z order.
void centerOnDesktop(HWND window);
// Realises palette for dialog and returns the number of entries changed.
UINT realizeDialogPalette(HWND dialog, HPALETTE palette);

// A picture dialog opens centred with its installed picture and a palette
// made from it, and gives both up at WM_DESTROY.
void openPictureDialog(HWND dialog, AssetId id, DibImage &picture, HPALETTE &palette);
void closePictureDialog(DibImage &picture, HPALETTE &palette);
// What the two picture dialogs answer alike: a black background, the
// picture drawn with its palette at the top-left corner or touching the
// bottom-right one (whatever lies outside the client area is cut off), 1:1 at
// 96 dots per inch and grown with the dialog above, white static text and the
// palette messages.  False for any other message.
bool pictureDialogMessage(HWND dialog, UINT message, WPARAM wParam, const DibImage &picture,
                          HPALETTE palette, bool bottomRight, INT_PTR *result);

// 1 for OK, 2 for cancel.
int showCreditsDialog(HWND owner);
INT_PTR CALLBACK CreditsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The drive letter of the last choice, kept for the life of the process.
extern char floppyDrive;

// Copies InstallDir's tindle.exe to the chosen floppy drive's root.
void duplicateToFloppy(HWND owner);
// True only when the user picked a drive and pressed OK.
bool pickFloppyDrive(HWND owner);
INT_PTR CALLBACK PickDriveDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CopyingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Copies source to destinationTemplate with its drive letter replaced by
// floppyDrive; true when the whole file was copied.  Failures are reported.
bool copyFile(const char *source, const char *destinationTemplate);

#endif
