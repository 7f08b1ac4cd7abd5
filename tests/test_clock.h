// The tests' clock: it starts at a local time and runs on, so that a test can watch midnight.
#ifndef TINDLE_TESTS_TEST_CLOCK_H
#define TINDLE_TESTS_TEST_CLOCK_H

// Starts at "YYYY-MM-DD HH:MM:SS" (false for other text); else at TINDLE_CLOCK or the system's.
bool startTestClock(const char *localTime);

#endif
