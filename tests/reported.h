// What the unit tests share: bytes, files, and the texts of the "Error" boxes shown while an action
// ran, a line each (under Windows from the MessageBoxA import, natively from stderr).
#ifndef TINDLE_TESTS_REPORTED_H
#define TINDLE_TESTS_REPORTED_H

#include <gtest/gtest.h>
#include <stdio.h>

#include <fstream>
#include <iterator>
#include <string>

typedef std::string Bytes;

// The size low bytes of v, lowest first.
inline Bytes le(uint64_t v, int size)
{
    return Bytes((const char *)&v, size);
}

inline const char *writeFile(const char *name, const Bytes &bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
    return name;
}
inline Bytes readFile(const char *name)
{
    std::ifstream file(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

#ifdef _WIN32
#include <windows.h>

// Points an import slot of this program, read-only once loaded, at entry; gives the entry before.
template <class Entry> Entry patchImport(Entry &slot, Entry entry)
{
    DWORD protection;
    VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &protection);
    std::swap(slot, entry);
    return entry;
}

extern "C" int(WINAPI *importedMessageBox)(HWND, LPCSTR, LPCSTR,
                                           UINT) __asm__("__imp__MessageBoxA@16");

inline bool expectingBoxes;

// reported.txt outlives a fatal report; a title other than "Error" goes before the text.  A box
// that no reported() asks for fails the test instead of waiting for a user.
inline int WINAPI recordBox(HWND, LPCSTR text, LPCSTR title, UINT)
{
    Bytes line = (strcmp(title, "Error") ? "[" + Bytes(title) + "] " : "") + text + "\n";
    EXPECT_TRUE(expectingBoxes) << line;
    writeFile("reported.txt", readFile("reported.txt") + line);
    return IDOK;
}
// From the program's start, before any test or static initialiser behind this header.
inline const auto boxesRecorded = patchImport(importedMessageBox, recordBox);

template <class Action> std::string reported(Action action)
{
    remove("reported.txt");
    expectingBoxes = true;
    action();
    expectingBoxes = false;
    Bytes texts = readFile("reported.txt");
    return texts.substr(0, texts.size() - !texts.empty());
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
