#include "dialogs/dialogs.h"
#include "host/host.h"
#include "image/assets.h"
#include "image/dib_image.h"
#include "support/report.h"

static DibImage creditsPicture = DibImage::empty();
static HPALETTE creditsPalette;

INT_PTR CALLBACK CreditsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        centerOnDesktop(dialog);
        resourceInstance = hostInstance;
        creditsPicture = loadAsset(AssetId::Credits);
        if (creditsPicture.isEmpty())
            reportError(ERR_RESOURCE, "Cannot load credits bitmap");
        creditsPalette = creditsPicture.createPalette();
        return 1;
    case WM_DESTROY:
        if (creditsPalette != NULL)
            DeleteObject(creditsPalette);
        creditsPalette = NULL;
        creditsPicture = DibImage::empty();
        return 0;
    case WM_PAINT:
        if (!creditsPicture.isEmpty())
            paintPicture(dialog, creditsPicture, creditsPalette, false);
        return 0;
    case WM_ERASEBKGND:
        eraseBlack(dialog, (HDC)wParam);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        SetTextColor((HDC)wParam, RGB(255, 255, 255));
        SetBkMode((HDC)wParam, TRANSPARENT);
        return (INT_PTR)GetStockObject(NULL_BRUSH);
    case WM_QUERYNEWPALETTE:
        return (WORD)realizeDialogPalette(dialog, creditsPalette);
    case WM_PALETTECHANGED:
        if ((HWND)wParam != dialog)
            realizeDialogPalette(dialog, creditsPalette);
        return 0;
    }
    return 0;
}

int showCreditsDialog(HWND owner)
{
    return (int)DialogBoxParamA(hostInstance, MAKEINTRESOURCEA(IDD_CREDITS), owner,
                                CreditsDlgProc, 0);
}
