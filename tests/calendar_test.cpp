// The calendar's date rules against the real (Wine) registry, and a calendar
// window of this process driven across a change of day, read off the screen.
#include <gtest/gtest.h>
#include <stdio.h>

#include "calendar/calendar.h"
#include "calendar/calendar_state.h"
#include "calendar_fixture.h"
#include "reported.h"
#include "host/host.h"
#include "support/prefs.h"
#include "test_clock.h"

using namespace calendar;
using namespace harness;

// A state with only the date fields that the rules read.
static CalendarState on(const char *date)
{
    CalendarState state = {};
    sscanf(date, "%d-%d-%d", &state.today.year, &state.today.month, &state.today.dayOfMonth);
    return state.today.year -= 1900, state.today.month -= 1, state;
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
}

// A full-screen window of this process with the calendar as its procedure,
// taken from one local time to another by the timer's date check.
TEST(Calendar, AChangeOfDayIsDrawnWithTheDoorsSettled)
{
    // lastDayBeforeTick -1: as the window left it.
    const struct {
        const char *what, *from, *to;
        int lastDay, lastDayBeforeTick;
        const char *background, *doors, *progress;
    } rows[] = {
        {"door 9 left waiting", "2026-12-09 23:59:58", "2026-12-10 00:00:05", 4, -1, "pud.bmp",
         "ooooooooop..............", "126 9 0 0"},
        {"door 9 opened", "2026-12-09 23:59:58", "2026-12-10 00:00:05", 9, -1, "pud.bmp",
         "ooooooooop..............", "126 9 0 0"},
        {"into Advent", "2026-11-30 23:59:58", "2026-12-01 00:00:05", 0, -1, "pud.bmp",
         "p.......................", "126 0 0 0"},
        {"into Christmas", "2026-12-24 23:59:58", "2026-12-25 00:00:05", 20, -1, "plate.bmp",
         "oooooooooooooooooooooooo", "126 23 0 0"},
        {"within a day nothing changes", "2026-12-10 12:00:00", "2026-12-10 23:59:59", 4, 0,
         "pud.bmp", "ooooooooop..............", "126 0 0 0"},
        {"out of the Twelve days", "2027-01-05 23:59:58", "2027-01-06 00:00:05", 0, -1,
         "theend.bmp", nullptr, "126 0 0 0"},
    };
    // A report would hold this thread in its box; answered, it fails the test.
    EXPECT_EQ(reported([&] {
                  WNDCLASSA windowClass = {0,    CalendarProc, 0,    0,    NULL,
                                           NULL, NULL,         NULL, NULL, "CalendarTest"};
                  RegisterClassA(&windowClass);
                  hostInstance = GetModuleHandleA(NULL);
                  isPreview = 1; // the host's own procedure then leaves input alone
                  std::string installation = makeInstallation("calendar_test");
                  freshRegistry(installation);
                  startTestClock("2026-07-01 12:00:00");
                  // One window serves every row and the calendar takes it afresh; only a
                  // process's first paint draws, so rows draw for themselves.
                  HWND window = CreateWindowExA(WS_EX_TOPMOST, "CalendarTest", "", WS_POPUP, 0, 0,
                                                GetSystemMetrics(SM_CXSCREEN),
                                                GetSystemMetrics(SM_CYSCREEN), 0, 0, 0, 0);
                  ShowWindow(window, SW_SHOW);
                  UpdateWindow(window);
                  // The first paint's timer, for door 1's clip, comes once and is gone.
                  int ticks = 0;
                  MSG message;
                  for (DWORD start = GetTickCount(); GetTickCount() - start < 300; Sleep(1))
                      while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
                          ticks++;
                          DispatchMessageA(&message);
                      }
                  EXPECT_EQ(ticks, 1);
                  SendMessageA(window, WM_DESTROY, 0, 0);
                  for (const auto &row : rows) {
                      SCOPED_TRACE(row.what);
                      freshRegistry(installation);
                      setLastChecked(row.lastDay);
                      ASSERT_TRUE(startTestClock(row.from));
                      SetPropA(window, "WndProp", NULL);
                      SendMessageA(window, WM_CREATE, 0, 0);
                      drawCalendar((CalendarState *)GetPropA(window, "WndProp"));
                      if (row.lastDayBeforeTick >= 0)
                          setLastChecked(row.lastDayBeforeTick);
                      ASSERT_TRUE(startTestClock(row.to));
                      SendMessageA(window, WM_TIMER, 1, 0);
                      EXPECT_TRUE(waitUntil(2000, [&] {
                          Snapshot shot;
                          return shot.shows(row.background, false) &&
                                 (!row.doors || shot.doors(row.background) == row.doors);
                      })) << Snapshot().doors(row.background);
                      EXPECT_EQ(progress(), row.progress);
                      SendMessageA(window, WM_DESTROY, 0, 0);
                  }
                  // The saver's own timer checks the date every ten seconds, no later and
                  // no more often.
                  freshRegistry(installation);
                  setLastChecked(4);
                  ASSERT_TRUE(startTestClock("2026-12-09 23:59:58"));
                  SetPropA(window, "WndProp", NULL);
                  SendMessageA(window, WM_CREATE, 0, 0);
                  DWORD created = GetTickCount();
                  ASSERT_TRUE(startTestClock("2026-12-10 00:00:05"));
                  EXPECT_TRUE(waitUntil(11000, [] { return progress() == "126 9 0 0"; }))
                      << progress();
                  EXPECT_GE(GetTickCount() - created, 9500u);
                  SendMessageA(window, WM_DESTROY, 0, 0);
              }),
              "");
}
