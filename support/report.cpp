#include "support/report.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "support/platform.h"

static thread_local char reportText[REPORT_TEXT_SIZE];
static thread_local char scratchText[SCRATCH_TEXT_SIZE];
static void (*fatalCleanup)();

void setFatalCleanup(void (*cleanup)())
{
    fatalCleanup = cleanup;
}

void composeReport(char *out, size_t size, unsigned category, const char *format, va_list args)
{
    size_t used;

    if (size == 0)
        return;
    out[0] = '\0';
    if (category & ERR_INTERNAL)
        strncat(out, "internal ", size - 1 - strlen(out));
    strncat(out, "error, ", size - 1 - strlen(out));
    if (category & ERR_NOMEM)
        strncat(out, "out of memory, ", size - 1 - strlen(out));
    else if (category & ERR_RESOURCE)
        strncat(out, "resource unavailable, ", size - 1 - strlen(out));
    used = strlen(out);
    vsnprintf(out + used, size - used, format, args);
    out[size - 1] = '\0';
}

// A fatal report is the end: the box has been seen, and the run-time's own
// "abnormal program termination" box would only be a second, empty one.
[[noreturn]] static void endAbnormally()
{
    if (fatalCleanup != nullptr)
        fatalCleanup();
    platformQuietAbort();
    abort();
}

void reportError(unsigned category, const char *format, ...)
{
    va_list args;

    try {
        va_start(args, format);
        composeReport(reportText, sizeof reportText, category, format, args);
        va_end(args);
        platformShowError(reportText);
    } catch (...) {
        endAbnormally();
    }
    if (category & (ERR_FATAL | ERR_ABORT))
        endAbnormally();
}

const char *formatScratch(const char *format, ...)
{
    va_list args;

    va_start(args, format);
    vsnprintf(scratchText, sizeof scratchText, format, args);
    va_end(args);
    return scratchText;
}
