// The fatal reports of a broken installation as the user sees them: the
// "Error" box with the full text, then exit status 3.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "harness.h"

using namespace harness;

static const char keyPath[] = "Software\\Brackwell\\Tindle";

class Installation : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Brackwell"); }

    void setInstallDir(const std::string &dir)
    {
        HKEY key;

        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, keyPath, &key), ERROR_SUCCESS);
        RegSetValueExA(key, "InstallDir", 0, REG_SZ, (const BYTE *)dir.c_str(), dir.size() + 1);
        RegCloseKey(key);
    }

    // Runs the probe, answers its box and returns the box's text; the exit
    // status goes to *status.
    std::string probe(const char *arguments, DWORD *status)
    {
        Child child;
        HWND box;
        std::string text;

        *status = 0xFFFFFFFF;
        if (!child.start(windowsPath(ASSET_PROBE), arguments))
            return "probe did not start";
        text = waitForErrorBox(child.pid(), 15000, &box);
        if (box)
            pressOk(box);
        *status = child.waitExit(10000);
        return text;
    }
};

TEST_F(Installation, AMissingDirectoryIsCreatedEmptyAndEndsTheProgram)
{
    HKEY key;
    char value[8] = "x";
    DWORD type, size = sizeof value, status;

    EXPECT_EQ(probe("dir", &status), "error, Invalid installation - cannot find installation directory");
    EXPECT_EQ(status, 3u);
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, keyPath, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "InstallDir", NULL, &type, (BYTE *)value, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(strnlen(value, size), 0u);
}

TEST_F(Installation, AnEmptyDirectoryEndsTheProgram)
{
    DWORD status;

    setInstallDir("");
    EXPECT_EQ(probe("dir", &status), "error, Invalid installation - cannot find installation directory");
    EXPECT_EQ(status, 3u);
}

TEST_F(Installation, ASetDirectoryIsNoError)
{
    Child child;

    setInstallDir("C:\\X");
    ASSERT_TRUE(child.start(windowsPath(ASSET_PROBE), "dir"));
    EXPECT_EQ(child.waitExit(15000), 0u);
}

TEST_F(Installation, AnUnknownAssetIdIsReportedBeforeTheDirectoryIsRead)
{
    DWORD status;

    for (const char *id : {"0", "9"}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(probe(id, &status),
                  std::string("error, resource unavailable, Cannot find asset id ") + id);
        EXPECT_EQ(status, 3u);
    }
}

TEST_F(Installation, AMissingAssetIsReportedWithItsFullPath)
{
    DWORD status;

    for (const char *dir : {"C:\\X", "C:\\X\\"}) {
        SCOPED_TRACE(dir);
        setInstallDir(dir);
        EXPECT_EQ(probe("8", &status), "error, resource unavailable, Cannot load asset C:\\X\\theend.bmp");
        EXPECT_EQ(status, 3u);
    }
}

TEST_F(Installation, AnAssetPathTooLongForItsBufferIsReportedCut)
{
    std::string dir = "C:\\" + std::string(250, 'd');
    DWORD status;

    setInstallDir(dir);
    EXPECT_EQ(probe("3", &status),
              "error, resource unavailable, Cannot load asset " + (dir + "\\clikhere.bmp").substr(0, MAX_PATH - 1));
    EXPECT_EQ(status, 3u);
}
