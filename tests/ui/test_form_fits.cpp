// Every text of the window gets the room it asks for, on a real X server,
// both at the size the window opens with and at the smallest size it can be
// given. ctest runs this at the default font, at a 1.5x font (QT_FONT_DPI=144)
// and at twice the scale (QT_SCALE_FACTOR=2).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include "platform/fake/FakePlatform.h"
#include "ui/MainWindow.h"

namespace {

TEST(FormFits, EveryTextHasItsRoomAtTheOpeningAndTheSmallestSize) {
    platform::FakePlatform platform;
    Recorder recorder;
    MainWindow window(platform, recorder);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The setting under test reached the window.
    const int dpi = qEnvironmentVariableIntValue("QT_FONT_DPI");
    EXPECT_TRUE(!dpi || window.logicalDpiY() == dpi) << window.logicalDpiY();
    EXPECT_DOUBLE_EQ(window.devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());

    QList<const QWidget*> texts;
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (!label->text().isEmpty()) texts << label;
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (!button->text().isEmpty()) texts << button;
    ASSERT_GE(texts.size(), 40);  // the form's labels and buttons

    const QSize opening = window.size();
    EXPECT_GE(opening.width(), 945);
    EXPECT_GE(opening.height(), 656);
    for (const QSize size : {opening, window.minimumSize()}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        window.resize(size);
        QTest::qWait(50);
        ASSERT_EQ(window.size(), size);
        // The text's own size, and every box it sits in inside the next one out.
        for (const QWidget* text : texts) {
            const std::string name = text->objectName().toStdString();
            EXPECT_GE(text->width(), text->sizeHint().width()) << name;
            EXPECT_GE(text->height(), text->sizeHint().height()) << name;
            for (const QWidget* inner = text; inner != &window; inner = inner->parentWidget())
                EXPECT_TRUE(inner->parentWidget()->rect().contains(inner->geometry())) << name;
        }
    }
}

}  // namespace
