#include "Win32Platform.h"

namespace platform {

// user32 is always there: the Windows backend cannot fail to open.
std::unique_ptr<Platform> createPlatform(std::string* /*error*/) {
    return std::make_unique<Win32Platform>();
}

}  // namespace platform
