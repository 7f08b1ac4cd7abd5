// What a non-fatal reportError showed while action ran ("" for nothing):
// under Windows the "Error" box is read and answered by a second thread,
// natively the report's line on the error stream is taken.
#ifndef TINDLE_TESTS_REPORTED_H
#define TINDLE_TESTS_REPORTED_H

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <thread>

template <class Action> std::string reported(Action action)
{
    std::atomic<bool> done(false);
    std::string text;
    std::thread answerer([&] {
        while (!done) {
            HWND box = FindWindowA("#32770", "Error");
            DWORD pid = 0;
            if (box)
                GetWindowThreadProcessId(box, &pid);
            if (box && pid == GetCurrentProcessId()) {
                char buffer[1024] = "";
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
                text += buffer;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                while (IsWindow(box) && !done)
                    Sleep(10);
            }
            Sleep(10);
        }
    });
    action();
    done = true;
    answerer.join();
    return text;
}
#else
template <class Action> std::string reported(Action action)
{
    std::string text;

    testing::internal::CaptureStderr();
    action();
    text = testing::internal::GetCapturedStderr();
    // "Error: " and the line's end are the native stand-in's own.
    if (text.compare(0, 7, "Error: ") == 0)
        text = text.substr(7);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}
#endif

#endif
