#include "ProgramStart.h"

#include <clocale>

std::unique_ptr<platform::Platform> openProgramPlatform(std::string* error) {
    std::setlocale(LC_NUMERIC, "C");
    return platform::createPlatform(error);
}
