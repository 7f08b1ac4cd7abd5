// The preferences against the real (Wine) registry: every test starts with
// no key at all, as on a first run.
#include <gtest/gtest.h>

#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/prefs.h"

static const char keyPath[] = "Software\\Brackwell\\Tindle";

// The import slot through which the program stores values; swapping it
// shows which values are stored, and in what order.
typedef LONG(WINAPI *SetValueFunction)(HKEY, LPCSTR, DWORD, DWORD, const BYTE *, DWORD);
extern "C" SetValueFunction importedSetValue __asm__("__imp__RegSetValueExA@24");

static SetValueFunction realSetValue;
static std::vector<std::string> stored;

static LONG WINAPI recordingSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                     const BYTE *data, DWORD size)
{
    stored.push_back(name);
    return realSetValue(key, name, reserved, type, data, size);
}

static void swapImport(SetValueFunction function)
{
    DWORD protection;

    VirtualProtect(&importedSetValue, sizeof importedSetValue, PAGE_READWRITE, &protection);
    importedSetValue = function;
    VirtualProtect(&importedSetValue, sizeof importedSetValue, protection, &protection);
}

class Prefs : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Brackwell");
        ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, keyPath, &key), ERROR_FILE_NOT_FOUND);
        key = NULL;
    }
    void TearDown() override
    {
        if (realSetValue) {
            swapImport(realSetValue);
            realSetValue = NULL;
        }
        if (key)
            RegCloseKey(key);
    }

    HKEY openKey()
    {
        if (!key) {
            EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, keyPath, &key), ERROR_SUCCESS);
        }
        return key;
    }
    void setRaw(const char *name, DWORD type, const void *data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExA(openKey(), name, 0, type, (const BYTE *)data, size), ERROR_SUCCESS);
    }
    void setNumber(const char *name, DWORD value) { setRaw(name, REG_DWORD, &value, 4); }
    void setText(const char *name, const char *text, DWORD size) { setRaw(name, REG_SZ, text, size); }

    // The stored value's type and bytes; type REG_NONE when it is missing.
    DWORD storedType(const char *name, std::string *bytes = nullptr)
    {
        char data[512];
        DWORD type, size = sizeof data;

        if (RegQueryValueExA(openKey(), name, NULL, &type, (BYTE *)data, &size) != ERROR_SUCCESS)
            return REG_NONE;
        if (bytes)
            bytes->assign(data, size);
        return type;
    }
    DWORD storedNumber(const char *name)
    {
        std::string bytes;
        DWORD value = 0xDEADBEEF;

        EXPECT_EQ(storedType(name, &bytes), (DWORD)REG_DWORD) << name;
        if (bytes.size() == 4)
            memcpy(&value, bytes.data(), 4);
        return value;
    }
    std::string storedText(const char *name)
    {
        std::string bytes;

        EXPECT_EQ(storedType(name, &bytes), (DWORD)REG_SZ) << name;
        return bytes.substr(0, bytes.find('\0'));
    }

    void recordStores()
    {
        stored.clear();
        if (!realSetValue) {
            realSetValue = importedSetValue;
            swapImport(recordingSetValue);
        }
    }

    HKEY key;
};

TEST_F(Prefs, AFirstReadCreatesTheKeyAndStoresTheDefault)
{
    EXPECT_EQ(readDword("Advent", 0), 0u);
    EXPECT_EQ(storedNumber("Advent"), 0u);
    EXPECT_EQ(readDword("Twelve", 7), 7u);
    EXPECT_EQ(storedNumber("Twelve"), 7u);
}

TEST_F(Prefs, NumbersAreReadAsStoredAndWrittenAsDwords)
{
    setNumber("Advent", 1);
    recordStores();
    EXPECT_EQ(readDword("Advent", 0), 1u);
    EXPECT_TRUE(stored.empty());

    writeDword("LastChecked", 0xFFFFFFFF);
    EXPECT_EQ(storedNumber("LastChecked"), 0xFFFFFFFFu);
    writeDword("LastChecked", 12);
    EXPECT_EQ(readDword("LastChecked", 0), 12u);
}

TEST_F(Prefs, AShortValueOfAnyTypeIsReadOverTheDefaultsBytes)
{
    // "ab" and its zero fill the low three bytes; the top one is the default's.
    setText("Advent", "ab", 3);
    EXPECT_EQ(readDword("Advent", 0x11223344), 0x11006261u);
    EXPECT_EQ(storedText("Advent"), "ab");
}

TEST_F(Prefs, ANumberThatDoesNotFitGivesTheDefaultAndStaysAsItIs)
{
    const unsigned char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::string bytes;

    setRaw("Twelve", REG_BINARY, eight, sizeof eight);
    setText("Advent", "longer text", 12);
    recordStores();
    EXPECT_EQ(readDword("Twelve", 5), 5u);
    EXPECT_EQ(readDword("Advent", 0), 0u);
    EXPECT_TRUE(stored.empty());
    EXPECT_EQ(storedType("Twelve", &bytes), (DWORD)REG_BINARY);
    EXPECT_EQ(bytes, std::string((const char *)eight, 8));
    EXPECT_EQ(storedText("Advent"), "longer text");
}

TEST_F(Prefs, AMissingTextIsCreatedWithTheDefault)
{
    char buffer[16] = "garbage";

    readString("InstallDir", buffer, sizeof buffer, "C:\\Tindle");
    EXPECT_STREQ(buffer, "C:\\Tindle");
    EXPECT_EQ(storedText("InstallDir"), "C:\\Tindle");

    // The empty default is stored as an empty text.
    memset(buffer, 'x', sizeof buffer);
    readString("Other", buffer, sizeof buffer, "");
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(storedText("Other"), "");
}

TEST_F(Prefs, StoredTextsAreAlwaysTerminatedInsideTheBuffer)
{
    char buffer[8 + 4];

    // Texts stored with and without their terminating zero.
    for (DWORD size : {5u, 4u}) {
        SCOPED_TRACE(size);
        setText("InstallDir", "C:\\X", size);
        memset(buffer, 'x', sizeof buffer);
        readString("InstallDir", buffer, 8, "");
        EXPECT_STREQ(buffer, "C:\\X");
    }

    // Seven characters and a zero fill the buffer exactly.
    setText("InstallDir", "C:\\Dirs", 8);
    readString("InstallDir", buffer, 8, "");
    EXPECT_STREQ(buffer, "C:\\Dirs");
}

TEST_F(Prefs, ATextThatDoesNotFitGivesTheDefaultAndStaysAsItIs)
{
    char buffer[8 + 4];

    // Eight characters without a zero fit the bytes but leave no room for it.
    for (DWORD size : {8u, 9u, 20u}) {
        SCOPED_TRACE(size);
        setText("InstallDir", "C:\\Tindle\\Advent\\Pictures", size);
        memset(buffer, 'x', sizeof buffer);
        recordStores();
        readString("InstallDir", buffer, 8, "D:\\");
        EXPECT_STREQ(buffer, "D:\\");
        EXPECT_EQ(std::string(buffer + 8, 4), "xxxx");
        EXPECT_TRUE(stored.empty());
        EXPECT_EQ(storedText("InstallDir").size(), size);
    }
}

TEST_F(Prefs, ANumberWhereATextIsExpectedGivesTheDefault)
{
    char buffer[16];

    setNumber("InstallDir", 0x5C3A43);
    readString("InstallDir", buffer, sizeof buffer, "none");
    EXPECT_STREQ(buffer, "none");
    EXPECT_EQ(storedNumber("InstallDir"), 0x5C3A43u);
}

TEST_F(Prefs, ADefaultLongerThanTheBufferIsCut)
{
    char buffer[4 + 4];

    memset(buffer, 'x', sizeof buffer);
    readString("InstallDir", buffer, 4, "C:\\Tindle");
    EXPECT_STREQ(buffer, "C:\\");
    EXPECT_EQ(std::string(buffer + 4, 4), "xxxx");
}

TEST_F(Prefs, TheInstallationDirectoryComesAsStored)
{
    char buffer[MAX_PATH];

    for (const char *dir : {"C:\\X", "C:\\X\\", "Z:\\tmp\\tindle install"}) {
        setText("InstallDir", dir, (DWORD)strlen(dir) + 1);
        installDir(buffer, sizeof buffer);
        EXPECT_STREQ(buffer, dir);
    }
}

TEST_F(Prefs, AFirstRunStartsTheYear1996WithNoDoorsSettled)
{
    EXPECT_EQ(lastCheckedForYear(96), 0u);
    EXPECT_EQ(storedNumber("LastCheckedYear"), 96u);
    EXPECT_EQ(storedNumber("LastChecked"), 0u);
}

// A new year settles no doors; the same year keeps its days and writes nothing.
TEST_F(Prefs, TheStoredYearDecidesTheSettledDays)
{
    struct Case {
        DWORD year, days, asked, settled;
        std::vector<std::string> stores;
    } cases[] = {
        {96, 5, 97, 0, {"LastChecked", "LastCheckedYear"}},
        {126, 9, 126, 9, {}},
    };

    for (const Case &c : cases) {
        SCOPED_TRACE(c.asked);
        setNumber("LastCheckedYear", c.year);
        setNumber("LastChecked", c.days);
        recordStores();
        EXPECT_EQ(lastCheckedForYear(c.asked), c.settled);
        EXPECT_EQ(stored, c.stores);
        EXPECT_EQ(storedNumber("LastCheckedYear"), c.asked);
        EXPECT_EQ(storedNumber("LastChecked"), c.settled);
    }
}

TEST_F(Prefs, ProgressStoresTheYearBeforeTheDay)
{
    setNumber("LastCheckedYear", 96);
    setNumber("LastChecked", 24);
    recordStores();
    recordProgress(97, 9);
    EXPECT_EQ(stored, (std::vector<std::string>{"LastCheckedYear", "LastChecked"}));
    EXPECT_EQ(storedNumber("LastCheckedYear"), 97u);
    EXPECT_EQ(storedNumber("LastChecked"), 9u);
    EXPECT_EQ(lastCheckedForYear(97), 9u);
}
