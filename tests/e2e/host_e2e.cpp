// The saver as the desktop drives it: command lines, windows, input, password protection and the
// "Error" box.  The test provider logs each question, so that a close request is seen.
#include <gtest/gtest.h>

#include "calendar_fixture.h"
#include "support/report.h"

using namespace harness;

// Run as "desktop_e2e --report CATEGORY TEXT", this program makes one report as the saver does.
static const bool probe = strstr(GetCommandLineA(), " --report ") && []() -> bool {
    char *text;
    unsigned category = strtoul(strstr(GetCommandLineA(), " --report ") + 10, &text, 10);
    reportError(category, "%s", text + 1);
    ExitProcess(42);
}();

static const std::string calls = windowsPath(std::string(TINDLE_BUILD_DIR) + "/password-calls");
static const char JULY[] = "2026-07-01 12:00:00"; // no season: all input is the host's

// Protection ends with the tests.
static const int unprotect = atexit([] {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword");
});

// The provider the saver finds is PASSWORD.CPL in the directory it inherits.
static void prepare(DWORD protection, const std::string &provider)
{
    calendar::freshRegistry(calendar::makeInstallation("host"));
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", REG_DWORD,
                    &protection, sizeof protection);
    SetCurrentDirectoryA(windowsPath(std::string(PASSWORD_PROVIDERS) + "/" + provider).c_str());
    SetEnvironmentVariableA("TINDLE_PASSWORD_CALLS", calls.c_str());
    DeleteFileA(calls.c_str());
    DeleteFileA((calls + ".yes").c_str());
}

static size_t asked()
{
    return fileExists(calls) ? fileContents(calls).size() : 0;
}

TEST(Host, CommandLinesThatEndAtOnceAndReportsEndWithTheirStatus)
{
    // Side by side: a Wine start takes a second.  "/p:1234" reads as window 0; no window 1.
    const std::string saver = windowsPath(TINDLE_SCR), self = _pgmptr;
    const struct {
        const std::string &program;
        const char *arguments, *box;
        int status;
    } rows[] = {{saver, "/x", "", -1},
                {saver, "/\ts", "", -1},
                {saver, "/p:1234", "", -1},
                {saver, "/l 1", "", -1},
                {saver, "-A", "", 0},
                {self, "--report 18 Cannot load C:\\x.bmp",
                 "error, resource unavailable, Cannot load C:\\x.bmp", 3},
                {self, "--report 8 no room", "error, out of memory, no room", 42}};
    Child children[std::size(rows)];
    HWND box;

    for (size_t i = 0; i < std::size(rows); i++)
        ASSERT_TRUE(children[i].start(rows[i].program, rows[i].arguments));
    for (size_t i = 0; i < std::size(rows); i++) {
        EXPECT_EQ(waitForErrorBox(children[i].pid(), *rows[i].box ? 15000 : 0, &box), rows[i].box);
        EXPECT_TRUE(!box || GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) << "system-modal";
        pressOk(box);
        EXPECT_EQ(children[i].waitExit(15000), (DWORD)rows[i].status) << rows[i].arguments;
    }
}

TEST(Host, FullScreenClosesUnlessTheProviderRefusesAsksOnceForEachCloseAndAPreviewNever)
{
    ASSERT_TRUE(monitorsAsSetUp());
    const struct {
        DWORD on;
        const char *provider, *arguments;
    } unprotected[] = {
        {0, "password_provider", "/s"}, {1, "", "s"}, {1, "password_provider_without_entry", "/S"}};
    Child saver, second;

    for (const auto &row : unprotected) {
        prepare(row.on, row.provider);
        HWND window = calendar::startSaver(saver, JULY, row.arguments);
        ASSERT_TRUE(waitUntil(5000, [&] { return window && GetForegroundWindow() == window; }));
        pressKey(VK_SHIFT);
        EXPECT_EQ(saver.waitExit(10000), 0u) << row.provider << " " << row.on;
        EXPECT_EQ(asked(), 0u);
    }

    prepare(1, "password_provider");
    HWND window = calendar::startSaver(saver, JULY, " / s extra");
    RECT screen = calendar::allMonitors(), area, client;
    EXPECT_TRUE(GetWindowRect(window, &area) && EqualRect(&area, &screen));
    EXPECT_EQ((DWORD)GetWindowLongA(window, GWL_STYLE), 0x96000000u);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SendMessageA(window, WM_SETTEXT, 0, (LPARAM) "changed");
    EXPECT_EQ(waitForWindow(saver.pid(), NULL, "Screen Saver", 0), window);
    ASSERT_TRUE(second.start(windowsPath(TINDLE_CLOCK_SCR), "-S"));
    EXPECT_EQ(second.waitExit(15000), 0u) << "a second start finds the first and ends";
    // A preview meanwhile fills its parent and closes without asking.
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 100, 100, 152, 112, NULL, NULL, NULL, NULL),
         preview = NULL;
    ASSERT_TRUE(
        second.start(windowsPath(TINDLE_CLOCK_SCR), "/p " + std::to_string((UINT_PTR)parent)));
    ASSERT_TRUE(waitUntil(15000, [&] {
        return (preview = FindWindowExA(parent, NULL, "WindowsScreenSaverClass", "Preview"));
    }));
    GetClientRect(parent, &client);
    EXPECT_TRUE(GetWindowRect(preview, &area) && MapWindowPoints(NULL, parent, (POINT *)&area, 2) &&
                EqualRect(&area, &client));
    PostMessageA(preview, WM_CLOSE, 0, 0);
    EXPECT_EQ(second.waitExit(10000), 0u);
    DestroyWindow(parent);
    EXPECT_EQ(asked(), 0u);

    const struct {
        const char *input;
        void (*send)();
        size_t questions;
    } rows[] = {
        {"a jump to the corner picture",
         [] { jumpTo(calendar::originX() + 585, calendar::originY() + 430); }, 1},
        {"a click there, outside the seasons", [] { mouseButton(MOUSEEVENTF_LEFTDOWN); }, 1},
        {"a jump to another monitor, if any", [] { calendar::moveTo(monitors().back()); }, 1},
        {"a click there", [] { mouseButton(MOUSEEVENTF_LEFTDOWN); }, 1},
        {"right button", [] { mouseButton(MOUSEEVENTF_RIGHTDOWN); }, 1},
        {"middle button", [] { mouseButton(MOUSEEVENTF_MIDDLEDOWN); }, 1},
        {"a key", [] { pressKey(VK_SHIFT); }, 1},
        {"Alt", [] { pressKey(VK_MENU); }, 1},
        {"three keys at once: the quiet period after a refusal", [] { pressKey('K', 3); }, 1}};
    for (const auto &row : rows) {
        size_t before = asked();

        row.send();
        // The pause after the questions outlasts the quiet period.
        waitUntil(5000, [&] { return asked() - before >= row.questions; });
        pumpMessages(500);
        EXPECT_EQ(asked() - before, row.questions) << row.input;
        ASSERT_TRUE(IsWindowVisible(window)) << row.input;
    }
    CloseHandle(
        CreateFileA((calls + ".yes").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    pressKey(VK_SHIFT);
    EXPECT_EQ(saver.waitExit(10000), 0u);
}
