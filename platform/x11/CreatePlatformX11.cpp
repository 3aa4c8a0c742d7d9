#include "X11Platform.h"

namespace platform {

// On Linux the session offers X11 or nothing this program can drive.
std::unique_ptr<Platform> createPlatform(std::string* error) {
    return X11Platform::open(error);
}

}  // namespace platform
