// The product as a user gets it.  product-loop runs FirstMachine and
// SecondMachine in two fresh Wine prefixes that share a floppy disk as A:.
// The first machine installs tindle.exe silently, runs the installed saver
// the way the desktop does and duplicates the installer to the floppy; the
// second installs from that copy into a directory of its choice, making it
// the current saver, and uninstalls it again.  The tests of a machine run in
// order, each on what the one before left.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "harness.h"

using namespace harness;

static const char PREFS_KEY[] = "Software\\Brackwell\\Tindle";
static const char UNINSTALL_KEY[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tindle Advent";
static const char DESKTOP_KEY[] = "Control Panel\\Desktop";
static const char FLOPPY_COPY[] = "A:\\tindle.exe";
static const char SETTINGS_TITLE[] = "Tindle Screen Saver Settings";
static const char DRIVE_TITLE[] = "Tindle Advent Screen Saver";

// The whole file, or "<missing>" when it cannot be read.
static std::string contents(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);

    if (!file)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

static bool exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

static bool keyExists(HKEY root, const char *path)
{
    HKEY key;

    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A text value, or "<missing>".
static std::string readText(HKEY root, const char *path, const char *name)
{
    char text[1024];
    DWORD size = sizeof text - 1, type = 0;
    HKEY key;
    LONG status;

    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    status = RegQueryValueExA(key, name, NULL, &type, (BYTE *)text, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return "<missing>";
    text[size] = '\0';
    return text;
}

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
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, PREFS_KEY, "InstallDir"), directory);
    for (const std::string &name : productFiles())
        EXPECT_TRUE(exists(directory + "\\" + name)) << name;
    EXPECT_TRUE(exists(directory + "\\uninstall.exe"));
    // Duplicate hands on exactly the installer that was run.
    EXPECT_TRUE(contents(directory + "\\tindle.exe") == contents(installer));
    EXPECT_TRUE(contents(systemSaver()) == contents(windowsPath(TINDLE_SCR)));
    EXPECT_TRUE(contents(directory + "\\tindle.scr") == contents(windowsPath(TINDLE_SCR)));
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"),
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
    EXPECT_NE(readText(HKEY_CURRENT_USER, DESKTOP_KEY, "SCRNSAVE.EXE"), systemSaver());
}

TEST(FirstMachine, InstallingAgainFromTheInstalledCopyKeepsIt)
{
    const std::string directory = programFiles() + "\\Tindle Advent";

    ASSERT_EQ(run(directory + "\\tindle.exe", "/S"), 0u);
    expectInstalledIn(directory, windowsPath(TINDLE_INSTALLER));
}

struct ControlSearch {
    const char *text;
    HWND found;
};

static BOOL CALLBACK matchControl(HWND control, LPARAM data)
{
    ControlSearch *search = (ControlSearch *)data;

    if (windowTitle(control) != search->text)
        return TRUE;
    search->found = control;
    return FALSE;
}

// A control anywhere inside window, by its text.
static HWND findControl(HWND window, const char *text)
{
    ControlSearch search = {text, NULL};

    EnumChildWindows(window, matchControl, (LPARAM)&search);
    return search.found;
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
    EXPECT_EQ(readText(HKEY_CURRENT_USER, DESKTOP_KEY, "SCRNSAVE.EXE"), systemSaver());
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
    HWND settings, drives;

    ASSERT_FALSE(exists(FLOPPY_COPY));
    wsprintfA(arguments, "/c:%u", (unsigned)(UINT_PTR)owner);
    ASSERT_TRUE(saver.start(systemSaver(), arguments));
    settings = waitForWindow(saver.pid(), "#32770", SETTINGS_TITLE, 15000);
    ASSERT_NE(settings, (HWND)NULL);
    // The buttons run modal dialogs from their command: post, never send.
    PostMessageA(settings, WM_COMMAND, MAKEWPARAM(1004, BN_CLICKED), (LPARAM)GetDlgItem(settings, 1004));
    drives = waitForWindow(saver.pid(), "#32770", DRIVE_TITLE, 15000);
    ASSERT_NE(drives, (HWND)NULL);
    EXPECT_EQ(SendDlgItemMessageA(drives, 1005, CB_GETCURSEL, 0, 0), 0);
    pressOk(drives);
    EXPECT_TRUE(waitUntil(30000, [&] { return contents(FLOPPY_COPY) == contents(installed); }));
    // The copy is over once its wait box, titled like the drive box, is gone.
    EXPECT_TRUE(waitUntil(15000, [&] {
        for (HWND window : windowsOf(saver.pid()))
            if (IsWindowVisible(window) && windowTitle(window) == DRIVE_TITLE)
                return false;
        return true;
    }));
    pressOk(settings);
    EXPECT_EQ(saver.waitExit(15000), 1u);
    DestroyWindow(owner);
}

TEST(SecondMachine, InstallingFromTheFloppyIntoAChosenDirectoryMakesItTheCurrentSaver)
{
    ASSERT_TRUE(exists(FLOPPY_COPY));
    ASSERT_EQ(run(FLOPPY_COPY, "/S /ACTIVATE /D=C:\\Tindle"), 0u);
    expectInstalledIn("C:\\Tindle", FLOPPY_COPY);
    EXPECT_TRUE(contents(FLOPPY_COPY) == contents(windowsPath(TINDLE_INSTALLER)));
    EXPECT_EQ(readText(HKEY_CURRENT_USER, DESKTOP_KEY, "SCRNSAVE.EXE"), systemSaver());
}

TEST(SecondMachine, TheDesktopStartsTheSaverItWasGiven)
{
    expectFullScreenRun(readText(HKEY_CURRENT_USER, DESKTOP_KEY, "SCRNSAVE.EXE"));
}

TEST(SecondMachine, UninstallingLeavesNothingBehind)
{
    std::string quiet = readText(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "QuietUninstallString");
    size_t end = quiet.find('"', 1);

    ASSERT_EQ(quiet.substr(0, 1), "\"");
    ASSERT_NE(end, std::string::npos);
    // The uninstaller hands over to a copy of itself outside the directory it
    // removes and ends at once; what counts is what is gone afterwards.
    ASSERT_EQ(run(quiet.substr(1, end - 1), quiet.substr(end + 2)), 0u);
    EXPECT_TRUE(waitUntil(60000, [] {
        return !exists("C:\\Tindle") && !keyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    }));
    EXPECT_FALSE(exists(systemSaver()));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, PREFS_KEY));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "Software\\Brackwell"));
    EXPECT_EQ(readText(HKEY_CURRENT_USER, DESKTOP_KEY, "SCRNSAVE.EXE"), "<missing>");
    // The floppy is the user's: it stays as it was.
    EXPECT_TRUE(contents(FLOPPY_COPY) == contents(windowsPath(TINDLE_INSTALLER)));
}
