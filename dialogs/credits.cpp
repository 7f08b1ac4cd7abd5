#include "dialogs/dialogs.h"
#include "host/host.h"
#include "image/dib_image.h"
#include "support/report.h"

static DibImage creditsPicture = DibImage::empty();
static HPALETTE creditsPalette;

INT_PTR CALLBACK CreditsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result;

    if (pictureDialogMessage(dialog, message, wParam, creditsPicture, creditsPalette, false,
                             &result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        openPictureDialog(dialog, AssetId::Credits, creditsPicture, creditsPalette);
        if (creditsPicture.isEmpty())
            reportError(ERR_RESOURCE, "Cannot load credits bitmap");
        return 1;
    case WM_DESTROY:
        closePictureDialog(creditsPicture, creditsPalette);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return 0;
    }
    return 0;
}

int showCreditsDialog(HWND owner)
{
    return (int)DialogBoxParamA(hostInstance, MAKEINTRESOURCEA(IDD_CREDITS), owner, CreditsDlgProc,
                                0);
}
