// quellcal as a program: started headless, ended by SIGTERM, it must leave its settings written
// as a normal close does.

#include "client/IniFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace quell {
namespace {

TEST(QuellcalProcess, SigtermClosesLikeExitAndWritesTheSettings)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString settings = dir.filePath("site one.cli");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUELL_NONINTERACTIVE", "1");
    program.setProcessEnvironment(env);
    // A path with a blank, split by the shell, is joined again.
    program.start(QUELLCAL_PATH, {dir.filePath("site"), "one.cli"});
    ASSERT_TRUE(program.waitForStarted());
    // The first start writes every default; the window then waits for its user.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return IniFile(settings).valueExists("Config", "Caption"); }, 10000));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    const IniFile after(settings);
    EXPECT_EQ(after.readString("Config", "ViewConfig", ""), "1");
    EXPECT_EQ(after.readString("Action", "Start", ""), "0");
    EXPECT_TRUE(after.valueExists("View", "Visible"));
    // Headless, messages go to standard error: the empty description name is reported.
    EXPECT_TRUE(program.readAllStandardError().contains("error: Error protocol line: 0"));
    EXPECT_TRUE(QFileInfo(dir.filePath("Vals")).isDir());
}

} // namespace
} // namespace quell
