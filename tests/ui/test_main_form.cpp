// The form as built: object names and classes, texts, ranges, defaults,
// items, and the order in which its slots are connected.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "ui/InputTable.h"
#include "platform/fake/FakePlatform.h"
#include "ui/MainWindow.h"

namespace {

template <typename T>
T* child(const MainWindow& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QStringList comboItems(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

TEST(MainForm, EveryNamedObjectHasItsClassAndText) {
    platform::FakePlatform platform;
    MainWindow window(platform);
    const struct {
        const char* name;
        const char* className;
        const char* text;  // title, button or label text; null when there is none
    } objects[] = {
        {"ExecuteGroupBox", "QGroupBox", "Execute"},        {"groupBox_2", "QGroupBox", "Scripting"},
        {"InputInfoGroupBox", "QGroupBox", "Select Input"}, {"RecordingGroupBox", "QGroupBox", "Recording"},
        {"TableGroupBox", "QGroupBox", "Input Table"},      {"LoggingGroupBox", "QGroupBox", "Logging"},
        {"RepeatLabel", "QLabel", "Repeat (0 for inf)"},    {"HotKeyLabel", "QLabel", "HotKey"},
        {"Loop", "QCheckBox", "Loop?"},                     {"ResetHotKey", "QPushButton", "Clear HotKey"},
        {"StartStop", "QPushButton", "Start/Stop"},         {"Running", "QCheckBox", "Running"},
        {"EditScript", "QPushButton", "Edit Script"},
        {"ConvertTableToScript", "QPushButton", "Save Table As Script"},
        {"ScriptLocationLabel", "QLabel", "Script Location"}, {"UseTable", "QRadioButton", "Use Table"},
        {"Browse", "QPushButton", "Browse"},                {"UseScript", "QRadioButton", "Use Script"},
        {"DelayLabel", "QLabel", "Delay (ms)"},             {"ScrollStrengthLabel", "QLabel", "Scroll Strength"},
        {"SpecialKeysLabel", "QLabel", "Key"},              {"InputTypeLabel", "QLabel", "Input Type"},
        {"InputLocationLabel", "QLabel", "Input Location"}, {"MouseKeysLabel", "QLabel", "Mouse"},
        {"MouseYLabel", "QLabel", "Y"},                     {"MouseXLabel", "QLabel", "X"},
        {"MousePosLabel", "QLabel", "Mouse Pos"},
        {"MonitorMouseMovement", "QCheckBox", "Monitor Mouse Movement?"},
        {"Recording", "QCheckBox", "Recording"},
        {"RecordingStartStop", "QPushButton", "Start/Stop Recording"},
        {"ResetRecordingHotKey", "QPushButton", "Clear HotKey"},
        {"RecordingHotKeyLabel", "QLabel", "Recording HotKey"},
        {"MonitorStartPosition", "QCheckBox", "Monitor Mouse Start Position?"},
        {"AddNewInput", "QPushButton", "Add"},              {"ChangeSelectedInput", "QPushButton", "Replace"},
        {"DeleteSelectedInput", "QPushButton", "Delete"},   {"InsertBeforeSelectedInput", "QPushButton", "Insert"},
        {"ResetTable", "QPushButton", "Reset Table"},       {"SaveTable", "QPushButton", "Save Table"},
        {"LoadTable", "QPushButton", "Load Table"},         {"checkBox", "QCheckBox", "Write To Log?"},
        {"OpenLogWindow", "QPushButton", "Open Log Window"}, {"ClearLogOnPlay", "QCheckBox", "Clear Log On Play?"},
        {"SaveLogAsText", "QPushButton", "Save Log as *.txt"}, {"LuaLogLabel", "QLabel", "Log"},
        {"ClearLog", "QPushButton", "Clear Log"},           {"Hotkey", "QKeySequenceEdit", nullptr},
        {"RecordingHotkey", "QKeySequenceEdit", nullptr},   {"Repeat", "QSpinBox", nullptr},
        {"Delay", "QSpinBox", nullptr},                     {"MouseX", "QSpinBox", nullptr},
        {"MouseY", "QSpinBox", nullptr},                    {"ScrollStrength", "QDoubleSpinBox", nullptr},
        {"SpecialKeys", "QComboBox", nullptr},              {"InputType", "QComboBox", nullptr},
        {"InputLocation", "QComboBox", nullptr},            {"MouseKeys", "QComboBox", nullptr},
        {"ScriptLocation", "QLineEdit", nullptr},           {"LuaLog", "QPlainTextEdit", nullptr},
        {"Table", "InputTable", nullptr},                   {"centralWidget", "QWidget", nullptr},
        {"menuBar", "QMenuBar", nullptr},                   {"statusBar", "QStatusBar", nullptr},
    };
    for (const auto& o : objects) {
        SCOPED_TRACE(o.name);
        const QObject* object = child<QObject>(window, o.name);
        if (!object) continue;
        EXPECT_STREQ(object->metaObject()->className(), o.className);
        if (!o.text) continue;
        QString text;
        if (auto* box = qobject_cast<const QGroupBox*>(object)) text = box->title();
        if (auto* button = qobject_cast<const QAbstractButton*>(object)) text = button->text();
        if (auto* label = qobject_cast<const QLabel*>(object)) text = label->text();
        EXPECT_EQ(text, o.text);
    }
}

TEST(MainForm, ActionsExistInOrderAndStayUnplaced) {
    platform::FakePlatform platform;
    MainWindow window(platform);
    QStringList names, texts;
    for (const QAction* action : window.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
        names << action->objectName();
        texts << action->text();
        EXPECT_TRUE(action->associatedWidgets().isEmpty()) << action->objectName().toStdString();
    }
    EXPECT_EQ(names, QStringList({"actionOpen_New_Instance", "actionSave_Table", "actionSave_Table_As",
                                  "actionSave_Table_As_Script", "actionStart", "actionAbout"}));
    EXPECT_EQ(texts, QStringList({"Open New Instance", "Save Table", "Save Table As", "Save Table As Script",
                                  "Start/Stop", "About"}));
}

TEST(MainForm, ControlsStartWithTheirValuesAndRanges) {
    platform::FakePlatform platform;
    MainWindow window(platform);
    const struct {
        const char* name;
        int minimum, maximum, step, value;
    } spins[] = {{"Repeat", 0, 999, 1, 0},
                 {"Delay", 0, 999999999, 1, 100},
                 {"MouseX", -9999, 9999, 10, 0},
                 {"MouseY", -9999, 9999, 10, 0}};
    for (const auto& s : spins) {
        SCOPED_TRACE(s.name);
        const QSpinBox* spin = child<QSpinBox>(window, s.name);
        if (!spin) continue;
        EXPECT_EQ(spin->minimum(), s.minimum);
        EXPECT_EQ(spin->maximum(), s.maximum);
        EXPECT_EQ(spin->singleStep(), s.step);
        EXPECT_EQ(spin->value(), s.value);
    }
    const QDoubleSpinBox* strength = child<QDoubleSpinBox>(window, "ScrollStrength");
    EXPECT_EQ(strength->decimals(), 2);
    EXPECT_DOUBLE_EQ(strength->singleStep(), 0.333334);
    EXPECT_DOUBLE_EQ(strength->maximum(), 99.99);
    EXPECT_EQ(strength->text(), "0.00");

    for (const char* unchecked : {"Running", "Recording", "Loop", "MonitorMouseMovement", "MonitorStartPosition",
                                  "UseScript"})
        EXPECT_FALSE(child<QAbstractButton>(window, unchecked)->isChecked()) << unchecked;
    for (const char* checked : {"checkBox", "ClearLogOnPlay", "UseTable"})
        EXPECT_TRUE(child<QAbstractButton>(window, checked)->isChecked()) << checked;
    EXPECT_EQ(child<QLineEdit>(window, "ScriptLocation")->text(), "LuaScripts/Table.lua");
    const QPlainTextEdit* log = child<QPlainTextEdit>(window, "LuaLog");
    EXPECT_TRUE(log->toPlainText().isEmpty());
    EXPECT_TRUE(log->isReadOnly());
    EXPECT_EQ(log->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(window.size(), QSize(945, 656));
    EXPECT_EQ(window.windowTitle(), "MainWindow");
}

TEST(MainForm, ComboBoxesHoldExactlyTheirItems) {
    platform::FakePlatform platform;
    MainWindow window(platform);
    EXPECT_EQ(comboItems(child<QComboBox>(window, "SpecialKeys")).value(0), "None");
    EXPECT_EQ(comboItems(child<QComboBox>(window, "InputType")), QStringList({"Hit", "Press", "Release"}));
    EXPECT_EQ(comboItems(child<QComboBox>(window, "InputLocation")), QStringList({"Keyboard", "Mouse", "None"}));
    EXPECT_EQ(comboItems(child<QComboBox>(window, "MouseKeys")),
              QStringList({"None", "Mouse Delta Pos", "Mouse Position", "MouseLeft", "MouseMiddle", "MouseRight",
                           "MouseX1", "MouseX2", "Scroll Up", "Scroll Down"}));
    for (const char* name : {"SpecialKeys", "MouseKeys"}) {
        const QComboBox* combo = child<QComboBox>(window, name);
        EXPECT_EQ(combo->maxVisibleItems(), 20);
        EXPECT_EQ(combo->insertPolicy(), QComboBox::InsertAlphabetically);
        EXPECT_EQ(combo->minimumWidth(), 122);
    }
}

TEST(MainForm, TableShowsThreeFixedColumnsWithoutDragAndDrop) {
    platform::FakePlatform platform;
    MainWindow window(platform);
    const InputTable* table = child<InputTable>(window, "Table");
    ASSERT_EQ(table->columnCount(), 3);
    QStringList headers;
    for (int column = 0; column < 3; ++column) headers << table->horizontalHeaderItem(column)->text();
    EXPECT_EQ(headers, QStringList({"Key", "Input", "Delay (ms)"}));
    EXPECT_EQ(table->horizontalHeader()->defaultSectionSize(), 160);
    EXPECT_EQ(table->horizontalHeader()->minimumSectionSize(), 27);
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_EQ(table->minimumWidth(), 520);
    EXPECT_EQ(table->maximumWidth(), 520);
    EXPECT_EQ(table->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(table->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    EXPECT_EQ(table->dragDropMode(), QAbstractItemView::NoDragDrop);
    EXPECT_FALSE(table->dragEnabled());
    EXPECT_EQ(table->font().pointSize(), 9);
}

TEST(MainForm, SlotsAreConnectedInTheirFixedOrder) {
    const QStringList order = {
        "on_Hotkey_keySequenceChanged(QKeySequence)", "on_InputLocation_currentTextChanged(QString)",
        "on_UseScript_toggled(bool)", "on_Running_toggled(bool)", "on_Table_itemSelectionChanged()",
        "on_AddNewInput_clicked()", "on_ChangeSelectedInput_clicked()", "on_ResetTable_clicked()",
        "on_ResetHotKey_clicked()", "on_DeleteSelectedInput_clicked()", "on_ConvertTableToScript_clicked()",
        "on_Browse_clicked()", "on_EditScript_clicked()", "on_SaveLogAsText_clicked()", "on_ClearLog_clicked()",
        "on_checkBox_toggled(bool)", "on_Loop_toggled(bool)", "on_Table_cellChanged(int,int)",
        "on_InsertBeforeSelectedInput_clicked()", "on_RecordingHotkey_keySequenceChanged(QKeySequence)",
        "on_ResetRecordingHotKey_clicked()", "on_RecordingStartStop_clicked()", "on_StartStop_clicked()",
        "on_Recording_toggled(bool)", "Update()", "on_OpenLogWindow_clicked()", "on_LuaLog_textChanged()",
        "on_SaveTable_clicked()", "on_LoadTable_clicked()", "cellEnteredSlot(int,int)",
        "on_MouseKeys_currentTextChanged(QString)", "on_ClearLogOnPlay_toggled(bool)"};
    const QMetaObject& meta = MainWindow::staticMetaObject;
    EXPECT_STREQ(meta.className(), "MainWindow");
    int previous = -1;
    for (const QString& slot : order) {
        const int index = meta.indexOfSlot(slot.toLatin1().constData());
        ASSERT_GE(index, 0) << slot.toStdString();
        EXPECT_GT(index, previous) << slot.toStdString();
        previous = index;
    }
    EXPECT_EQ(meta.methodCount() - meta.methodOffset(), order.size());
}

}  // namespace
