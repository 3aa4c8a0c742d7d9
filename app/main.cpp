#include <QApplication>
#include <clocale>
#include <cstdio>

#include "app/ProgramSession.h"
#include "input/KeyNames.h"
#include "platform/Platform.h"

int main(int argc, char* argv[]) {
    initKeyNames();
    QApplication application(argc, argv);
    // Qt took the locale from the environment; scripts and files want ".".
    std::setlocale(LC_NUMERIC, "C");

    std::string error;
    std::unique_ptr<platform::Platform> backend = platform::createPlatform(&error);
    if (!backend) {
        std::fprintf(stderr, "quillpress: %s\n", error.c_str());
        return 1;
    }

    int status = 0;
    {
        ProgramSession session(*backend);
        status = application.exec();
    }
    // The backend goes last, after everything that used it.
    backend.reset();
    return status;
}
