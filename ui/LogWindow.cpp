#include "LogWindow.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>

namespace {
const char LogWindowTitle[] = QT_TRANSLATE_NOOP("LogWindow", "Log Window");
constexpr int LogWindowWidth = 400;
constexpr int LogWindowHeight = 300;
}  // namespace

LogWindow::LogWindow(QWidget* parent)
    : QDialog(parent),
      horizontalLayout(new QHBoxLayout(this)),
      LogText(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("LogWindow"));
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    LogText->setObjectName(QStringLiteral("LogText"));
    // Plain text like the view: a rich-text browser lays out the whole
    // document again whenever old lines leave from the top.
    LogText->setReadOnly(true);
    LogText->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Log lines rarely need complex shaping; skipping it where a script does
    // not need it takes about a third off laying out each line.
    QFont font = LogText->font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    LogText->setFont(font);
    horizontalLayout->addWidget(LogText);
    setWindowTitle(tr(LogWindowTitle));
    resize(LogWindowWidth, LogWindowHeight);
    setModal(false);
    setFocusPolicy(Qt::NoFocus);
    setSizeGripEnabled(true);
}
