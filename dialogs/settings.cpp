#include "dialogs/dialogs.h"
#include "host/host.h"
#include "image/assets.h"
#include "image/dib_image.h"
#include "support/prefs.h"
#include "support/report.h"

static DibImage settingsPicture = DibImage::empty();
static HPALETTE settingsPalette;

void centerOnDesktop(HWND window)
{
    RECT desktop, area;

    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &area);
    SetWindowPos(window, NULL, desktop.right / 2 + (area.left - area.right) / 2,
                 desktop.bottom / 2 + (area.top - area.bottom) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

UINT realizeDialogPalette(HWND dialog, HPALETTE palette)
{
    HDC dc = GetDC(dialog);
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    UINT changed = RealizePalette(dc);

    SelectPalette(dc, previous, FALSE);
    ReleaseDC(dialog, dc);
    if (changed != 0)
        InvalidateRect(dialog, NULL, FALSE);
    return changed;
}

static void eraseBlack(HWND dialog, HDC dc)
{
    RECT client;
    int saved;

    GetClientRect(dialog, &client);
    saved = SaveDC(dc);
    SetMapMode(dc, MM_TEXT);
    FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    RestoreDC(dc, saved);
}

// The dots per inch that the dialog's font was made for: its monitor's where
// the system scales each monitor on its own, the system's otherwise.
static int dialogDpi(HWND dialog, HDC dc)
{
    typedef UINT(WINAPI * DpiEntry)(HWND);
    static DpiEntry forWindow =
        (DpiEntry)(void *)GetProcAddress(GetModuleHandleA("USER32.DLL"), "GetDpiForWindow");

    return forWindow != NULL ? (int)forWindow(dialog) : GetDeviceCaps(dc, LOGPIXELSY);
}

// The pictures are made for 96 dots per inch and grow with the dialog.
static void paintPicture(HWND dialog, const DibImage &picture, HPALETTE palette, bool bottomRight)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    const PackedDib *dib = picture.header();
    LONG width = dib->biWidth, height = dib->biHeight;
    int dpi = dialogDpi(dialog, dc);
    int shownWidth = MulDiv(width, dpi, 96), shownHeight = MulDiv(height, dpi, 96);
    RECT client;
    int x = 0, y = 0;

    SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    if (bottomRight) {
        GetClientRect(dialog, &client);
        x = client.right - shownWidth;
        y = client.bottom - shownHeight;
    }
    StretchDIBits(dc, x, y, shownWidth, shownHeight, 0, 0, width, height, dibPixels(dib),
                  (const BITMAPINFO *)dib, DIB_RGB_COLORS, SRCCOPY);
    EndPaint(dialog, &paint);
}

static INT_PTR colourMessage(HDC dc)
{
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    return (INT_PTR)GetStockObject(NULL_BRUSH);
}

void openPictureDialog(HWND dialog, AssetId id, DibImage &picture, HPALETTE &palette)
{
    centerOnDesktop(dialog);
    resourceInstance = hostInstance;
    picture = loadAsset(id);
    palette = picture.createPalette();
}

void closePictureDialog(DibImage &picture, HPALETTE &palette)
{
    picture = DibImage::empty();
    if (palette != NULL)
        DeleteObject(palette);
    palette = NULL;
}

bool pictureDialogMessage(HWND dialog, UINT message, WPARAM wParam, const DibImage &picture,
                          HPALETTE palette, bool bottomRight, INT_PTR *result)
{
    *result = 0;
    switch (message) {
    case WM_PAINT:
        if (!picture.isEmpty())
            paintPicture(dialog, picture, palette, bottomRight);
        return true;
    case WM_ERASEBKGND:
        eraseBlack(dialog, (HDC)wParam);
        *result = 1;
        return true;
    case WM_CTLCOLORSTATIC:
        *result = colourMessage((HDC)wParam);
        return true;
    case WM_QUERYNEWPALETTE:
        *result = (WORD)realizeDialogPalette(dialog, palette);
        return true;
    case WM_PALETTECHANGED:
        if ((HWND)wParam != dialog)
            realizeDialogPalette(dialog, palette);
        return true;
    }
    return false;
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result;

    if (pictureDialogMessage(dialog, message, wParam, settingsPicture, settingsPalette, true,
                             &result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        openPictureDialog(dialog, AssetId::Setup, settingsPicture, settingsPalette);
        // Password protection belongs to the desktop's own settings.
        ShowWindow(GetDlgItem(dialog, IDC_PASSWORD_PROTECT), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_SET_PASSWORD), SW_HIDE);
        CheckDlgButton(dialog, IDC_ENLARGE, readEnlarge() ? BST_CHECKED : BST_UNCHECKED);
        return 1;
    case WM_DESTROY:
        closePictureDialog(settingsPicture, settingsPalette);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (!writeEnlarge(IsDlgButtonChecked(dialog, IDC_ENLARGE) == BST_CHECKED))
                reportError(0, "Cannot store the choice \"Enlarge on large screens\"");
            [[fallthrough]];
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return 0;
        case IDC_CREDITS:
            showCreditsDialog(dialog);
            return 0;
        case IDC_DUPLICATE:
            duplicateToFloppy(dialog);
            break;
        }
        {
            // The hidden check box's area shows the background again.
            RECT area;
            HWND box = GetDlgItem(dialog, IDC_PASSWORD_PROTECT);

            GetClientRect(box, &area);
            MapWindowPoints(box, dialog, (POINT *)&area, 2);
            InvalidateRect(dialog, &area, FALSE);
        }
        return 0;
    case WM_CTLCOLORBTN:
        switch (GetDlgCtrlID((HWND)lParam)) {
        case IDOK:
        case IDCANCEL:
        case IDC_CREDITS:
        case IDC_SET_PASSWORD:
            return 0;
        }
        return colourMessage((HDC)wParam);
    }
    return 0;
}

int showSettingsDialog(HWND owner)
{
    return (int)DialogBoxParamA(hostInstance, MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                                SettingsDlgProc, 0);
}
