#include "ReferenceWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ProgramFiles.h"

namespace {
const char Title[] = QT_TRANSLATE_NOOP("ReferenceWindow", "Quillpress Reference");
const char FindHint[] = QT_TRANSLATE_NOOP("ReferenceWindow", "Find (Enter for the next match)");
const char NotShownTitle[] = QT_TRANSLATE_NOOP("ReferenceWindow", "Reference not shown");
const char NotFound[] = QT_TRANSLATE_NOOP("ReferenceWindow", "The reference ReadMe.txt is in none of these folders:\n%1");
const char NotRead[] = QT_TRANSLATE_NOOP("ReferenceWindow", "The reference %1 could not be read: %2");
// Wide enough for the reference's 78 columns in the fixed font.
constexpr int WidthInColumns = 84;
constexpr int HeightInLines = 40;
}  // namespace

ReferenceWindow::ReferenceWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ReferenceWindow"));
    setWindowTitle(tr(Title));
    find_ = new QLineEdit(this);
    find_->setPlaceholderText(tr(FindHint));
    find_->setClearButtonEnabled(true);
    view_ = new QPlainTextEdit(this);
    view_->setReadOnly(true);
    // The reference lines up its tables in columns.
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(find_);
    layout->addWidget(view_);
    connect(find_, &QLineEdit::returnPressed, this, &ReferenceWindow::findNext);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    const QFontMetrics metrics(view_->font());
    resize(metrics.horizontalAdvance(QLatin1Char('M')) * WidthInColumns,
           metrics.lineSpacing() * HeightInLines);
}

void ReferenceWindow::open() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString path = programFiles::findReference(programFolder);
    if (path.isEmpty()) {
        const QStringList searched = programFiles::referenceFolders(programFolder);
        QMessageBox::warning(parentWidget(), tr(NotShownTitle),
                             tr(NotFound).arg(QDir::toNativeSeparators(searched.join(QLatin1Char('\n')))));
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(parentWidget(), tr(NotShownTitle),
                             tr(NotRead).arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    view_->setPlainText(QString::fromUtf8(file.readAll()));
    show();
    raise();
    activateWindow();
}

// From the cursor on, then once more from the top.
void ReferenceWindow::findNext() {
    const QString text = find_->text();
    if (text.isEmpty()) return;
    if (view_->find(text)) return;
    view_->moveCursor(QTextCursor::Start);
    view_->find(text);
}
