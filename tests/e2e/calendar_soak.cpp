// The calendar rows, for `./dev soak` with TINDLE_SOAK_CYCLES clip cycles.
#include "calendar_e2e.cpp"
