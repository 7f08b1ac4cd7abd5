// The product as a user gets it.  product-loop runs FirstMachine and
// SecondMachine in two fresh Wine prefixes that share a floppy disk as A:.
// The first machine installs tindle.exe silently, runs the installed saver
// the way the desktop does and duplicates the installer to the floppy; the
// second installs from that copy into a directory of its choice, making it
// the current saver, and uninstalls it again.  The tests of a machine run in
// order, each on what the one before left.
#include <gtest/gtest.h>

#include "harness.h"

using namespace harness;

static const char PREFS_KEY[] = "Software\\Brackwell\\Tindle";
static const char UNINSTALL_KEY[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tindle Advent";
static const char DESKTOP_KEY[] = "Control Panel\\Desktop";
static const char FLOPPY_COPY[] = "A:\\tindle.exe";

// Where the desktop finds the saver.
static std::string systemSaver()
{
    char directory[MAX_PATH];

    GetSystemDirectoryA(directory, sizeof directory);
    return std::string(directory) + "\\tindle.scr";
}

static std::string programFiles()
{
    char directory[MAX_PATH] = "";

    GetEnvironmentVariableA("ProgramFiles", directory, sizeof directory);
    return directory;
}

// What the installation directory holds besides the uninstaller.
static std::vector<std::string> productFiles()
{
    std::vector<std::string> names = {"tindle.scr", "tindle.exe",   "active.bmp",
                                      "clickall.bmp", "clikhere.bmp", "credits.bmp",
                                      "plate.bmp",  "pud.bmp",      "setup.bmp",
                                      "theend.bmp"};
    char clip[16];

    for (int day = 1; day <= 24; day++) {
        wsprintfA(clip, "%02d.avi", day);
        names.push_back(clip);
    }
    return names;
}

// Runs an installer or uninstaller; its exit status, or STILL_ACTIVE.
static DWORD run(const std::string &program, const std::string &arguments)
{
    Child child;

    if (!child.start(program, arguments))
        return (DWORD)-2;
    return child.waitExit(120000);
}

// Everything a completed installation into directory leaves.
static void expectInstalledIn(const std::string &directory, const std::string &installer)
{
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, PREFS_KEY, "InstallDir"), directory);
    for (const std::string &name : productFiles())
        EXPECT_TRUE(fileExists(directory + "\\" + name)) << name;
    EXPECT_TRUE(fileExists(directory + "\\uninstall.exe"));
    // Duplicate hands on exactly the installer that was run.
    EXPECT_TRUE(fileContents(directory + "\\tindle.exe") == fileContents(installer));
    EXPECT_TRUE(fileContents(systemSaver()) == fileContents(windowsPath(TINDLE_SCR)));
    EXPECT_TRUE(fileContents(directory + "\\tindle.scr") == fileContents(windowsPath(TINDLE_SCR)));
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"),
              "\"" + directory + "\\uninstall.exe\"");
}

// The desktop's full-screen start: the saver comes up and a key ends it.
static void expectFullScreenRun(const std::string &saverPath)
{
    Child saver;

    SetCursorPos(400, 300);
    ASSERT_TRUE(saver.start(saverPath, "/s"));
    ASSERT_NE(waitForWindow(saver.pid(), "WindowsScreenSaverClass", "Screen Saver", 15000),
              (HWND)NULL);
    pumpMessages(500);
    pressKey(VK_SPACE);
    EXPECT_EQ(saver.waitExit(15000), 0u);
}

TEST(FirstMachine, ASilentInstallPutsTheSaverWhereTheDesktopFindsIt)
{
    const std::string directory = programFiles() + "\\Tindle Advent";

    ASSERT_EQ(run(windowsPath(TINDLE_INSTALLER), "/S"), 0u);
    expectInstalledIn(directory, windowsPath(TINDLE_INSTALLER));
    // A silent install asked for nothing more does not change the saver.
    EXPECT_NE(registryText(HKEY_CURRENT_USER, DESKTOP_KEY, "SCRNSAVE.EXE"), systemSaver());
}

TEST(FirstMachine, InstallingAgainFromTheInstalledCopyKeepsIt)
{
    const std::string directory = programFiles() + "\\Tindle Advent";

    ASSERT_EQ(run(directory + "\\tindle.exe", "/S"), 0u);
    expectInstalledIn(directory, windowsPath(TINDLE_INSTALLER));
}

TEST(FirstMachine, TheInstallerWindowOffersToMakeItTheCurrentSaver)
{
    Child installer;
    HWND setup = NULL, offer = NULL;

    ASSERT_TRUE(installer.start(windowsPath(TINDLE_INSTALLER), ""));
    // Each page adds its own words (here a blank) to the title.
    ASSERT_TRUE(waitUntil(15000, [&] {
        for (HWND window : windowsOf(installer.pid()))
            if (IsWindowVisible(window) && windowTitle(window).rfind("Tindle Advent Setup", 0) == 0)
                setup = window;
        return setup != NULL;
    }));
    // The directory page's Install, then the last page's Finish.
    PostMessageA(setup, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntil(30000, [&] {
        offer = findControl(setup, "Make Tindle Advent the current screen saver");
        return offer != NULL && IsWindowVisible(offer);
    }));
    EXPECT_EQ(SendMessageA(offer, BM_GETCHECK, 0, 0), BST_CHECKED);
    PostMessageA(setup, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(installer.waitExit(30000), 0u);
    EXPECT_EQ(registryText(HKEY_CURRENT_USER, DESKTOP_KEY, "SCRNSAVE.EXE"), systemSaver());
}

TEST(FirstMachine, TheDesktopRunsTheInstalledSaverFullScreenAndAsPreview)
{
    expectFullScreenRun(systemSaver());

    HWND parent = CreateWindowA("STATIC", "Display Properties", WS_OVERLAPPED | WS_VISIBLE, 100,
                                100, 300, 250, NULL, NULL, NULL, NULL);
    char arguments[32];
    Child saver;

    ASSERT_NE(parent, (HWND)NULL);
    wsprintfA(arguments, "/p %u", (unsigned)(UINT_PTR)parent);
    ASSERT_TRUE(saver.start(systemSaver(), arguments));
    EXPECT_TRUE(waitUntil(15000, [&] {
        return FindWindowExA(parent, NULL, "WindowsScreenSaverClass", "Preview") != NULL;
    }));
    DestroyWindow(parent);
    EXPECT_EQ(saver.waitExit(15000), 0u);
}

TEST(FirstMachine, DuplicateCopiesTheInstallerToTheFloppyInDriveA)
{
    const std::string installed = programFiles() + "\\Tindle Advent\\tindle.exe";
    HWND owner = CreateWindowA("STATIC", "Display Properties", WS_OVERLAPPED | WS_VISIBLE, 100,
                               100, 300, 250, NULL, NULL, NULL, NULL);
    char arguments[32];
    Child saver;
    HWND settings;

    ASSERT_FALSE(fileExists(FLOPPY_COPY));
    wsprintfA(arguments, "/c:%u", (unsigned)(UINT_PTR)owner);
    ASSERT_TRUE(saver.start(systemSaver(), arguments));
    settings = waitForWindow(saver.pid(), "#32770", SETTINGS_TITLE, 15000);
    ASSERT_NE(settings, (HWND)NULL);
    ASSERT_TRUE(duplicateTo(saver.pid(), settings, 'A'));
    EXPECT_TRUE(fileContents(FLOPPY_COPY) == fileContents(installed));
    EXPECT_TRUE(waitForNoWindow(saver.pid(), FLOPPY_TITLE, 15000));
    pressOk(settings);
    EXPECT_EQ(saver.waitExit(15000), 1u);
    DestroyWindow(owner);
}

TEST(SecondMachine, InstallingFromTheFloppyIntoAChosenDirectoryMakesItTheCurrentSaver)
{
    ASSERT_TRUE(fileExists(FLOPPY_COPY));
    ASSERT_EQ(run(FLOPPY_COPY, "/S /ACTIVATE /D=C:\\Tindle"), 0u);
    expectInstalledIn("C:\\Tindle", FLOPPY_COPY);
    EXPECT_TRUE(fileContents(FLOPPY_COPY) == fileContents(windowsPath(TINDLE_INSTALLER)));
    EXPECT_EQ(registryText(HKEY_CURRENT_USER, DESKTOP_KEY, "SCRNSAVE.EXE"), systemSaver());
}

TEST(SecondMachine, TheDesktopStartsTheSaverItWasGiven)
{
    expectFullScreenRun(registryText(HKEY_CURRENT_USER, DESKTOP_KEY, "SCRNSAVE.EXE"));
}

TEST(SecondMachine, UninstallingLeavesNothingBehind)
{
    std::string quiet = registryText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "QuietUninstallString");
    size_t end = quiet.find('"', 1);

    ASSERT_EQ(quiet.substr(0, 1), "\"");
    ASSERT_NE(end, std::string::npos);
    // The uninstaller hands over to a copy of itself outside the directory it
    // removes and ends at once; what counts is what is gone afterwards.
    ASSERT_EQ(run(quiet.substr(1, end - 1), quiet.substr(end + 2)), 0u);
    EXPECT_TRUE(waitUntil(60000, [] {
        return !fileExists("C:\\Tindle") && !keyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    }));
    EXPECT_FALSE(fileExists(systemSaver()));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, PREFS_KEY));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "Software\\Brackwell"));
    EXPECT_EQ(registryText(HKEY_CURRENT_USER, DESKTOP_KEY, "SCRNSAVE.EXE"), "<missing>");
    // The floppy is the user's: it stays as it was.
    EXPECT_TRUE(fileContents(FLOPPY_COPY) == fileContents(windowsPath(TINDLE_INSTALLER)));
}
