// What the unit tests share: files written and read whole, and the "Error"
// boxes' texts while an action ran, a line each (under Windows read and
// answered by a second thread, natively the reports' lines on stderr).
#ifndef TINDLE_TESTS_REPORTED_H
#define TINDLE_TESTS_REPORTED_H

#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

typedef std::string Bytes;

inline const char *writeFile(const char *name, const Bytes &bytes)
{
    FILE *file = fopen(name, "wb");
    if (file) {
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    return name;
}
inline Bytes readFile(const char *name, Bytes out = "")
{
    FILE *file = fopen(name, "rb");
    if (file == NULL)
        return out;
    for (int c; (c = fgetc(file)) != EOF;)
        out += (char)c;
    fclose(file);
    return out;
}

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <thread>

// Presses OK on the first box of process pid that shows within timeoutMs and
// returns its text ("" for none), behind its title when that is not "Error".
inline std::string answerBox(DWORD pid, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(), owner; GetTickCount() - start < timeoutMs; Sleep(10)) {
        HWND box = NULL;
        char title[64] = "", text[1024] = "";
        while ((box = FindWindowExA(NULL, box, "#32770", NULL)) != NULL) {
            GetWindowThreadProcessId(box, &owner);
            if (owner == pid && IsWindowVisible(box))
                break;
        }
        // A box that a pending quit message closes at once is gone unread.
        if (box == NULL || (!GetWindowTextA(box, title, sizeof title) && !IsWindow(box)))
            continue;
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        while (IsWindow(box) && GetTickCount() - start < timeoutMs + 5000)
            Sleep(10);
        return (strcmp(title, "Error") ? "[" + std::string(title) + "] " : "") + text;
    }
    return "";
}

template <class Action> std::string reported(Action action, std::string texts = "")
{
    std::atomic<bool> done(false);
    std::thread answerer([&] {
        for (std::string text; !done; texts += (texts.empty() || text.empty() ? "" : "\n") + text)
            text = answerBox(GetCurrentProcessId(), 20);
    });
    action();
    done = true;
    answerer.join();
    return texts;
}
#else
template <class Action> std::string reported(Action action)
{
    testing::internal::CaptureStderr();
    action();
    // "Error: " and the line's end are the native stand-in's own.
    std::string text = testing::internal::GetCapturedStderr();
    size_t from = text.compare(0, 7, "Error: ") == 0 ? 7 : 0;
    return text.substr(from, text.size() - from - (!text.empty() && text.back() == '\n'));
}
#endif

#endif
