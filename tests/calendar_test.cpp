// The calendar's date rules against the real (Wine) registry, with dates
// given to the state directly or through the tests' clock.
#include <gtest/gtest.h>

#include "calendar/calendar_state.h"
#include "calendar/clock.h"
#include "support/prefs.h"
#include "test_clock.h"

// The rules look only at the date fields set here.
static CalendarState stateOn(int year, int month, int day)
{
    CalendarState state = {};

    state.today.year = year - 1900;
    state.today.month = month - 1;
    state.today.dayOfMonth = day;
    return state;
}

class Seasons : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    // No season stays forced for the programs that run next.
    void TearDown() override
    {
        writeDword("Advent", 0);
        writeDword("Twelve", 0);
    }

    static Presentation on(int year, int month, int day)
    {
        CalendarState state = stateOn(year, month, day);
        return presentationOf(&state);
    }
};

TEST_F(Seasons, TheDateAloneMovesThroughTheYear)
{
    EXPECT_EQ(on(2026, 12, 1), ADVENT);
    EXPECT_EQ(on(2026, 12, 24), ADVENT);
    EXPECT_EQ(on(2026, 12, 25), TWELVE);
    EXPECT_EQ(on(2026, 12, 31), TWELVE);
    EXPECT_EQ(on(2027, 1, 1), TWELVE);
    EXPECT_EQ(on(2027, 1, 5), TWELVE);
    EXPECT_EQ(on(2027, 1, 6), SEASON_OVER);
    EXPECT_EQ(on(2026, 7, 1), SEASON_OVER);
    EXPECT_EQ(on(2026, 11, 30), SEASON_OVER);
    EXPECT_EQ(on(2026, 2, 3), SEASON_OVER);
}

TEST_F(Seasons, NovemberCountsOnlyIn1996)
{
    EXPECT_EQ(on(1996, 11, 1), NOVEMBER_1996);
    EXPECT_EQ(on(1996, 11, 30), NOVEMBER_1996);
    EXPECT_EQ(on(1997, 11, 15), SEASON_OVER);
    EXPECT_EQ(on(1996, 10, 31), SEASON_OVER);
    EXPECT_EQ(on(1996, 12, 1), ADVENT);
}

TEST_F(Seasons, OnlyTheValueOneForcesASeasonAndAdventComesFirst)
{
    writeDword("Advent", 2);
    writeDword("Twelve", 7);
    EXPECT_EQ(on(2026, 7, 1), SEASON_OVER);

    writeDword("Twelve", 1);
    EXPECT_EQ(on(2026, 7, 1), TWELVE);
    EXPECT_EQ(on(2026, 12, 10), ADVENT);
    EXPECT_EQ(on(1996, 11, 10), TWELVE);

    writeDword("Advent", 1);
    EXPECT_EQ(on(2026, 7, 1), ADVENT);
    EXPECT_EQ(on(2026, 12, 28), ADVENT);
    CalendarState both = stateOn(2026, 7, 1);
    EXPECT_TRUE(isTwelve(&both));
}

class Doors : public ::testing::Test {
protected:
    // Settles every other door open on a date with the given registry progress.
    CalendarState settle(int year, int day, DWORD lastYear, DWORD lastDay)
    {
        CalendarState state = stateOn(year, 12, day);

        for (int door = 0; door < DOOR_COUNT; door++)
            slots[door] = {door % 2, DoorPositions[door].x, DoorPositions[door].y};
        writeDword("LastCheckedYear", lastYear);
        writeDword("LastChecked", lastDay);
        state.doors = slots;
        settleDoors(&state);
        return state;
    }

    int openDoors() const
    {
        int count = 0;

        for (int door = 0; door < DOOR_COUNT; door++) {
            if (slots[door].open && door != count)
                return -1; // not doors 1 to n
            count += slots[door].open != 0;
        }
        return count;
    }

    DoorSlot slots[DOOR_COUNT];
};

TEST_F(Doors, SettleFromTheStoredProgress)
{
    struct Case {
        const char *what;
        int year, day;
        DWORD lastYear, lastDay;
        bool pending;
        int dayOfMonth, open;
        DWORD storedYear;
    } cases[] = {
        {"today's door waits for the user", 2026, 10, 126, 4, true, 9, 9, 126},
        {"a door opened earlier today stays open", 2026, 10, 126, 10, false, 10, 10, 126},
        {"the first of December opens none", 2026, 1, 126, 0, true, 0, 0, 126},
        {"a new year starts from nothing", 1997, 3, 96, 24, true, 2, 2, 97},
    };

    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        CalendarState state = settle(c.year, c.day, c.lastYear, c.lastDay);

        EXPECT_EQ(state.todayPending, c.pending);
        EXPECT_EQ(state.today.dayOfMonth, c.dayOfMonth);
        EXPECT_EQ(openDoors(), c.open);
        EXPECT_EQ(readDword("LastChecked", 99), (DWORD)c.open);
        EXPECT_EQ(readDword("LastCheckedYear", 99), c.storedYear);
    }
}

TEST_F(Doors, AForcedAdventPastTheTwentyFourthOpensNoMoreThanTheTable)
{
    CalendarState state = settle(2026, 28, 126, 0);

    EXPECT_TRUE(state.todayPending);
    EXPECT_EQ(state.today.dayOfMonth, 27);
    EXPECT_EQ(openDoors(), DOOR_COUNT);
}

TEST(TestClock, StartsWhereItIsToldAndRunsOn)
{
    CalendarDate now;

    EXPECT_FALSE(startTestClock("24 December"));
    ASSERT_TRUE(startTestClock("1996-12-24 23:59:58"));
    readClock(&now);
    EXPECT_EQ(now.year, 96);
    EXPECT_EQ(now.month, MONTH_DECEMBER);
    EXPECT_EQ(now.dayOfMonth, 24);
    EXPECT_EQ(now.weekday, 2);
    EXPECT_EQ(now.dayOfYear, 358);
    Sleep(2100);
    readClock(&now);
    EXPECT_EQ(now.dayOfMonth, 25);
    EXPECT_EQ(now.hours, 0);
}
