// The task loops the application logic posts to, for tests: loop 1 on this (GUI) thread and loop 3
// on a worker thread.
#pragma once

#include "QtWait.h"

namespace vxtest {

// Registers both loops once per process; they run until the process ends.
void EnsureTaskLoops();

// Both loops for one test suite: call StartSuiteLoops from SetUpTestSuite and StopSuiteLoops
// from TearDownTestSuite; the worker is joined there.
void StartSuiteLoops();
void StopSuiteLoops();

} // namespace vxtest
