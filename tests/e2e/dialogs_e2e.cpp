// The settings dialog, the credits box and the floppy copy of the real saver.
// Drive A: has no disk and B: is a folder of the build tree; each test
// installs its own tindle.exe to copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "calendar_fixture.h"
#include "dialogs/dialog_ids.h"
#include "harness.h"

using namespace harness;

static const char PROGRAM_KEY[] = "Software\\Brackwell\\Tindle";
static const char WAIT_TEXT[] = "Please wait. Copying installation program to your floppy disk....";
static const char COPY[] = "B:\\tindle.exe";

static void writeFile(const std::string &path, const std::string &data)
{
    std::ofstream(path, std::ios::binary) << data;
}

// The rule the two boxes share: the middle of the desktop, halves truncated.
static void expectCentred(HWND window)
{
    RECT desktop, area;

    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &area);
    EXPECT_EQ(area.left, desktop.right / 2 + (area.left - area.right) / 2);
    EXPECT_EQ(area.top, desktop.bottom / 2 + (area.top - area.bottom) / 2);
}

// Whether the window's client area shows the installed picture with its
// top-left corner at client point (left, top), as far as it fits.
static bool showsPicture(HWND window, const char *name, int left, int top)
{
    const calendar::Picture &picture = calendar::installedPicture(name);
    POINT origin = {calendar::originX(), calendar::originY()};
    RECT client;

    GetClientRect(window, &client);
    // The snapshot counts from the calendar's picture space.
    ScreenToClient(window, &origin);
    RECT area = {std::max(left, 0), std::max(top, 0),
                 std::min(left + picture.width(), (int)client.right),
                 std::min(top + picture.height(), (int)client.bottom)};
    OffsetRect(&area, -origin.x, -origin.y);
    return calendar::Snapshot().mismatches(picture, left - origin.x, top - origin.y, area) == 0;
}

class Dialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string floppy = std::string(TINDLE_BUILD_DIR) + "/e2e-floppy";

        CreateDirectoryA(windowsPath(floppy).c_str(), NULL);
        ASSERT_TRUE(runShell("cd $WINEPREFIX/dosdevices && ln -sfn " + floppy +
                                 " b: && ln -sfn /nonexistent-floppy a:",
                             10000));
    }

    static void TearDownTestSuite()
    {
        runShell("rm -f $WINEPREFIX/dosdevices/a: $WINEPREFIX/dosdevices/b:", 10000);
    }

    void SetUp() override
    {
        // Three full blocks and a part, not all text.
        for (int i = 0; i < 3 * 4096 + 100; i++)
            source.push_back((char)(i * 7 % 251));
        calendar::freshRegistry(installation);
        writeFile(installation + "\\tindle.exe", source);
        DeleteFileA(COPY);
    }

    HWND startSettings(const char *arguments)
    {
        if (!saver.start(windowsPath(TINDLE_SCR), arguments))
            return NULL;
        return waitForWindow(saver.pid(), "#32770", SETTINGS_TITLE, 15000);
    }

    // The copy's report while its wait box still shows (or, before the
    // copy, none), answered.
    void expectReport(const std::string &text, bool whileWaiting)
    {
        HWND box;
        bool waiting = false;

        EXPECT_EQ(waitForErrorBox(saver.pid(), 15000, &box), "error, " + text);
        for (HWND window : windowsOf(saver.pid()))
            waiting |= IsWindowVisible(window) && findControl(window, WAIT_TEXT) != NULL;
        EXPECT_EQ(waiting, whileWaiting);
        pressOk(box);
        EXPECT_TRUE(waitForNoWindow(saver.pid(), FLOPPY_TITLE, 15000));
    }

    const std::string installation = calendar::makeInstallation("dialogs");
    std::string source;
    Child saver;
};

TEST_F(Dialogs, SettingsShowItsButtonsAndPictureAndEndWithTheButtonsResult)
{
    struct {
        const char *arguments;
        void (*close)(HWND settings);
        DWORD status;
    } cases[] = {
        {"", [](HWND settings) { clickButton(settings, IDOK); }, 1},
        {"/c:1234", [](HWND settings) { clickButton(settings, IDCANCEL); }, 2},
        {"/c", [](HWND settings) {
             SetForegroundWindow(settings);
             pressKey(VK_ESCAPE);
         }, 2},
    };
    const std::string before = keyValues(HKEY_LOCAL_MACHINE, PROGRAM_KEY);

    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments);
        HWND settings = startSettings(c.arguments);
        RECT client;

        ASSERT_NE(settings, (HWND)NULL);
        for (const char *shown : {"OK", "Cancel", "&Credits...", "&Duplicate..."})
            EXPECT_TRUE(IsWindowVisible(findControl(settings, shown))) << shown;
        for (const char *hidden : {"&Password Protect", "&Set Password..."}) {
            EXPECT_NE(findControl(settings, hidden), (HWND)NULL) << hidden;
            EXPECT_FALSE(IsWindowVisible(findControl(settings, hidden))) << hidden;
        }
        expectCentred(settings);
        GetClientRect(settings, &client);
        const calendar::Picture &setup = calendar::installedPicture("setup.bmp");
        EXPECT_TRUE(waitUntil(5000, [&] {
            return showsPicture(settings, "setup.bmp", client.right - setup.width(),
                                client.bottom - setup.height());
        }));
        c.close(settings);
        EXPECT_EQ(saver.waitExit(15000), c.status);
        EXPECT_EQ(keyValues(HKEY_LOCAL_MACHINE, PROGRAM_KEY), before);
    }
}

TEST_F(Dialogs, CreditsShowTheirPictureInACentredBoxThatEnterAndEscapeClose)
{
    HWND settings = startSettings("/c");

    ASSERT_NE(settings, (HWND)NULL);
    for (WORD key : {VK_RETURN, VK_ESCAPE}) {
        clickButton(settings, IDC_CREDITS);
        // The box has no caption, so no title either.
        HWND credits = waitForWindow(saver.pid(), "#32770", "", 15000);
        ASSERT_NE(credits, (HWND)NULL);
        EXPECT_EQ((DWORD)GetWindowLongA(credits, GWL_STYLE) & WS_CAPTION, (DWORD)WS_BORDER);
        EXPECT_EQ(GetWindow(credits, GW_OWNER), settings);
        EXPECT_TRUE(IsWindowVisible(findControl(credits, "OK")));
        expectCentred(credits);
        EXPECT_TRUE(waitUntil(5000, [&] { return showsPicture(credits, "credits.bmp", 0, 0); }));
        SetForegroundWindow(credits);
        pressKey(key);
        EXPECT_TRUE(waitUntil(5000, [&] { return !IsWindow(credits); })) << key;
        EXPECT_TRUE(IsWindowVisible(settings));
    }
    clickButton(settings, IDOK);
    EXPECT_EQ(saver.waitExit(15000), 1u);
}

TEST_F(Dialogs, DuplicateCopiesToTheChosenDriveAndReportsWhatGoesWrong)
{
    HWND settings = startSettings("/c");

    ASSERT_NE(settings, (HWND)NULL);
    ASSERT_TRUE(duplicateTo(saver.pid(), settings, 'B'));
    EXPECT_TRUE(waitForNoWindow(saver.pid(), FLOPPY_TITLE, 15000));
    EXPECT_TRUE(fileContents(COPY) == source);

    // The drive box starts at "A:" again; A: has no disk.
    ASSERT_TRUE(duplicateTo(saver.pid(), settings, 'A'));
    expectReport("Cannot open file A:\\tindle.exe for writing", true);

    writeFile(installation + "\\tindle.exe", "");
    ASSERT_TRUE(duplicateTo(saver.pid(), settings, 'B'));
    EXPECT_TRUE(waitForNoWindow(saver.pid(), FLOPPY_TITLE, 15000));
    EXPECT_TRUE(fileContents(COPY).empty());

    HKEY key;
    RegOpenKeyA(HKEY_LOCAL_MACHINE, PROGRAM_KEY, &key);
    RegDeleteValueA(key, "InstallDir");
    RegCloseKey(key);
    ASSERT_TRUE(duplicateTo(saver.pid(), settings, 'B'));
    expectReport("Invalid installation - cannot find installation directory", false);
    EXPECT_TRUE(saver.running());
    EXPECT_TRUE(IsWindowVisible(settings));
    clickButton(settings, IDOK);
    EXPECT_EQ(saver.waitExit(15000), 1u);
}

TEST_F(Dialogs, AFullDiskIsReportedAndThePartialCopyStays)
{
    HWND settings = NULL;
    DWORD pid = 0;

    // Files of the saver alone may not grow beyond 16 blocks of 512 bytes:
    // the disk is full after two blocks of the copy.
    ASSERT_TRUE(startShell("trap '' XFSZ; ulimit -f 16; exec wine " + std::string(TINDLE_SCR) + " /c"));
    ASSERT_TRUE(waitUntil(20000, [&] {
        settings = FindWindowA("#32770", SETTINGS_TITLE);
        return settings != NULL && IsWindowVisible(settings);
    }));
    GetWindowThreadProcessId(settings, &pid);
    ASSERT_TRUE(saver.adopt(pid));
    ASSERT_TRUE(duplicateTo(pid, settings, 'B'));
    expectReport("Error writing to file B:\\tindle.exe. Perhaps the disk is full?", true);
    std::string partial = fileContents(COPY);
    EXPECT_EQ(partial.size(), 8192u);
    EXPECT_TRUE(source.compare(0, partial.size(), partial) == 0);
    clickButton(settings, IDCANCEL);
    EXPECT_EQ(saver.waitExit(15000), 2u);
}
