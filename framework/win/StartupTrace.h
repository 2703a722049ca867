// Where a program's start-up time goes. With PEMBROX_STARTUP_TRACE set in the environment, the
// first StartupMark of each name writes a line to standard error: the milliseconds since the
// process was created, and the name. Without it a mark costs one test of a flag.
#pragma once

void StartupMark(const char* What);
