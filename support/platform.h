// The few operating-system services that the error report needs, so that the
// report (and the picture readers that use it) also build natively on Linux
// for sanitizers and fuzzers.
#ifndef TINDLE_SUPPORT_PLATFORM_H
#define TINDLE_SUPPORT_PLATFORM_H

// Shows text in a system-modal box titled "Error" with one OK button and
// returns when the user has closed it.
void platformShowError(const char *text);

// Makes the following abort() end the process with status 3 and no notice
// of its own.
void platformQuietAbort();

#endif
