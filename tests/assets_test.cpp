// The asset table and loading assets from an installation directory made
// for the test, whose pictures tell by their width which file was read.
#include <gtest/gtest.h>

#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "image/assets.h"

static const char keyPath[] = "Software\\Brackwell\\Tindle";

TEST(AssetTable, EightPicturesByNumber)
{
    const char *names[] = {"active.bmp", "clickall.bmp", "clikhere.bmp", "credits.bmp",
                           "plate.bmp",  "pud.bmp",      "setup.bmp",    "theend.bmp"};

    for (int id = 1; id <= 8; id++) {
        const AssetEntry *entry = findAsset((AssetId)id);
        ASSERT_NE(entry, nullptr) << id;
        EXPECT_EQ(entry->id, (AssetId)id);
        EXPECT_STREQ(entry->name, names[id - 1]);
    }
    EXPECT_STREQ(findAsset(AssetId::ClickHere)->name, "clikhere.bmp");
    for (int id : {0, 9, -1, 0x7FFFFFFF})
        EXPECT_EQ(findAsset((AssetId)id), nullptr) << id;
}

// An 8-bit bitmap file, width pixels wide and one high.
static void writeBitmap(const std::string &path, int width)
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    std::vector<char> table(1024), pixels((width + 3) / 4 * 4);
    HANDLE handle;
    DWORD written;

    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = 1;
    info.biPlanes = 1;
    info.biBitCount = 8;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info + table.size();
    file.bfSize = file.bfOffBits + pixels.size();
    handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << path;
    WriteFile(handle, &file, sizeof file, &written, NULL);
    WriteFile(handle, &info, sizeof info, &written, NULL);
    WriteFile(handle, table.data(), table.size(), &written, NULL);
    WriteFile(handle, pixels.data(), pixels.size(), &written, NULL);
    CloseHandle(handle);
}

class Assets : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];

        GetTempPathA(sizeof temp, temp);
        dir = std::string(temp) + "tindle assets";
        CreateDirectoryA(dir.c_str(), NULL);
        for (int id = 1; id <= 8; id++)
            writeBitmap(dir + "\\" + findAsset((AssetId)id)->name, 10 + id);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Brackwell");
    }
    void TearDown() override
    {
        for (int id = 1; id <= 8; id++)
            DeleteFileA((dir + "\\" + findAsset((AssetId)id)->name).c_str());
        RemoveDirectoryA(dir.c_str());
    }

    void setInstallDir(const std::string &value)
    {
        HKEY key;

        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, keyPath, &key), ERROR_SUCCESS);
        RegSetValueExA(key, "InstallDir", 0, REG_SZ, (const BYTE *)value.c_str(), value.size() + 1);
        RegCloseKey(key);
    }

    std::string dir;
};

TEST_F(Assets, EachNumberLoadsItsFileWithOrWithoutATrailingBackslash)
{
    for (const std::string &value : {dir, dir + "\\"}) {
        SCOPED_TRACE(value);
        setInstallDir(value);
        for (int id = 1; id <= 8; id++) {
            DibImage image = loadAsset((AssetId)id);
            ASSERT_FALSE(image.isEmpty()) << id;
            EXPECT_EQ(image.header()->biWidth, 10 + id);
        }
    }
}

TEST_F(Assets, EveryCallReadsTheFileAfresh)
{
    setInstallDir(dir);
    DibImage first = loadAsset(AssetId::Pud);
    DibImage second = loadAsset(AssetId::Pud);

    EXPECT_NE(first.body, second.body);
    EXPECT_EQ(first.body->refCount, 1);
    EXPECT_EQ(second.body->refCount, 1);
    writeBitmap(dir + "\\pud.bmp", 40);
    EXPECT_EQ(loadAsset(AssetId::Pud).header()->biWidth, 40);
    EXPECT_EQ(first.header()->biWidth, 16);
}
