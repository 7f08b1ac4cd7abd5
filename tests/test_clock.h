// The clock of the tests and of the saver's test variant: it starts at a
// given local time and runs on in real time from there, so that a test can
// choose the date and also watch midnight pass.
#ifndef TINDLE_TESTS_TEST_CLOCK_H
#define TINDLE_TESTS_TEST_CLOCK_H

// Starts the clock at "YYYY-MM-DD HH:MM:SS" local time; false when the text
// is not such a time. Without a call the clock starts at the first reading,
// from the environment variable TINDLE_CLOCK, or else from the system clock.
bool startTestClock(const char *localTime);

#endif
