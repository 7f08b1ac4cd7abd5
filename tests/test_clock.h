// The clock of the tests and of the saver's test variant: it starts at a
// local time and runs on in real time, so that a test can watch midnight.
#ifndef TINDLE_TESTS_TEST_CLOCK_H
#define TINDLE_TESTS_TEST_CLOCK_H

// Starts at "YYYY-MM-DD HH:MM:SS"; false for any other text.  Unstarted, the
// clock starts at its first reading from TINDLE_CLOCK or the system clock.
bool startTestClock(const char *localTime);

#endif
