#pragma once
// A main window with the key names loaded, and short ways to reach its
// controls by object name and to read its table.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>
#include <vector>

#include "input/KeyNames.h"
#include "table/TableRow.h"
#include "ui/InputTable.h"
#include "platform/fake/FakePlatform.h"
#include "ui/MainWindow.h"

class WindowFixture : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }

    // No real dialog may block a test: until a test answers them, file
    // dialogs are cancelled, and every message box is noted and closed.
    void SetUp() override {
        const MainWindow::FileDialog cancel = [](QWidget*, const QString&, const QString&, const QString&) {
            return QString();
        };
        window.setFileDialogs(cancel, cancel);
        QObject::connect(&boxCloser, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            boxes.push_back({box->windowTitle(), box->text()});
            box->accept();
        });
        boxCloser.start(1);
    }

    struct Box {
        QString title, text;
    };
    // The message boxes shown so far, oldest first.
    std::vector<Box> boxes;

    template <typename T = QWidget>
    T* widget(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        if (!found) ADD_FAILURE() << "no " << name;
        return found;
    }
    QComboBox* combo(const char* name) { return widget<QComboBox>(name); }
    InputTable* grid() { return widget<InputTable>("Table"); }
    void click(const char* button) { widget<QAbstractButton>(button)->click(); }
    bool enabled(const char* name) { return widget(name)->isEnabled(); }

    // Chooses an input in the editor; the enable rules follow the choice.
    void chooseKey(const char* key, const char* action, int delay) {
        combo("InputLocation")->setCurrentText("Keyboard");
        combo("SpecialKeys")->setCurrentText(key);
        combo("InputType")->setCurrentText(action);
        widget<QSpinBox>("Delay")->setValue(delay);
    }
    void chooseMouse(const char* entry, int delay) {
        combo("InputLocation")->setCurrentText("Mouse");
        combo("MouseKeys")->setCurrentText(entry);
        widget<QSpinBox>("Delay")->setValue(delay);
    }
    void addRow(const char* key, int delay) {
        chooseKey(key, "Hit", delay);
        click("AddNewInput");
    }
    void selectRow(int row) { grid()->selectRow(row); }

    table::TableRows rows() { return window.tableRows(); }

    platform::FakePlatform platform;
    MainWindow window{platform};
    QTimer boxCloser;
};
