#include <QApplication>
#include <clocale>
#include <cstdio>

#include "input/KeyNames.h"
#include "platform/Platform.h"
#include "ui/MainWindow.h"

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

    MainWindow window;
    window.setWindowTitle("Quillpress");
    window.show();
    return application.exec();
}
