// The product as a user gets it, run by product-loop on two fresh Wine
// prefixes (machines) that share a floppy disk as A:.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "dialogs/dialog_ids.h"
#include "harness.h"

using namespace harness;
using namespace std::string_literals;

static const char PREFS[] = "Software\\Brackwell\\Tindle", FLOPPY_COPY[] = "A:\\tindle.exe";
static const char UNINSTALL[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tindle Advent";
// As the desktop names it; this 32-bit test reads the directory behind that name through sysnative.
static const std::string SYSTEM_SAVER = std::string(getenv("windir")) + "\\system32\\tindle.scr";
static const std::string SYSTEM_SAVER_FILE =
    std::string(getenv("windir")) + "\\sysnative\\tindle.scr";
static const std::string DEFAULT_DIR = std::string(getenv("ProgramFiles")) + "\\Tindle Advent";
static const std::string INSTALLER = windowsPath(TINDLE_BUILD_DIR "/tindle.exe"),
                         SCR = windowsPath(TINDLE_SCR);
static const wchar_t SESSION[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                     PENDING[] = L"PendingFileRenameOperations";

#define EXPECT_SAME_FILE(a, b)                                                                     \
    EXPECT_TRUE(fileContents(a) == fileContents(b) && fileExists(a)) << (a)
static std::string value(const char *key, const char *name)
{
    return registryText(HKEY_LOCAL_MACHINE, key, name);
}
static std::string saver()
{
    return registryText(HKEY_CURRENT_USER, "Control Panel\\Desktop", "SCRNSAVE.EXE");
}
// What waits for a restart, byte for byte, as a list of texts that may be damaged.
static std::string pending()
{
    char data[512];
    DWORD size = sizeof data;
    return SHGetValueW(HKEY_LOCAL_MACHINE, SESSION, PENDING, NULL, data, &size)
               ? "<missing>"
               : std::string(data, size);
}
// The bytes of texts, less the high byte of the last character for an odd length.
static std::string bytes(const std::wstring &texts, bool odd = false)
{
    return std::string((const char *)texts.data(), texts.size() * 2 - odd);
}
// The exit status, or STILL_ACTIVE after a minute; poke runs meanwhile.
static DWORD run(
    const std::string &program, const std::string &arguments, std::function<void()> poke = [] {})
{
    Child child;
    return child.start(program, arguments) && waitUntil(60000,
                                                        [&] {
                                                            poke();
                                                            return !child.running();
                                                        })
               ? child.waitExit(0)
               : STILL_ACTIVE;
}

// What installer leaves in directory and the registry; values are the
// calendar's LastChecked, LastCheckedYear, Advent, Twelve and the desktop's saver.
static void expectInstalled(const std::string &directory, const std::string &installer,
                            const std::string &values)
{
    for (auto &file : std::filesystem::directory_iterator(TINDLE_CONTENT))
        EXPECT_SAME_FILE(directory + "\\" + file.path().filename().string(), file.path().string());
    // Duplicate hands on exactly the installer that was run.
    EXPECT_SAME_FILE(directory + "\\tindle.exe", installer);
    EXPECT_SAME_FILE(directory + "\\tindle.scr", SCR);
    EXPECT_SAME_FILE(SYSTEM_SAVER_FILE, SCR);
    EXPECT_EQ(value(PREFS, "InstallDir"), directory);
    EXPECT_EQ(value(PREFS, "LastChecked") + "," + value(PREFS, "LastCheckedYear") + "," +
                  value(PREFS, "Advent") + "," + value(PREFS, "Twelve") + "," + saver(),
              values);
    const std::string uninstaller = "\"" + directory + "\\uninstall.exe\"";
    EXPECT_EQ(value(UNINSTALL, "UninstallString") + value(UNINSTALL, "QuietUninstallString"),
              uninstaller + uninstaller + " /S");
    // Where every user's saver reads from is for administrators to change:
    // the key has no rights of its own beyond those it inherits.
    EXPECT_NE(keyRights(PREFS), "<missing>");
    EXPECT_EQ(keyRights(PREFS), keyRights("Software\\Brackwell"));
}

TEST(FirstMachine, InstallRunAndDuplicate)
{
    ASSERT_EQ(run(INSTALLER, "/S"), 0u);
    expectInstalled(DEFAULT_DIR, INSTALLER, "0,96,0,0,<missing>");
    // Installing again from the installed copy in its window (Install, then
    // Finish with its offer as it comes) keeps the copy and the progress.  It
    // takes out the entry by which an earlier version let Users set values
    // and create subkeys, and goes where the last installation went, not to a
    // directory that a user may have set meanwhile.
    setKeyRights(PREFS, keyRights(PREFS) + "(A;OICI;0x2001f;;;BU)");
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, PREFS, "InstallDir", REG_SZ, "C:\\users\\Public", 16);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, PREFS, "LastChecked", REG_DWORD, "\x09\0\0", 4);
    EXPECT_EQ(run(DEFAULT_DIR + "\\tindle.exe", "",
                  [] { pressOk(FindWindowA("#32770", "Tindle Advent Setup ")); }),
              0u);
    expectInstalled(DEFAULT_DIR, INSTALLER, "9,96,0,0," + SYSTEM_SAVER);
    EXPECT_EQ(run(saver(), "/s", [] { pressKey(VK_SPACE); }), 0u);

    Child settings;
    ASSERT_TRUE(settings.start(SYSTEM_SAVER, "/c"));
    HWND box = waitForWindow(0, "#32770", SETTINGS_TITLE, 30000);
    EXPECT_TRUE(duplicateTo(settings.pid(), box, 'A'));
    EXPECT_SAME_FILE(FLOPPY_COPY, INSTALLER);
    pressOk(box);
    EXPECT_EQ(settings.waitExit(30000), 1u);
    // Run in place (_?=), the uninstaller holds its own file, which then goes
    // at the next restart: quiet, it must not wait for the user to hear that.
    EXPECT_EQ(run(DEFAULT_DIR + "\\uninstall.exe", "/S _?=" + DEFAULT_DIR), 0u);
}

// Held open for no one else to share while the handle lasts.
static HANDLE newFile(const char *path)
{
    return CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
}

TEST(SecondMachine, InstallFromTheFloppyUninstallWhileThePreviewRunsAndInstallAgain)
{
    // An installation that fails part way (another program holds the file
    // that its copy goes to) leaves what its uninstaller removes.
    CreateDirectoryA("C:\\Tindle", NULL);
    HANDLE held = newFile("C:\\Tindle\\tindle.exe");
    EXPECT_NE(run(FLOPPY_COPY, "/S /D=C:\\Tindle"), 0u);
    EXPECT_EQ(value(UNINSTALL, "QuietUninstallString"), "\"C:\\Tindle\\uninstall.exe\" /S");
    EXPECT_TRUE(fileExists("C:\\Tindle\\uninstall.exe"));
    CloseHandle(held);

    ASSERT_EQ(run(FLOPPY_COPY, "/S /ACTIVATE /D=C:\\Tindle"), 0u);
    expectInstalled("C:\\Tindle", FLOPPY_COPY, "0,96,0,0," + SYSTEM_SAVER);
    EXPECT_EQ(run(saver(), "/s", [] { pressKey(VK_SPACE); }), 0u);
    // Installing again takes out of what waits for a restart the pairs of texts (file, then
    // where it goes) that name its files; the rest of a damaged list stays byte for byte.
    const std::wstring ours = L"\\??\\C:\\Tindle\\tindle.scr\0\0"s, other = L"\\??\\C:\\Other\\xy"s;
    const struct {
        const char *what;
        std::string before, after;
    } lists[] = {{"odd length", bytes(ours + other, true), bytes(other, true)},
                 {"missing terminators", bytes(ours + other + L"\0"s + other),
                  bytes(other + L"\0"s + other)},
                 {"a lone first text", bytes(ours + other + L"\0"s), bytes(other + L"\0"s)},
                 {"empty", "", ""},
                 {"nothing of ours", bytes(other, true), bytes(other, true)},
                 {"only ours", bytes(ours + L"\0"s), "<missing>"}};
    for (const auto &list : lists) {
        // Not 0 after the data, for which RegSetKeyValueW would end a text left open.
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, SESSION, PENDING, REG_MULTI_SZ,
                        (list.before + "\xff\xff").data(), list.before.size());
        EXPECT_EQ(run(FLOPPY_COPY, "/S /D=C:\\Tindle"), 0u);
        EXPECT_EQ(pending(), list.after) << list.what;
    }
    // The uninstaller ends the preview, which reads the saver's values at
    // every mouse move over it and would create the key again.  A file that
    // another program holds goes at the next restart, and the user is told;
    // the user's own file stays.
    jumpTo(100, 100);
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, 0, 0, 0, 0),
         told;
    char text[256] = "";
    int step = 1;
    Child preview, uninstaller;
    ASSERT_TRUE(preview.start(SYSTEM_SAVER, "/p " + std::to_string((UINT_PTR)owner)) &&
                waitUntil(30000, [&] {
                    return FindWindowExA(owner, NULL, "WindowsScreenSaverClass", "Preview");
                }));
    held = CreateFileA(SYSTEM_SAVER_FILE.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                       OPEN_EXISTING, 0, NULL);
    CloseHandle(newFile("C:\\Tindle\\notes.txt"));
    uninstaller.start("C:\\Tindle\\uninstall.exe", "");
    HWND page = waitForWindow(0, "#32770", "Tindle Advent Uninstall ", 30000);
    pressOk(page);
    auto wiggle = [&] {
        step = -step;
        moveMouseBy(step, 0);
    };
    ASSERT_TRUE(waitUntil(30000, [&] {
        wiggle();
        return told = FindWindowA("#32770", "Tindle Advent Uninstall");
    }));
    GetDlgItemTextA(told, 0xFFFF, text, sizeof text);
    EXPECT_TRUE(strstr(text, "restart")) << text;
    pressOk(told);
    EXPECT_TRUE(waitUntil(30000, [&] {
        wiggle();
        pressOk(page);
        return !IsWindow(page);
    }));
    EXPECT_FALSE(preview.running());
    EXPECT_EQ(keyWritten(HKEY_LOCAL_MACHINE, "Software\\Brackwell"), 0u);
    EXPECT_EQ(value(UNINSTALL, "UninstallString") + saver(), "<missing><missing>");
    DestroyWindow(owner);
    CloseHandle(held);

    // Installing again before the restart takes back the removals waiting
    // for it that name its files, and leaves the others.
    CloseHandle(newFile("C:\\Tindle\\old.txt"));
    MoveFileExA("C:\\Tindle\\old.txt", NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    EXPECT_EQ(run(FLOPPY_COPY, "/S /D=C:\\Tindle"), 0u);
}

// product-loop starts the second machine again, which carries out what waits
// for the restart.
TEST(AfterRestart, TheInstallationStaysAndItsUninstallerLeavesNothing)
{
    expectInstalled("C:\\Tindle", FLOPPY_COPY, "0,96,0,0,<missing>");
    EXPECT_FALSE(fileExists("C:\\Tindle\\old.txt"));
    // With nothing in use, the uninstaller (run from a copy, as it copies
    // itself) leaves nothing for a restart and the user's file where it is.
    const std::string copy = std::string(getenv("TEMP")) + "\\uninstall.exe";
    CopyFileA("C:\\Tindle\\uninstall.exe", copy.c_str(), FALSE);
    EXPECT_EQ(run(copy, "/S _?=C:\\Tindle"), 0u);
    EXPECT_EQ(pending(), "<missing>");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("C:\\Tindle"), {}), 1);
    EXPECT_TRUE(fileExists("C:\\Tindle\\notes.txt") && !fileExists(SYSTEM_SAVER_FILE));
    EXPECT_EQ(keyWritten(HKEY_LOCAL_MACHINE, "Software\\Brackwell"), 0u);
    EXPECT_EQ(value(UNINSTALL, "UninstallString") + saver(), "<missing><missing>");
    // The floppy is the user's: it stays as it was.
    EXPECT_SAME_FILE(FLOPPY_COPY, INSTALLER);
}
