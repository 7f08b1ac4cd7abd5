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
    void SetUp() override
    {
        for (int door = 0; door < DOOR_COUNT; door++)
            slots[door] = {door % 2, DoorPositions[door].x, DoorPositions[door].y};
    }

    // Settles the doors on a date with the given registry progress.
    CalendarState settle(int year, int day, DWORD lastYear, DWORD lastDay)
    {
        CalendarState state = stateOn(year, 12, day);

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

TEST_F(Doors, TodaysDoorWaitsUntilTheUserOpensIt)
{
    CalendarState state = settle(2026, 10, 126, 4);

    EXPECT_TRUE(state.todayPending);
    EXPECT_EQ(state.today.dayOfMonth, 9);
    EXPECT_EQ(openDoors(), 9);
    EXPECT_EQ(readDword("LastChecked", 99), 9u);
    EXPECT_EQ(readDword("LastCheckedYear", 99), 126u);
}

TEST_F(Doors, ADoorOpenedEarlierTodayStaysOpen)
{
    CalendarState state = settle(2026, 10, 126, 10);

    EXPECT_FALSE(state.todayPending);
    EXPECT_EQ(state.today.dayOfMonth, 10);
    EXPECT_EQ(openDoors(), 10);
    EXPECT_EQ(readDword("LastChecked", 99), 10u);
}

TEST_F(Doors, OnTheFirstOfDecemberNoDoorIsOpen)
{
    CalendarState state = settle(2026, 1, 126, 0);

    EXPECT_TRUE(state.todayPending);
    EXPECT_EQ(state.today.dayOfMonth, 0);
    EXPECT_EQ(openDoors(), 0);
    EXPECT_EQ(readDword("LastChecked", 99), 0u);
}

TEST_F(Doors, ANewYearStartsFromNothing)
{
    CalendarState state = settle(1997, 3, 96, 24);

    EXPECT_TRUE(state.todayPending);
    EXPECT_EQ(openDoors(), 2);
    EXPECT_EQ(readDword("LastChecked", 99), 2u);
    EXPECT_EQ(readDword("LastCheckedYear", 99), 97u);
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
