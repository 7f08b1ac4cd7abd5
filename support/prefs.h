// The program's settings: values under HKEY_LOCAL_MACHINE
// "Software\Brackwell\Tindle".  Every call opens (creating it when missing)
// and closes the key, so a change made by another process is seen at once.
// A value that is read but missing is created with the caller's default.
// Failing to open the key or to store a value ends the program, unless the
// key's rights refuse the store: then it is skipped.
//
//   InstallDir       text   where the pictures, clips and tindle.exe are
//   LastChecked      number day of December settled in LastCheckedYear
//   LastCheckedYear  number year, counted from 1900, of LastChecked
//   Advent, Twelve   number 1 forces that season
#ifndef TINDLE_SUPPORT_PREFS_H
#define TINDLE_SUPPORT_PREFS_H

#include <windows.h>

// The stored number, or defaultValue (then stored) when the value is
// missing.  Up to four bytes of any type are read as the number over the
// default's bytes; a longer value gives the default and is left as it is.
DWORD readDword(const char *name, DWORD defaultValue);
void writeDword(const char *name, DWORD value);

// Fills buffer (size bytes) with the stored text, always terminated, or with
// defaultText (then stored) when the value is missing.  A value that is not
// text or does not fit gives defaultText and is left as it is.
void readString(const char *name, char *buffer, DWORD size, const char *defaultText);

// InstallDir as stored, without adding or removing a trailing backslash;
// ends the program when it is missing or empty.
void installDir(char *buffer, DWORD size);

// LastChecked for year; a different stored year gives 0, after resetting
// the day to 0 and recording year.
DWORD lastCheckedForYear(DWORD year);
// Stores year and then day.
void recordProgress(DWORD year, DWORD day);

// The user's own choice under HKEY_CURRENT_USER "Software\Brackwell\Tindle":
// "Enlarge" 0 keeps the calendar at its own size on large screens; a missing
// or unreadable value, or any other number, enlarges it.
bool readEnlarge();
// Stores "Enlarge" as 1 or 0; false when it could not be stored.
bool writeEnlarge(bool enlarge);

#endif
