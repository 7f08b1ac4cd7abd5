// The preferences against the real (Wine) registry: each row stores the given values (no key at
// all otherwise), makes one call, and checks what it gave and which values it stored, in order.
#include <ctype.h>
#include <stdlib.h>

#include <functional>

#include "reported.h"
#include "support/prefs.h"

using namespace std::string_literals;

// The import slot through which the program stores values.
typedef LONG(WINAPI *SetValue)(HKEY, LPCSTR, DWORD, DWORD, const BYTE *, DWORD);
extern "C" SetValue importedSetValue __asm__("__imp__RegSetValueExA@24");
static SetValue realSetValue;
static std::string stores, got;

// "name=value " for each value stored: a number in decimal, a text as stored (a zero shows).
static LONG WINAPI recordingSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                     const BYTE *data, DWORD size)
{
    std::string value =
        type == REG_DWORD ? std::to_string(*(DWORD *)data) : std::string((const char *)data, size);
    stores += name + "="s + value + " ";
    return realSetValue(key, name, reserved, type, data, size);
}

// Stores "name=value " items: numbers, and texts without their zero.
static void store(const char *items)
{
    char name[32], value[64];
    for (int used = 0; sscanf(items, " %31[^=]=%63s%n", name, value, &used) == 2; items += used) {
        DWORD number = atoi(value);
        bool isNumber = isdigit(value[0]);
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Brackwell\\Tindle", name,
                        isNumber ? REG_DWORD : REG_SZ, isNumber ? (void *)&number : value,
                        isNumber ? 4 : strlen(value));
    }
}

// readString into a buffer of 'x's: the text, "|" and the 4 bytes behind size.
static void readText(const char *name, DWORD size, const char *defaultText)
{
    char buffer[64];
    memset(buffer, 'x', sizeof buffer);
    readString(name, buffer, size, defaultText);
    got = buffer + "|"s + std::string(buffer + size, 4);
}

TEST(Prefs, Rows)
{
    // A text is cut to fit and the default taken where it cannot be read whole; the first run's
    // year is 1996, and another year settles no doors.
    const struct {
        const char *before;
        std::function<void()> call; // sets got
        std::string want;           // got / stores
    } rows[] = {
        {"", [] { got = std::to_string(readDword("Twelve", 7)); }, "7 / Twelve=7 "},
        {"Twelve=eightish", [] { got = std::to_string(readDword("Twelve", 5)); }, "5 / "},
        {"", [] { readText("InstallDir", 9, "C:\\Tindle"); },
         "C:\\Tindl|xxxx / InstallDir=C:\\Tindle "},
        {"InstallDir=C:\\X", [] { readText("InstallDir", 8, ""); }, "C:\\X|xxxx / "},
        {"InstallDir=C:\\Tindl", [] { readText("InstallDir", 8, "D:\\"); }, "D:\\|xxxx / "},
        {"InstallDir=5000000", [] { readText("InstallDir", 16, "none"); }, "none|xxxx / "},
        {"", [] { got = std::to_string(lastCheckedForYear(96)); },
         "0 / LastCheckedYear=96 LastChecked=0 "},
        {"LastCheckedYear=96 LastChecked=5", [] { got = std::to_string(lastCheckedForYear(97)); },
         "0 / LastChecked=0 LastCheckedYear=97 "},
        {"LastCheckedYear=126 LastChecked=9", [] { got = std::to_string(lastCheckedForYear(126)); },
         "9 / "},
        {"LastCheckedYear=96 LastChecked=24", [] { recordProgress(97, 9); },
         " / LastCheckedYear=97 LastChecked=9 "},
    };
    realSetValue = patchImport(importedSetValue, recordingSetValue);
    for (const auto &r : rows) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Brackwell");
        store(r.before);
        got = "";
        stores = "";
        r.call();
        EXPECT_EQ(got + " / " + stores, r.want) << r.before;
    }
    patchImport(importedSetValue, realSetValue);
}
