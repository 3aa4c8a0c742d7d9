#pragma once
// Stands in for the run that script functions reach through ScriptContext.h:
// a fake platform, a log that keeps every appended text, error lines made
// the way the runner makes them, and waits recorded on a WaitTimeline.

#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"

namespace run_double {

// The platform the script functions inject through.
platform::FakePlatform& fake();
// Every text appended to the run's log, in order.
std::vector<std::string>& logLines();
// Empties the log and the fake's records.
void reset();

}  // namespace run_double
