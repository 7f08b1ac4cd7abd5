// The settings dialog, the credits box and the floppy copy, driven through their buttons.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "calendar_fixture.h"
#include "dialogs/dialog_ids.h"

using namespace harness;

// The box is centred on the desktop, halves truncated, and shows the installed picture in its
// client area's top-left or bottom-right corner: along its diagonal, which a shift would spoil.
static bool showsPicture(HWND box, const char *name, bool bottomRight)
{
    const calendar::Picture &p = calendar::installedPicture(name);
    RECT desktop, area, client;
    HDC screen = GetDC(NULL);

    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(box, &area);
    GetClientRect(box, &client);
    POINT at = {bottomRight ? client.right - p.width : 0,
                bottomRight ? client.bottom - p.height : 0};
    int y = std::max(0L, -at.y);
    ClientToScreen(box, &at);
    while (y < p.height && GetPixel(screen, at.x + y * p.width / p.height, at.y + y) ==
                               p.at(y * p.width / p.height, y))
        y++;
    ReleaseDC(NULL, screen);
    return y == p.height && area.left == desktop.right / 2 + (area.left - area.right) / 2 &&
           area.top == desktop.bottom / 2 + (area.top - area.bottom) / 2;
}

// Every shown control lies inside the client area, whose top-left corner the picture reaches.
static bool fits(HWND dialog)
{
    RECT client, control, inside;
    HDC screen = GetDC(NULL);

    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, NULL, (POINT *)&client, 2);
    COLORREF corner = GetPixel(screen, client.left, client.top);
    ReleaseDC(NULL, screen);
    for (HWND c = GetWindow(dialog, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
        GetWindowRect(c, &control);
        IntersectRect(&inside, &control, &client);
        if (IsWindowVisible(c) && !EqualRect(&inside, &control))
            return false;
    }
    return corner != RGB(0, 0, 0);
}

TEST(Settings, ButtonsEndWithTheirResultShowTheCreditsAndCopyToAFloppy)
{
    const std::string installation = calendar::makeInstallation("dialogs");
    const std::string program = installation + "\\tindle.exe";
    const char *key = "Software\\Brackwell\\Tindle";
    Child owned;

    calendar::freshRegistry(installation);
    const unsigned long long before = keyWritten(HKEY_LOCAL_MACHINE, key);
    // The choice before (-1: none), dots per inch, the button after a click on the box; the choice.
    const struct {
        int stored, dpi, button;
        const char *after;
    } choices[] = {{-1, 96, IDOK, "0"}, {0, 144, IDCANCEL, "0"}, {0, 192, IDOK, "1"}};
    for (const auto &row : choices) {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, key, "Enlarge");
        if (row.stored >= 0)
            RegSetKeyValueA(HKEY_CURRENT_USER, key, "Enlarge", REG_DWORD, &row.stored,
                            sizeof row.stored);
        RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD,
                        &row.dpi, sizeof row.dpi);
        EXPECT_TRUE(owned.start(windowsPath(TINDLE_SCR), "/c:1234"));
        HWND settings = waitForWindow(owned.pid(), "#32770", SETTINGS_TITLE, 15000);
        EXPECT_EQ(IsDlgButtonChecked(settings, IDC_ENLARGE) == BST_CHECKED, row.stored != 0)
            << row.dpi;
        EXPECT_TRUE(waitUntil(5000, [&] { return fits(settings); })) << row.dpi;
        clickButton(settings, IDC_ENLARGE);
        clickButton(settings, row.button);
        EXPECT_EQ(owned.waitExit(15000), (DWORD)row.button) << row.dpi;
        EXPECT_EQ(registryText(HKEY_CURRENT_USER, key, "Enlarge"), row.after) << row.dpi;
    }
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
    EXPECT_EQ(keyWritten(HKEY_LOCAL_MACHINE, key), before);

    // A: has no disk, B: is a folder.  This saver may write files of 16 blocks of 512 bytes: a
    // copy fills the disk after two of its blocks, in its loop or, with a short last block that the
    // stream holds, at its close.
    ASSERT_TRUE(runShell("cd " TINDLE_BUILD_DIR
                         " && rm -f settings-status && mkdir -p e2e-floppy &&"
                         " ln -sfn $PWD/e2e-floppy $WINEPREFIX/dosdevices/b: &&"
                         " ln -sfn /nonexistent-floppy $WINEPREFIX/dosdevices/a: && (trap '' XFSZ;"
                         " ulimit -f 16; wine " TINDLE_SCR "; echo $? >settings-status) & true",
                         10000));
    HWND settings = NULL, box;
    DWORD pid = 0;
    ASSERT_TRUE(waitUntil(
        20000, [&] { return IsWindowVisible(settings = FindWindowA("#32770", SETTINGS_TITLE)); }));
    GetWindowThreadProcessId(settings, &pid);
    for (const char *shown :
         {"OK", "Cancel", "&Credits...", "&Duplicate...", "&Enlarge on large screens"})
        EXPECT_TRUE(IsWindowVisible(FindWindowExA(settings, NULL, NULL, shown))) << shown;
    for (const char *hidden : {"&Password Protect", "&Set Password..."})
        EXPECT_FALSE(IsWindowVisible(FindWindowExA(settings, NULL, NULL, hidden))) << hidden;
    EXPECT_TRUE(waitUntil(5000, [&] { return showsPicture(settings, "setup.bmp", true); }));
    for (WORD closing : {VK_RETURN, VK_ESCAPE}) {
        clickButton(settings, IDC_CREDITS);
        HWND credits = waitForWindow(pid, "#32770", "", 15000);
        EXPECT_TRUE(waitUntil(5000, [&] { return showsPicture(credits, "credits.bmp", false); }));
        SetForegroundWindow(credits);
        pressKey(closing);
        EXPECT_TRUE(credits && waitUntil(5000, [&] { return !IsWindow(credits); })) << closing;
    }

    // Whether InstallDir is set, the drive, the report, whether the wait box shows under it.
    const struct {
        bool installed;
        char drive;
        std::string report;
        bool waiting;
        int size, copied;
    } rows[] = {
        {true, 'B', "", false, 4096 + 100, 4096 + 100},
        {true, 'A', "Cannot open file A:\\tindle.exe for writing", true, 100, -1},
        {true, 'B', "Error writing to file B:\\tindle.exe. Perhaps the disk is full?", true,
         3 * 4096 + 100, 8192},
        {true, 'B', "Error writing to file B:\\tindle.exe. Perhaps the disk is full?", true,
         2 * 4096 + 100, 8192},
        {false, 'B', "Invalid installation - cannot find installation directory", false, 100, -1}};
    for (const auto &row : rows) {
        std::string source;
        for (int i = 0; i < row.size; i++)
            source.push_back((char)(i * 7 % 251));
        DeleteFileA("B:\\tindle.exe");
        std::ofstream(program, std::ios::binary) << source;
        calendar::freshRegistry(row.installed ? installation : "");
        ASSERT_TRUE(duplicateTo(pid, settings, row.drive)) << row.report;
        EXPECT_EQ(waitForErrorBox(pid, row.report.empty() ? 0 : 15000, &box),
                  row.report.empty() ? "" : "error, " + row.report);
        EXPECT_EQ(waitForWindow(pid, "#32770", FLOPPY_TITLE, 0) != NULL, row.waiting) << row.report;
        if (box != NULL)
            pressOk(box);
        EXPECT_TRUE(waitUntil(15000, [&] { return !waitForWindow(pid, NULL, FLOPPY_TITLE, 0); }))
            << row.report;
        EXPECT_TRUE(fileContents("B:\\tindle.exe") ==
                    (row.copied < 0 ? "<missing>" : source.substr(0, row.copied)))
            << row.report;
    }
    calendar::freshRegistry(installation);
    SetForegroundWindow(settings);
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(waitUntil(15000, [&] {
        return fileContents(windowsPath(TINDLE_BUILD_DIR "/settings-status")) == "2\n";
    }));
    runShell("rm -f $WINEPREFIX/dosdevices/a: $WINEPREFIX/dosdevices/b:", 10000);
}
