// The calendar's date rules against the real (Wine) registry.
#include <gtest/gtest.h>

#include "calendar/calendar_state.h"
#include "calendar/clock.h"
#include "calendar_fixture.h"
#include "reported.h"
#include "support/prefs.h"
#include "test_clock.h"

using namespace calendar;

// A state on the date at noon by the tests' clock, which runs on from there.
static CalendarState on(const char *date)
{
    CalendarState state = {};
    startTestClock((date + std::string(" 12:00:00")).c_str());
    readClock(&state.today);
    return state;
}

TEST(Calendar, TheDateAndTheForcingValuesChooseThePresentation)
{
    const struct {
        const char *date;
        DWORD advent, twelve;
        Presentation shown;
    } rows[] = {
        {"2026-12-01", 0, 0, ADVENT},        {"2026-12-24", 0, 0, ADVENT},
        {"2026-12-25", 0, 0, TWELVE},        {"2026-12-31", 0, 0, TWELVE},
        {"2027-01-01", 0, 0, TWELVE},        {"2027-01-05", 0, 0, TWELVE},
        {"2027-01-06", 0, 0, SEASON_OVER},   {"2026-11-30", 0, 0, SEASON_OVER},
        {"1996-11-01", 0, 0, NOVEMBER_1996}, {"1996-11-30", 0, 0, NOVEMBER_1996},
        {"1996-10-31", 0, 0, SEASON_OVER},   {"1997-11-15", 0, 0, SEASON_OVER},
        {"2026-07-01", 2, 7, SEASON_OVER},   {"2026-07-01", 0, 1, TWELVE},
        {"2026-12-10", 0, 1, ADVENT},        {"1996-11-10", 0, 1, TWELVE},
        {"2026-07-01", 1, 0, ADVENT},        {"2026-12-28", 1, 1, ADVENT},
    };
    for (const auto &row : rows) {
        CalendarState state = on(row.date);
        writeDword("Advent", row.advent);
        writeDword("Twelve", row.twelve);
        EXPECT_EQ(presentationOf(&state), row.shown) << row.date << " " << row.advent << row.twelve;
    }
    writeDword("Advent", 0);
    writeDword("Twelve", 0);
}

TEST(Calendar, TheStoredProgressSettlesTheDoors)
{
    const struct {
        const char *date;
        DWORD lastYear, lastDay;
        int pending, dayOfMonth, open;
        const char *stored;
    } rows[] = {
        {"2026-12-10", 126, 4, 1, 9, 9, "126 9"},    {"2026-12-10", 126, 10, 0, 10, 10, "126 10"},
        {"2026-12-01", 126, 0, 1, 0, 0, "126 0"},    {"1997-12-03", 96, 24, 1, 2, 2, "97 2"},
        {"2026-12-28", 126, 0, 1, 27, 24, "126 27"}, // a forced Advent has 24 doors
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.date + std::string(" ") + row.stored);
        CalendarState state = on(row.date);
        DoorSlot doors[DOOR_COUNT];
        for (int door = 0; door < DOOR_COUNT; door++)
            doors[door].open = door % 2;
        state.doors = doors;
        state.todayPending = 1; // as yesterday may have left it
        writeDword("LastCheckedYear", row.lastYear);
        writeDword("LastChecked", row.lastDay);
        settleDoors(&state);
        EXPECT_TRUE(state.todayPending == row.pending && state.today.dayOfMonth == row.dayOfMonth)
            << state.todayPending << " " << state.today.dayOfMonth;
        for (int door = 0; door < DOOR_COUNT; door++)
            EXPECT_EQ(doors[door].open, door < row.open) << "door " << door + 1;
        EXPECT_EQ(progress().substr(0, strlen(row.stored) + 1), row.stored + std::string(" "));
    }
    // The timer's date check within a day settles nothing, whatever was stored meanwhile.
    CalendarState same = on("2026-12-10");
    DoorSlot doors[DOOR_COUNT] = {};
    same.doors = doors;
    writeDword("LastChecked", 4);
    refreshDate(&same, false);
    EXPECT_EQ(progress().substr(0, 6), "126 4 ");
}
