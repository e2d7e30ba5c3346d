#include "client/ValueSetFile.h"

#include "client/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace quell {
namespace {

using Step = ValueSetFile::SaveStep;

class ValueSetFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QString modeIn(const QString& name) const
    {
        return IniFile(path(name)).readString("Bench", "Mode", "<missing>");
    }
    ValueSetFile::SaveResult save(const QString& mode, const ValueSetFile::StepHook& hook = {})
    {
        return ValueSetFile::save(path("a.val"), "Bench", 7, {"Mode"}, {mode}, &error, hook);
    }

    QTemporaryDir dir;
    QString error;
};

// A kill can come between any two steps; whatever the folder holds then must include the value
// set, the old one until the new one has replaced it.
TEST_F(ValueSetFileTest, TheValueSetExistsAtEveryStep)
{
    struct Case {
        const char* name;
        bool oldFile;
        std::vector<Step> steps;
        std::vector<const char*> modeAtStep; // a.val's Mode at each step
    };
    const std::vector<Case> cases = {
        {"over an old file",
         true,
         {Step::NewWritten, Step::BackupMade, Step::Replaced},
         {"old", "old", "new"}},
        {"a first save", false, {Step::NewWritten, Step::Replaced}, {"<missing>", "new"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        if (c.oldFile) {
            ASSERT_EQ(save("old"), ValueSetFile::SaveResult::Saved);
        }

        std::vector<Step> seen;
        std::vector<QString> modes;
        ASSERT_EQ(save("new",
                       [&](Step s) {
                           seen.push_back(s);
                           modes.push_back(modeIn("a.val"));
                       }),
                  ValueSetFile::SaveResult::Saved)
            << error.toStdString();
        EXPECT_EQ(seen, c.steps);
        ASSERT_EQ(modes.size(), c.modeAtStep.size());
        for (std::size_t i = 0; i < modes.size(); ++i)
            EXPECT_EQ(modes[i], c.modeAtStep[i]) << "step " << i;
        EXPECT_EQ(modeIn("a.BAK"), c.oldFile ? "old" : "<missing>");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
                  c.oldFile ? QStringList({"a.BAK", "a.val"}) : QStringList({"a.val"}))
            << "no temporary file is left behind";
    }
}

TEST_F(ValueSetFileTest, TheBackupIsOneGenerationAndNotTheLiveFile)
{
    for (const char* mode : {"1", "2", "3"})
        ASSERT_EQ(save(mode), ValueSetFile::SaveResult::Saved);
    EXPECT_EQ(modeIn("a.val"), "3");
    EXPECT_EQ(modeIn("a.BAK"), "2");
    EXPECT_EQ(IniFile(path("a.val")).readInteger("Bench", "PB", 0), 7);
}

TEST_F(ValueSetFileTest, AFailedSaveLeavesTheOldFileAsItWas)
{
    ASSERT_EQ(save("old"), ValueSetFile::SaveResult::Saved);
    // A folder under the backup's name cannot be deleted as a file.
    ASSERT_TRUE(QDir().mkpath(path("a.BAK/x")));
    EXPECT_EQ(save("new"), ValueSetFile::SaveResult::BackupNotDeleted);
    EXPECT_EQ(modeIn("a.val"), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"a.val"}));

    // A file named like a backup would be its own backup.
    ASSERT_EQ(ValueSetFile::save(path("c.BAK"), "Bench", 1, {"Mode"}, {"old"}),
              ValueSetFile::SaveResult::Saved);
    EXPECT_EQ(ValueSetFile::save(path("c.BAK"), "Bench", 1, {"Mode"}, {"new"}),
              ValueSetFile::SaveResult::BackupNotCreated);
    EXPECT_EQ(modeIn("c.BAK"), "old");
}

} // namespace
TEST_F(ValueSetFileTest, AFileThatIsNotTextLoadsNothingAndSaysWhy)
{
    QFile file(path("b.val"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("[\0B\0e\0n\0c\0h\0]\0", 14));
    file.close();
    const ValueSetFile::Loaded loaded = ValueSetFile::load(path("b.val"), "Bench", {"Mode"});
    EXPECT_TRUE(loaded.errorText.contains(path("b.val"))) << loaded.errorText.toStdString();
    EXPECT_FALSE(loaded.boardNumber);
    EXPECT_TRUE(loaded.cells.empty());

    ASSERT_EQ(save("x"), ValueSetFile::SaveResult::Saved);
    EXPECT_TRUE(ValueSetFile::load(path("a.val"), "Bench", {"Mode"}).errorText.isEmpty());
}

} // namespace quell
