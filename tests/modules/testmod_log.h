// What the test modules tell the tests: each line is appended to the file
// that TAVO_TESTMOD_LOG names, which outlives the modules themselves.
#ifndef TAVO_TESTS_TESTMOD_LOG_H
#define TAVO_TESTS_TESTMOD_LOG_H

#include "platform/platform.h"

void testmod_log(const char *line);

// The reason an entry point is called for, as the log words it.
const char *testmod_reason(DWORD reason);

#endif
