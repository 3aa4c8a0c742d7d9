#include <QApplication>
#include <cstdio>

#include "app/ProgramSession.h"
#include "app/ProgramStart.h"
#include "input/KeyNames.h"

int main(int argc, char* argv[]) {
    initKeyNames();
    QApplication application(argc, argv);

    std::string error;
    std::unique_ptr<platform::Platform> backend = openProgramPlatform(&error);
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
