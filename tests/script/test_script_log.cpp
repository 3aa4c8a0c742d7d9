// The log channel seen from scripts: Log's text forms and argument reports,
// the calling line of logScriptError, and numbers written with "." whatever
// the process's locale.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "RunHarness.h"
#include "script/RunLog.h"
#include "script/Thread.h"

namespace {

QString scriptOutput(const std::string& text) {
    RunHarness h;
    return scriptOutput(h, text);
}

TEST(LogFunction, WritesItsTextAsItIsWithoutALineEnd) {
    EXPECT_EQ(scriptOutput("Log(42)"), "42");
    EXPECT_EQ(scriptOutput("Log(\"a\") Log(\"b\")"), "ab");
    EXPECT_EQ(scriptOutput("Log(5.5) Log(' ') Log(3.0) Log(' ') Log(2^53) Log(' ') Log(-0.0)"),
              "5.5 3.0 9.007199254741e+15 -0.0");
    EXPECT_EQ(scriptOutput("Log(\"a\\0b\")"), "a");
    EXPECT_EQ(scriptOutput("Log(\"gr\\xC3\\xBC\\xC3\\x9F\\n\")"), QString::fromUtf8("grüß\n"));
}

TEST(LogFunction, BadCallsAreReportedWithTheCallingLine) {
    EXPECT_EQ(scriptOutput("Log()\n"
                           "Log(\"a\", \"b\")\n"
                           "Log({})\n"
                           "Log(nil)\n"
                           "pcall(Log)\n"
                           "local function f()\n"
                           "  Log(true)\n"
                           "end\n"
                           "f()"),
              "Error Line 1: Wrong number of arguments.\n"
              "Error Line 2: Wrong number of arguments.\n"
              "Error Line 3: Wrong type of arguments, \nExpected: string\n"
              "Error Line 4: Wrong type of arguments, \nExpected: string\n"
              "Error Line -1: Wrong number of arguments.\n"
              "Error Line 7: Wrong type of arguments, \nExpected: string\n");
}

TEST(LogFunction, ABadCallInsideACoroutineNamesItsLine) {
    EXPECT_EQ(scriptOutput("coroutine.wrap(function()\n"
                           "  Log()\n"
                           "end)()"),
              "Error Line 2: Wrong number of arguments.\n");
}

// More than the window can take at once waits on disk and comes back in
// order, in pieces of any size, without splitting a character.
TEST(LogChannel, TextPastThePendingLimitComesBackWholeAndInOrder) {
    constexpr int Lines = 150000;
    const std::string script = "for i = 1, " + std::to_string(Lines) + " do Log(i .. '\\xF0\\x9F\\x98\\x80\\n') end";
    RunHarness h;
    Thread* run = h.start(script);
    ASSERT_TRUE(run->wait(60000));
    QString taken;
    for (QString piece; !(piece = run->log()->take(4099)).isEmpty();) {
        ASSERT_FALSE(piece.at(piece.size() - 1).isHighSurrogate());
        taken += piece;
    }
    QString expected = QString::fromStdString("-- Loading: TABLE\n" + script + "\n");
    for (int line = 1; line <= Lines; ++line) expected += QString::number(line) + QString::fromUtf8("\xF0\x9F\x98\x80\n");
    expected += "-- Finished executing: TABLE\n\n";
    ASSERT_GT(expected.size(), PendingLogLimit);
    EXPECT_TRUE(taken == expected);
}

// Qt sets the C library's locale from the environment; a German one writes
// 5,5. Every run keeps "." for itself.
TEST(NumericLocale, RunsWriteAndReadNumbersWithAPointUnderAGermanLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the de_DE.UTF-8 locale is missing: run scripts/setup.sh";
    char german[16];
    std::snprintf(german, sizeof german, "%.1f", 5.5);
    EXPECT_STREQ(german, "5,5");

    const QString output = scriptOutput(
        "Log(5.5) Log(' ') Log(tostring(5.0)) Log(' ') Log(string.format('%.2f', 1.5)) Log(' ') "
        "Log(tonumber('2.5') * 2) Log(' ') Log(tostring(tonumber('2,5')))");

    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(output, "5.5 5.0 1.50 5.0 nil");
}

}  // namespace
