// The preferences against the real (Wine) registry: each row starts from the
// given values (no key at all otherwise) and checks what one call returns,
// which values it stored in what order, and what the key holds afterwards.
#include <gtest/gtest.h>
#include <stdio.h>
#include <windows.h>
#include <functional>

#include "support/prefs.h"

using namespace std::string_literals;

static const char keyPath[] = "Software\\Brackwell\\Tindle";

// The import slot through which the program stores values.
typedef LONG(WINAPI *SetValue)(HKEY, LPCSTR, DWORD, DWORD, const BYTE *, DWORD);
extern "C" SetValue importedSetValue __asm__("__imp__RegSetValueExA@24");
static SetValue realSetValue = importedSetValue;
static std::string stores;

static LONG WINAPI recordingSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                     const BYTE *data, DWORD size)
{
    return stores += name + " "s, realSetValue(key, name, reserved, type, data, size);
}

static std::string hex(DWORD n)
{
    char text[16];
    return snprintf(text, sizeof text, "%lx", (unsigned long)n), text;
}

// "name=value " for the values the program knows: numbers in hex, texts
// quoted, other types by size.
static std::string keyState()
{
    std::string all;
    for (const char *name :
         {"Advent", "InstallDir", "LastChecked", "LastCheckedYear", "Other", "Twelve"}) {
        char data[64];
        DWORD type, size = sizeof data;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, keyPath, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data,
                         &size))
            continue;
        all += name + "="s +
               (type == REG_DWORD ? hex(*(DWORD *)data)
                : type == REG_SZ  ? "\"" + std::string(data, strnlen(data, size)) + "\""
                                  : std::to_string(size) + " bytes") +
               " ";
    }
    return all;
}

// readString into a buffer of 'x's: the text, "|" and the 4 bytes behind size.
static std::string readText(const char *name, DWORD size, const char *defaultText)
{
    char buffer[64];
    memset(buffer, 'x', sizeof buffer);
    return readString(name, buffer, size, defaultText),
           buffer + "|"s + std::string(buffer + size, 4);
}

TEST(Prefs, Rows)
{
    struct Value {
        const char *name;
        DWORD type;
        std::string bytes;
    };
    auto number = [](const char *name, DWORD n) {
        return Value{name, REG_DWORD, std::string((char *)&n, 4)};
    };
    const std::string path = "C:\\Tindle\\Advent\\Pictures";
    const struct {
        std::vector<Value> before;
        std::function<std::string()> call;
        std::string result, stored, after;
    } rows[] = {
        {{}, [] { return hex(readDword("Twelve", 7)); }, "7", "Twelve ", "Twelve=7 "},
        {{number("Advent", 1)}, [] { return hex(readDword("Advent", 0)); }, "1", "", "Advent=1 "},
        // Short values of any type are read over the default's bytes; long ones give the default.
        {{{"Advent", REG_SZ, "ab\0"s}},
         [] { return hex(readDword("Advent", 0x11223344)); },
         "11006261",
         "",
         "Advent=\"ab\" "},
        {{{"Twelve", REG_BINARY, "12345678"}},
         [] { return hex(readDword("Twelve", 5)); },
         "5",
         "",
         "Twelve=8 bytes "},
        {{},
         [] {
             writeDword("LastChecked", 0xFFFFFFFF);
             return ""s;
         },
         "",
         "LastChecked ",
         "LastChecked=ffffffff "},
        {{},
         [] { return readText("InstallDir", 16, "C:\\Tindle"); },
         "C:\\Tindle|xxxx",
         "InstallDir ",
         "InstallDir=\"C:\\Tindle\" "},
        {{}, [] { return readText("Other", 16, ""); }, "|xxxx", "Other ", "Other=\"\" "},
        {{},
         [] { return readText("InstallDir", 4, "C:\\Tindle"); },
         "C:\\|xxxx",
         "InstallDir ",
         "InstallDir=\"C:\\Tindle\" "},
        // Texts with and without their zero, filling the buffer, no room for the zero, too long; a
        // number.
        {{{"InstallDir", REG_SZ, "C:\\X\0"s}},
         [] { return readText("InstallDir", 8, ""); },
         "C:\\X|xxxx",
         "",
         "InstallDir=\"C:\\X\" "},
        {{{"InstallDir", REG_SZ, "C:\\X"}},
         [] { return readText("InstallDir", 8, ""); },
         "C:\\X|xxxx",
         "",
         "InstallDir=\"C:\\X\" "},
        {{{"InstallDir", REG_SZ, "C:\\Dirs\0"s}},
         [] { return readText("InstallDir", 8, ""); },
         "C:\\Dirs|xxxx",
         "",
         "InstallDir=\"C:\\Dirs\" "},
        {{{"InstallDir", REG_SZ, path.substr(0, 8)}},
         [] { return readText("InstallDir", 8, "D:\\"); },
         "D:\\|xxxx",
         "",
         "InstallDir=\"C:\\Tindl\" "},
        {{{"InstallDir", REG_SZ, path}},
         [] { return readText("InstallDir", 8, "D:\\"); },
         "D:\\|xxxx",
         "",
         "InstallDir=\"" + path + "\" "},
        {{number("InstallDir", 0x5C3A43)},
         [] { return readText("InstallDir", 16, "none"); },
         "none|xxxx",
         "",
         "InstallDir=5c3a43 "},
        {{{"InstallDir", REG_SZ, "Z:\\tindle dir\\\0"s}},
         [] {
             char dir[MAX_PATH];
             return installDir(dir, sizeof dir), std::string(dir);
         },
         "Z:\\tindle dir\\",
         "",
         "InstallDir=\"Z:\\tindle dir\\\" "},
        // The first run's year is 1996; another year settles no doors.
        {{},
         [] { return hex(lastCheckedForYear(96)); },
         "0",
         "LastCheckedYear LastChecked ",
         "LastChecked=0 LastCheckedYear=60 "},
        {{number("LastCheckedYear", 96), number("LastChecked", 5)},
         [] { return hex(lastCheckedForYear(97)); },
         "0",
         "LastChecked LastCheckedYear ",
         "LastChecked=0 LastCheckedYear=61 "},
        {{number("LastCheckedYear", 126), number("LastChecked", 9)},
         [] { return hex(lastCheckedForYear(126)); },
         "9",
         "",
         "LastChecked=9 LastCheckedYear=7e "},
        {{number("LastCheckedYear", 96), number("LastChecked", 24)},
         [] {
             recordProgress(97, 9);
             return ""s;
         },
         "",
         "LastCheckedYear LastChecked ",
         "LastChecked=9 LastCheckedYear=61 "},
    };
    DWORD protection; // the import slots are read-only
    VirtualProtect(&importedSetValue, sizeof importedSetValue, PAGE_READWRITE, &protection);
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; i++) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Brackwell");
        for (const Value &v : rows[i].before)
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, keyPath, v.name, v.type, v.bytes.data(),
                            v.bytes.size());
        stores.clear(), importedSetValue = recordingSetValue;
        std::string result = rows[i].call();
        importedSetValue = realSetValue;
        EXPECT_EQ(result + " / " + stores + "/ " + keyState(),
                  rows[i].result + " / " + rows[i].stored + "/ " + rows[i].after)
            << "row " << i + 1;
    }
}
