#include "support/prefs.h"

#include <string.h>

#include "support/report.h"

static const char keyPath[] = "Software\\Brackwell\\Tindle";

static HKEY openKey()
{
    HKEY key;

    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, keyPath, &key) != ERROR_SUCCESS)
        reportError(ERR_FATAL | ERR_RESOURCE, "Cannot open registry key \"%s\"", keyPath);
    return key;
}

// Only administrators may change the key.  Where the system does not keep a
// copy of the key for each standard user, such a user's writes are refused:
// the calendar goes on without keeping that user's progress.
static bool stored(LONG status)
{
    return status == ERROR_SUCCESS || status == ERROR_ACCESS_DENIED;
}

static void storeDword(HKEY key, const char *name, DWORD value)
{
    if (!stored(RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value)))
        reportError(ERR_FATAL, "Cannot set registry key \"%s\\%s\" to %d", keyPath, name,
                    (int)value);
}

DWORD readDword(const char *name, DWORD defaultValue)
{
    DWORD value = defaultValue, type = REG_DWORD, size = sizeof value;
    HKEY key = openKey();
    LONG status = RegQueryValueExA(key, name, NULL, &type, (BYTE *)&value, &size);

    if (status == ERROR_FILE_NOT_FOUND)
        storeDword(key, name, defaultValue);
    // A failed query may have left anything in the buffer.
    if (status != ERROR_SUCCESS)
        value = defaultValue;
    RegCloseKey(key);
    return value;
}

void writeDword(const char *name, DWORD value)
{
    HKEY key = openKey();

    storeDword(key, name, value);
    RegCloseKey(key);
}

// Copies text into buffer, cut to fit.
static void copyText(char *buffer, DWORD size, const char *text)
{
    size_t length = strlen(text);

    if (length >= size)
        length = size - 1;
    memcpy(buffer, text, length);
    buffer[length] = '\0';
}

void readString(const char *name, char *buffer, DWORD size, const char *defaultText)
{
    DWORD type, got = size;
    HKEY key;
    LONG status;

    if (size == 0)
        return;
    copyText(buffer, size, defaultText);
    key = openKey();
    status = RegQueryValueExA(key, name, NULL, &type, (BYTE *)buffer, &got);
    if (status == ERROR_FILE_NOT_FOUND) {
        // Stored without its terminating zero, as the installation stores it.
        if (!stored(RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)defaultText,
                                   (DWORD)strlen(defaultText))))
            reportError(ERR_FATAL, "Cannot set registry key \"%s\\%s\" to \"%s\"", keyPath, name,
                        defaultText);
    } else if (status != ERROR_SUCCESS || type != REG_SZ ||
               (got == size && buffer[size - 1] != '\0')) {
        // Not text, or no room left for the terminating zero.
        copyText(buffer, size, defaultText);
    } else if (got < size) {
        // Texts are not always stored with their terminating zero.
        buffer[got] = '\0';
    }
    RegCloseKey(key);
}

void installDir(char *buffer, DWORD size)
{
    readString("InstallDir", buffer, size, "");
    if (buffer[0] == '\0')
        reportError(ERR_FATAL, "Invalid installation - cannot find installation directory");
}

DWORD lastCheckedForYear(DWORD year)
{
    if (readDword("LastCheckedYear", 96) != year) {
        writeDword("LastChecked", 0);
        writeDword("LastCheckedYear", year);
        // Even where that was refused, last year's doors are not this year's.
        return 0;
    }
    return readDword("LastChecked", 0);
}

void recordProgress(DWORD year, DWORD day)
{
    writeDword("LastCheckedYear", year);
    writeDword("LastChecked", day);
}

bool readEnlarge()
{
    DWORD value = 1, type, size = sizeof value;
    HKEY key;

    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return true;
    if (RegQueryValueExA(key, "Enlarge", NULL, &type, (BYTE *)&value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        value = 1;
    RegCloseKey(key);
    return value != 0;
}

bool writeEnlarge(bool enlarge)
{
    DWORD value = enlarge ? 1 : 0;
    HKEY key;
    LONG status;

    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return false;
    status = RegSetValueExA(key, "Enlarge", 0, REG_DWORD, (const BYTE *)&value, sizeof value);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
