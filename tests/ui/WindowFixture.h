#pragma once
// A main window on the fake platform. Its file dialogs return `answer`
// (empty: cancelled) and note what they were asked; every message box is
// noted as "title: text" and closed, so no dialog blocks a test.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "input/KeyNames.h"
#include "platform/fake/FakePlatform.h"
#include "ui/InputTable.h"
#include "ui/MainWindow.h"

class WindowFixture : public testing::Test {
public:
    static void SetUpTestSuite() { initKeyNames(); }
    void SetUp() override {
        const auto dialog = [this](QWidget* owner, const QString& caption, const QString& start, const QString& filter) {
            EXPECT_EQ(owner, &window);
            asked << caption << start << filter;
            return answer;
        };
        window.setFileDialogs(dialog, dialog);
        QObject::connect(&boxCloser, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->windowTitle() + ": " + box->text();
                box->accept();
            }
        });
        boxCloser.start(1);
    }

    template <typename T = QAbstractButton>
    T* widget(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        if (!found) ADD_FAILURE() << "no " << name;
        return found;
    }
    QComboBox* combo(const char* name) { return widget<QComboBox>(name); }
    InputTable* grid() { return widget<InputTable>("Table"); }
    void click(const char* button) { widget(button)->click(); }
    void check(const char* box, bool on = true) { widget(box)->setChecked(on); }
    bool checked(const char* box) { return widget(box)->isChecked(); }
    bool enabled(const char* name) { return widget<QWidget>(name)->isEnabled(); }
    QString log() { return widget<QPlainTextEdit>("LuaLog")->toPlainText(); }
    table::TableRows rows() { return window.tableRows(); }
    QString file(const QString& name, const QByteArray& bytes) {
        QFile out(dir.filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size()) << name.toStdString();
        return out.fileName();
    }
    QByteArray read(const QString& path) {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    void chooseKey(const char* key, const char* action, int delay) {
        combo("InputLocation")->setCurrentText("Keyboard");
        combo("SpecialKeys")->setCurrentText(key);
        combo("InputType")->setCurrentText(action);
        widget<QSpinBox>("Delay")->setValue(delay);
    }
    void chooseMouse(const char* entry, int delay = 0) {
        combo("InputLocation")->setCurrentText("Mouse");
        combo("MouseKeys")->setCurrentText(entry);
        widget<QSpinBox>("Delay")->setValue(delay);
    }
    void addRow(const char* key, int delay = 1) {
        chooseKey(key, "Hit", delay);
        click("AddNewInput");
    }

    QTemporaryDir dir;
    platform::FakePlatform platform;
    Recorder recorder;
    MainWindow window{platform, recorder};
    QTimer boxCloser;
    QString answer;
    QStringList asked, boxes;
};
