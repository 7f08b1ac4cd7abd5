// The endless clip sequence, run for a while: with all 24 doors open the
// saver goes through TINDLE_SOAK_CYCLES full cycles (3 unless set), and its
// memory and GDI objects must not grow after the first.  `./dev soak` runs
// 20 cycles.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <winternl.h>

#include <vector>

#include "calendar_fixture.h"

using namespace calendar;
using namespace harness;

// One entry of the process's GDI handle table, which Wine, like Windows,
// maps into the process and points to from the PEB; a live object has a
// type.
struct GdiHandleEntry {
    unsigned long long object;
    DWORD owner;
    WORD unique;
    BYTE type;
    BYTE flags;
    unsigned long long user;
};
enum { GDI_HANDLE_COUNT = 0x10000, PEB_GDI_TABLE = 0x94 };

static int gdiObjects(HANDLE process)
{
    static std::vector<GdiHandleEntry> table(GDI_HANDLE_COUNT);
    PROCESS_BASIC_INFORMATION basic;
    ULONG size;
    void *address = NULL;
    int count = 0;

    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &size) ||
        !ReadProcessMemory(process, (char *)basic.PebBaseAddress + PEB_GDI_TABLE, &address,
                           sizeof address, NULL) ||
        !ReadProcessMemory(process, address, table.data(), table.size() * sizeof table[0], NULL))
        return -1;
    for (const GdiHandleEntry &entry : table)
        count += entry.type != 0;
    return count;
}

struct Sample {
    SIZE_T privateBytes;
    SIZE_T workingSet;
    int gdi;
};

static Sample sample(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS memory = {};

    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    return {memory.PagefileUsage, memory.WorkingSetSize, gdiObjects(process)};
}

TEST(Soak, TheClipCycleLeaksNeitherMemoryNorGdiObjects)
{
    const char *given = getenv("TINDLE_SOAK_CYCLES");
    const int cycles = given ? atoi(given) : 3;
    // Room for the heap to settle; a leak of a clip or a picture per cycle
    // is far more.
    const SIZE_T slack = 256 * 1024;
    std::vector<Sample> samples;
    Child saver;
    HWND window;
    HANDLE process;

    freshRegistry(makeInstallation("soak"));
    setLastChecked(24);
    window = startSaver(saver, "2026-12-24 10:00:00");
    ASSERT_NE(window, (HWND)NULL);
    process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, saver.pid());
    ASSERT_NE(process, (HANDLE)NULL);
    ASSERT_TRUE(waitForClipDoor(window, 0, 5000));
    for (int cycle = 1; cycle <= cycles; cycle++) {
        int last = 0;

        // A cycle: every door's clip in turn, then door 1's again.
        ASSERT_TRUE(waitUntil(60000, [&] {
            int door = clipDoor(window);
            if (door > last)
                last = door;
            return last > 0 && door == 0;
        })) << "cycle " << cycle;
        EXPECT_EQ(last, 23) << "cycle " << cycle;
        samples.push_back(sample(process));
        printf("cycle %2d: private %6lu KB, working set %6lu KB, GDI objects %d\n", cycle,
               (unsigned long)(samples.back().privateBytes / 1024),
               (unsigned long)(samples.back().workingSet / 1024), samples.back().gdi);
        fflush(stdout);
    }
    for (size_t i = 1; i < samples.size(); i++) {
        EXPECT_LE(samples[i].gdi, samples[0].gdi) << "cycle " << i + 1;
        EXPECT_LE(samples[i].privateBytes, samples[0].privateBytes + slack) << "cycle " << i + 1;
    }
    EXPECT_GT(samples[0].gdi, 0);
    CloseHandle(process);
    pressKey(VK_SPACE);
    EXPECT_EQ(saver.waitExit(10000), 0u);
}
