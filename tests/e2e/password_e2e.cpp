// The desktop's password protection as the real saver meets it: the test
// providers stand in for PASSWORD.CPL, copied beside a copy of the saver, and
// count each call in a file.
#include <gtest/gtest.h>

#include <algorithm>

#include "calendar_fixture.h"
#include "harness.h"

using namespace harness;

static const char DESKTOP_KEY[] = "Control Panel\\Desktop";
static const std::string work = std::string(TINDLE_BUILD_DIR) + "/e2e-password";

class Password : public ::testing::Test {
protected:
    void SetUp() override
    {
        calendar::freshRegistry(calendar::makeInstallation("password"));
        CreateDirectoryA(windowsPath(work).c_str(), NULL);
        DeleteFileA(calls.c_str());
        protect(1);
        SetCursorPos(400, 300);
    }

    void TearDown() override { protect(0); }

    static void protect(DWORD on)
    {
        HKEY key;

        RegCreateKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &key);
        if (on)
            RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD, (const BYTE *)&on, sizeof on);
        else
            RegDeleteValueA(key, "ScreenSaveUsePassword");
        RegCloseKey(key);
    }

    // The saver, beside the named provider when there is one.
    static std::string saverBeside(const std::string &provider)
    {
        std::string folder = windowsPath(work + "/" + provider);

        if (provider.empty())
            return windowsPath(TINDLE_SCR);
        CreateDirectoryA(folder.c_str(), NULL);
        CopyFileA(windowsPath(TINDLE_SCR).c_str(), (folder + "\\tindle.scr").c_str(), FALSE);
        CopyFileA(windowsPath(std::string(PASSWORD_PROVIDERS) + "/" + provider + "/PASSWORD.CPL").c_str(),
                  (folder + "\\PASSWORD.CPL").c_str(), FALSE);
        return folder + "\\tindle.scr";
    }

    HWND start(const std::string &provider, const char *answer, const char *arguments = "/s")
    {
        if (!saver.start(saverBeside(provider), arguments,
                         {std::string("TINDLE_PASSWORD_ANSWER=") + answer,
                          "TINDLE_PASSWORD_CALLS=" + calls}))
            return NULL;
        return waitForWindow(saver.pid(), "WindowsScreenSaverClass", "Screen Saver", 15000);
    }

    int callCount()
    {
        std::string log = fileContents(calls);

        return log == "<missing>" ? 0 : (int)std::count(log.begin(), log.end(), '\n');
    }

    const std::string calls = windowsPath(work + "/calls.txt");
    Child saver;
};

static bool cursorHidden()
{
    CURSORINFO cursor = {};

    cursor.cbSize = sizeof cursor;
    return GetCursorInfo(&cursor) && cursor.hCursor == NULL;
}

TEST_F(Password, ARefusalKeepsTheSaverAndKeysRightAfterItDoNotAskAgain)
{
    ASSERT_NE(start("password_provider", "refuse"), (HWND)NULL);
    pumpMessages(500);
    // All three keys are queued at once: the first asks, and the others
    // arrive within the quiet period after the refusal.
    pressKey('K', 3);
    EXPECT_TRUE(waitUntil(5000, [&] { return callCount() == 1; }));
    pumpMessages(500);
    EXPECT_EQ(callCount(), 1);
    EXPECT_TRUE(saver.running());
    EXPECT_TRUE(cursorHidden());

    pressKey('K');
    EXPECT_TRUE(waitUntil(5000, [&] { return callCount() == 2; }));
    pumpMessages(300);
    EXPECT_TRUE(saver.running());
}

TEST_F(Password, AnAcceptedPasswordClosesTheSaver)
{
    ASSERT_NE(start("password_provider", "accept"), (HWND)NULL);
    pumpMessages(500);
    pressKey('K');
    EXPECT_EQ(saver.waitExit(10000), 0u);
    EXPECT_EQ(callCount(), 1);
}

TEST_F(Password, WithoutAProviderOrItsEntryTheSaverClosesUnprotected)
{
    for (const char *provider : {"", "password_provider_without_entry"}) {
        SCOPED_TRACE(provider);
        ASSERT_NE(start(provider, "refuse"), (HWND)NULL);
        pumpMessages(500);
        pressKey('K');
        EXPECT_EQ(saver.waitExit(10000), 0u);
    }
}

TEST_F(Password, APreviewClosesWithoutAsking)
{
    HWND parent = CreateWindowA("STATIC", "Display Properties", WS_OVERLAPPED | WS_VISIBLE, 100,
                                100, 300, 250, NULL, NULL, NULL, NULL);
    char arguments[32];
    HWND preview = NULL;

    wsprintfA(arguments, "/p %u", (unsigned)(UINT_PTR)parent);
    ASSERT_TRUE(saver.start(saverBeside("password_provider"), arguments,
                            {"TINDLE_PASSWORD_ANSWER=refuse", "TINDLE_PASSWORD_CALLS=" + calls}));
    ASSERT_TRUE(waitUntil(15000, [&] {
        preview = FindWindowExA(parent, NULL, "WindowsScreenSaverClass", NULL);
        return preview != NULL;
    }));
    SetForegroundWindow(parent);
    pressKey('K');
    PostMessageA(preview, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.waitExit(10000), 0u);
    EXPECT_EQ(callCount(), 0);
    DestroyWindow(parent);
}

TEST_F(Password, ChangingThePasswordEndsWithStatusZero)
{
    HWND owner = CreateWindowA("STATIC", "Display Properties", WS_OVERLAPPED | WS_VISIBLE, 100,
                               100, 300, 250, NULL, NULL, NULL, NULL);
    char withOwner[32];

    wsprintfA(withOwner, "/a %u", (unsigned)(UINT_PTR)owner);
    for (const char *arguments : {"/a", (const char *)withOwner}) {
        SCOPED_TRACE(arguments);
        ASSERT_TRUE(saver.start(windowsPath(TINDLE_SCR), arguments));
        EXPECT_EQ(saver.waitExit(15000), 0u);
    }
    DestroyWindow(owner);
}
