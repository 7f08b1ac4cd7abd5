// The one way the program tells the user about a failure: a system-modal
// "Error" box, after which the fatal categories end the process.
#ifndef TINDLE_SUPPORT_REPORT_H
#define TINDLE_SUPPORT_REPORT_H

#include <stdarg.h>
#include <stddef.h>

enum { ERR_FATAL = 1, ERR_ABORT = 2, ERR_INTERNAL = 4, ERR_NOMEM = 8, ERR_RESOURCE = 16 };

enum { REPORT_TEXT_SIZE = 1024, SCRATCH_TEXT_SIZE = 512 };

// Shows "error, ..." and returns only for categories without ERR_FATAL and
// ERR_ABORT; the others end the process with status 3.
void reportError(unsigned category, const char *format, ...) __attribute__((format(printf, 2, 3)));

// What must still happen when a fatal report ends the process, such as
// telling the system that the saver no longer runs; null for nothing.  Set
// by whoever made the change that must not outlive the process.
void setFatalCleanup(void (*cleanup)());

// Builds the text that reportError shows into out (size characters with the
// terminating zero), cutting a message that does not fit.
void composeReport(char *out, size_t size, unsigned category, const char *format, va_list args);

// Formats into this thread's 512-character scratch text and returns it; the
// text is cut to fit and stays valid until the next call on the thread.
const char *formatScratch(const char *format, ...) __attribute__((format(printf, 1, 2)));

#endif
