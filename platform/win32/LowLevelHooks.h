#pragma once
// The global low-level keyboard and mouse hooks. Their procedures run on the
// installing thread while it waits for messages and hand each key and button
// event to a listener.

#include "platform/Platform.h"

namespace platform {

// Installs both hooks for the calling thread (once per process). Each event
// goes to the listener *listener names at that moment, if any.
void installLowLevelHooks(CaptureListener* const* listener);
// Removes both hooks; harmless when they are not installed.
void removeLowLevelHooks();

}  // namespace platform
