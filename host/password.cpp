#include "host/password.h"

#include "host/host.h"
#include "support/queue.h"
#include "support/report.h"

static HMODULE passwordLibrary;
VerifyScreenSavePwdEntry verifyEntry;
DWORD lastVerifyTime = 0xFFFFFFFF;

static void tellSaverRunning(BOOL running)
{
    BOOL scratch;

    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running, &scratch, 0);
}

// While the system believes a saver runs it keeps the system keys disabled,
// so a fatal end must not leave that belief behind.
static void tellSaverStopped()
{
    tellSaverRunning(FALSE);
}

void loadPasswordProvider()
{
    HKEY key;
    DWORD value = 0, size = sizeof value;

    if (passwordLibrary != NULL)
        releasePasswordProvider();
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS)
        return;
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", NULL, NULL, (BYTE *)&value, &size) ==
            ERROR_SUCCESS &&
        value != 0) {
        passwordLibrary = LoadLibraryA("PASSWORD.CPL");
        if (passwordLibrary != NULL) {
            verifyEntry = (VerifyScreenSavePwdEntry)(void *)GetProcAddress(passwordLibrary,
                                                                           "VerifyScreenSavePwd");
            if (verifyEntry != NULL) {
                tellSaverRunning(TRUE);
                setFatalCleanup(tellSaverStopped);
            } else
                releasePasswordProvider();
        }
    }
    RegCloseKey(key);
}

void releasePasswordProvider()
{
    if (passwordLibrary == NULL)
        return;
    FreeLibrary(passwordLibrary);
    passwordLibrary = NULL;
    if (verifyEntry != NULL) {
        verifyEntry = NULL;
        setFatalCleanup(nullptr);
        tellSaverRunning(FALSE);
    }
}

bool inQuietPeriod(DWORD now, DWORD lastVerify)
{
    return lastVerify != 0xFFFFFFFF && now - lastVerify < PASSWORD_QUIET_MS;
}

int verifyPassword(HWND window)
{
    if (verifyInProgress || passwordAccepted)
        return 0;
    if (verifyEntry == NULL) {
        passwordAccepted = 1;
        return 1;
    }
    if (inQuietPeriod(GetTickCount(), lastVerifyTime))
        return passwordAccepted;
    verifyInProgress = 1;
    removeQueuedMessage(window, WM_TIMER);
    removeQueuedMessage(window, WM_TIMER);
    passwordAccepted = SendMessageA(window, MSG_VERIFY_PASSWORD, 0, 0) != 0;
    verifyInProgress = 0;
    if (!passwordAccepted)
        SetCursor(NULL);
    lastVerifyTime = GetTickCount();
    return passwordAccepted;
}

void changePassword(HWND owner)
{
    typedef DWORD(WINAPI * PwdChangePasswordEntry)(LPCSTR, HWND, DWORD, DWORD);
    HMODULE library = LoadLibraryA("MPR.DLL");
    PwdChangePasswordEntry change;

    if (library == NULL)
        return;
    change = (PwdChangePasswordEntry)(void *)GetProcAddress(library, "PwdChangePasswordA");
    if (change != NULL)
        change("SCRSAVE", owner, 0, 0);
    FreeLibrary(library);
}
