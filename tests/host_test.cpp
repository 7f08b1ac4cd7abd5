#include <gtest/gtest.h>

#include <string>

#include "host/host.h"
#include "host/password.h"
#include "support/report.h"

static SaverMode mode(const char *line, std::string *rest = nullptr)
{
    const char *after;
    SaverMode m = readSaverMode(line, &after);

    if (rest)
        *rest = after;
    return m;
}

TEST(ModeLetters, BlanksDashesAndSlashesComeBeforeTheLetterInAnyCase)
{
    EXPECT_EQ(mode(""), MODE_SETTINGS_NO_OWNER);
    EXPECT_EQ(mode("   "), MODE_SETTINGS_NO_OWNER);
    EXPECT_EQ(mode("/s"), MODE_SAVER);
    EXPECT_EQ(mode("-S"), MODE_SAVER);
    EXPECT_EQ(mode("s"), MODE_SAVER);
    EXPECT_EQ(mode(" / - /s extra"), MODE_SAVER);
    EXPECT_EQ(mode("/c:1234"), MODE_SETTINGS);
    EXPECT_EQ(mode("/P 1234"), MODE_PREVIEW);
    EXPECT_EQ(mode("/l 1234"), MODE_PREVIEW);
    EXPECT_EQ(mode("/a"), MODE_CHANGE_PASSWORD);
}

TEST(ModeLetters, OtherCharactersAndTabsAreUnknown)
{
    EXPECT_EQ(mode("/x"), MODE_UNKNOWN);
    EXPECT_EQ(mode("?"), MODE_UNKNOWN);
    EXPECT_EQ(mode("/\ts"), MODE_UNKNOWN);
    EXPECT_EQ(mode("1234"), MODE_UNKNOWN);
}

TEST(ModeLetters, RestSkipsTheBlanksBehindTheLetter)
{
    std::string rest;

    mode("/p   1234", &rest);
    EXPECT_EQ(rest, "1234");
    mode("/p1234", &rest);
    EXPECT_EQ(rest, "1234");
    mode("/p:1234", &rest);
    EXPECT_EQ(rest, ":1234");
}

TEST(WindowHandle, DecimalDigitsOnlyInUnsigned32BitArithmetic)
{
    EXPECT_EQ(parseWindowHandle("1234"), (HWND)1234);
    EXPECT_EQ(parseWindowHandle("12x34"), (HWND)12);
    EXPECT_EQ(parseWindowHandle(":1234"), (HWND)0);
    EXPECT_EQ(parseWindowHandle(""), (HWND)0);
    EXPECT_EQ(parseWindowHandle("-5"), (HWND)0);
    EXPECT_EQ(parseWindowHandle(" 5"), (HWND)0);
    EXPECT_EQ(parseWindowHandle("0x10"), (HWND)0);
    // 2^32 + 7 wraps to 7.
    EXPECT_EQ(parseWindowHandle("4294967303"), (HWND)7);
}

static std::string compose(unsigned category, const char *format, ...)
{
    char text[REPORT_TEXT_SIZE];
    va_list args;

    va_start(args, format);
    composeReport(text, sizeof text, category, format, args);
    va_end(args);
    return text;
}

TEST(ReportText, CategoryWordsComeBeforeTheMessage)
{
    EXPECT_EQ(compose(0, ""), "error, ");
    EXPECT_EQ(compose(9, ""), "error, out of memory, ");
    EXPECT_EQ(compose(24, "x"), "error, out of memory, x");
    EXPECT_EQ(compose(17, "Cannot load asset %s", "C:\\X\\theend.bmp"),
              "error, resource unavailable, Cannot load asset C:\\X\\theend.bmp");
    EXPECT_EQ(compose(4, "m"), "internal error, m");
    EXPECT_EQ(compose(0, "Invalid separator 0x%02X in GIF file %s", 0, "a.gif"),
              "error, Invalid separator 0x00 in GIF file a.gif");
    // Nothing carries over from one report to the next.
    compose(16, "first");
    EXPECT_EQ(compose(0, "second"), "error, second");
}

TEST(ReportText, LongMessagesAreCutToTheBuffer)
{
    std::string longText(3000, 'x');
    std::string text = compose(16, "%s", longText.c_str());

    EXPECT_EQ(text.size(), REPORT_TEXT_SIZE - 1u);
    EXPECT_EQ(text.substr(0, 29), "error, resource unavailable, ");
    EXPECT_EQ(text.find_first_not_of('x', 29), std::string::npos);
}

TEST(ScratchText, FormatsAndCutsAtFiveHundredElevenCharacters)
{
    std::string longText(2000, 'y');

    EXPECT_STREQ(formatScratch("%s\\%02d.avi", "C:\\Tindle", 7), "C:\\Tindle\\07.avi");
    const char *cut = formatScratch("%s%s", longText.c_str(), longText.c_str());
    EXPECT_EQ(strlen(cut), SCRATCH_TEXT_SIZE - 1u);
    // The same per-thread buffer every time.
    EXPECT_EQ(cut, formatScratch("z"));
    EXPECT_STREQ(cut, "z");
}

TEST(PasswordQuietPeriod, CountsFromTheLastDialogAcrossTheTickWrap)
{
    EXPECT_FALSE(inQuietPeriod(5, 0xFFFFFFFF));
    EXPECT_TRUE(inQuietPeriod(1000, 1000));
    EXPECT_TRUE(inQuietPeriod(1199, 1000));
    EXPECT_FALSE(inQuietPeriod(1200, 1000));
    EXPECT_TRUE(inQuietPeriod(50, 0xFFFFFFF0u));
    EXPECT_FALSE(inQuietPeriod(300, 0xFFFFFFF0u));
}
