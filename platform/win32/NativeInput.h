#pragma once
// Turns the platform's input records into the INPUT records SendInput takes.

#include <windows.h>

#include "platform/InputRecords.h"

namespace platform {

// The INPUT record for one platform record, time stamp and extra info 0.
INPUT toNativeInput(const InputRecord& record);

}  // namespace platform
