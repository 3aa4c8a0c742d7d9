// The program as main runs it, with a script run under way from the start
// and a last chance that says on stderr that it ran. argv[1]: the script.

#include <QAbstractButton>
#include <QLineEdit>
#include <cstdio>

#include "app/ProgramSession.h"
#include "app/ProgramStart.h"
#include "tests/e2e_run/DisplayLossMarker.h"

int main(int argc, char* argv[]) {
    if (argc < 2) return 127;
    const QString script = QString::fromLocal8Bit(argv[1]);
    return runProgram(argc, argv, [&](ProgramSession& session) {
        session.setDisplayLossCallback([] { std::fputs(LastChanceMarker, stderr); });
        MainWindow& window = session.window();
        window.findChild<QLineEdit*>("ScriptLocation")->setText(script);
        window.findChild<QAbstractButton*>("UseScript")->setChecked(true);
        window.findChild<QAbstractButton*>("Running")->setChecked(true);
    });
}
