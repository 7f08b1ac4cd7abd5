#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dialogs/dialogs.h"
#include "host/host.h"
#include "support/prefs.h"
#include "support/report.h"

char floppyDrive = 'A';

enum { COPY_BUFFER_SIZE = 4096 };

INT_PTR CALLBACK PickDriveDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_DRIVE_LIST, CB_ADDSTRING, 0, (LPARAM) "A:");
        SendDlgItemMessageA(dialog, IDC_DRIVE_LIST, CB_ADDSTRING, 0, (LPARAM) "B:");
        SendDlgItemMessageA(dialog, IDC_DRIVE_LIST, CB_SETCURSEL, 0, 0);
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            floppyDrive =
                SendDlgItemMessageA(dialog, IDC_DRIVE_LIST, CB_GETCURSEL, 0, 0) == 1 ? 'B' : 'A';
            EndDialog(dialog, IDOK);
            return 1;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return 1;
        }
        break;
    }
    return 0;
}

// The wait box has no buttons and ignores even its close box: it goes away
// when the copy is over.
INT_PTR CALLBACK CopyingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_INITDIALOG;
}

bool pickFloppyDrive(HWND owner)
{
    return DialogBoxParamA(hostInstance, MAKEINTRESOURCEA(IDD_PICK_DRIVE), owner, PickDriveDlgProc,
                           0) == IDOK;
}

bool copyFile(const char *source, const char *destinationTemplate)
{
    char target[MAX_PATH];
    FILE *in, *out;
    char *buffer;
    bool copied = false, flushed;

    lstrcpynA(target, destinationTemplate, sizeof target);
    target[0] = floppyDrive;
    in = fopen(source, "rb");
    if (in == NULL) {
        reportError(0, "Cannot open file %s for reading", source);
        return false;
    }
    out = fopen(target, "wb");
    if (out == NULL) {
        reportError(0, "Cannot open file %s for writing", target);
        fclose(in);
        return false;
    }
    buffer = (char *)malloc(COPY_BUFFER_SIZE);
    if (buffer == NULL) {
        reportError(ERR_NOMEM, "Error allocating buffer for copying");
        fclose(out);
        fclose(in);
        return false;
    }
    for (;;) {
        size_t read;

        if (feof(in)) {
            copied = true;
            break;
        }
        read = fread(buffer, 1, COPY_BUFFER_SIZE, in);
        // A read error leaves the end-of-file indicator clear; stopping here
        // keeps the loop from spinning on a source that yields nothing more.
        if (fwrite(buffer, 1, read, out) < read || ferror(in)) {
            reportError(0, "Error writing to file %s. Perhaps the disk is full?", target);
            break;
        }
    }
    // What the stream still holds is flushed on its own: Wine's close does not
    // tell when that flush fails, and a disk that fills up then is as full as
    // one that filled up in the loop.
    flushed = fflush(out) == 0;
    if ((fclose(out) != 0 || !flushed) && copied) {
        reportError(0, "Error writing to file %s. Perhaps the disk is full?", target);
        copied = false;
    }
    fclose(in);
    free(buffer);
    return copied;
}

void duplicateToFloppy(HWND owner)
{
    static const char destinationTemplate[] = "A:\\tindle.exe";
    static const char programName[] = "\\tindle.exe";
    // Room for the longest directory that is read and the name behind it.
    char source[MAX_PATH + sizeof programName];
    HWND wait;

    if (!pickFloppyDrive(owner))
        return;
    readString("InstallDir", source, MAX_PATH - 1, "");
    if (source[0] == '\0') {
        reportError(0, "Invalid installation - cannot find installation directory");
        return;
    }
    lstrcatA(source, programName);
    wait =
        CreateDialogParamA(hostInstance, MAKEINTRESOURCEA(IDD_COPYING), owner, CopyingDlgProc, 0);
    ShowWindow(wait, SW_SHOW);
    // Nothing is handled while the copy runs, so the box is painted now.
    RedrawWindow(wait, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    SetCursor(LoadCursorA(NULL, IDC_WAIT));
    copyFile(source, destinationTemplate);
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    DestroyWindow(wait);
}
