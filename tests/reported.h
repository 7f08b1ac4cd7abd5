// What the unit tests share: bytes, files written and read whole, and the texts of the "Error"
// boxes shown while an action ran, a line each (under Windows the program's MessageBoxA import
// records and answers them, natively the reports' lines on stderr).
#ifndef TINDLE_TESTS_REPORTED_H
#define TINDLE_TESTS_REPORTED_H

#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

typedef std::string Bytes;

// The size low bytes of v, lowest first.
inline Bytes le(uint64_t v, int size)
{
    return Bytes((const char *)&v, size);
}

inline const char *writeFile(const char *name, const Bytes &bytes)
{
    FILE *file = fopen(name, "wb");
    if (file) {
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    return name;
}
inline Bytes readFile(const char *name)
{
    Bytes out;
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

typedef int(WINAPI *MessageBoxEntry)(HWND, LPCSTR, LPCSTR, UINT);
extern "C" MessageBoxEntry importedMessageBox __asm__("__imp__MessageBoxA@16");

// Adds the box's text to reported.txt, which outlives a fatal report, behind its title when that
// is not "Error"; the box is answered with OK.
inline int WINAPI recordBox(HWND, LPCSTR text, LPCSTR title, UINT)
{
    Bytes line = (strcmp(title, "Error") ? "[" + Bytes(title) + "] " : "") + text + "\n";
    writeFile("reported.txt", readFile("reported.txt") + line);
    return IDOK;
}

template <class Action> std::string reported(Action action)
{
    MessageBoxEntry shown = importedMessageBox;
    DWORD protection; // the import slots are read-only
    VirtualProtect(&importedMessageBox, sizeof shown, PAGE_READWRITE, &protection);
    remove("reported.txt");
    importedMessageBox = recordBox;
    action();
    importedMessageBox = shown;
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
