// Value sets of the compact configurator: sections named after the file, split at the a entries,
// and a load that brings the rows of the numbered sections back.
#include "compact/CompactValueSet.h"

#include "client/IniFile.h"
#include "compact/UCommands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace quell::compact {
namespace {

// Rows 1-3 plain, 4 an a entry, 5-6 plain, 7 an a entry, 8 plain; Default of row n is 10 n.
std::unique_ptr<TProtocol> plantTable()
{
    auto table = std::make_unique<TProtocol>();
    table->Count = 8;
    for (int row = 1; row <= 8; ++row) {
        TCommands& e = table->Commands[static_cast<std::size_t>(row)];
        e.Name = "p" + std::to_string(row);
        e.TypeCode = row == 4 || row == 7 ? kTypeIndex : kTypeDecimal;
        e.Default = static_cast<std::int16_t>(10 * row);
    }
    return table;
}

TEST(CompactValueSet, SaveSplitsAtTheAEntriesAndLoadBringsEveryRowBack)
{
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("plant.val"));
    const auto table = plantTable();
    const QStringList cells = {"1", "2", "", "done", "5", "6", "done", "8"};
    ASSERT_EQ(CompactValueSet::save(file, *table, cells), ValueSetFile::SaveResult::Saved);

    const IniFile ini(file);
    EXPECT_EQ(ini.sections(), QStringList({"plant", "plant_1", "plant_2"}));
    EXPECT_EQ(ini.keys("plant"), QStringList({"p1", "p2", "p3"}));
    EXPECT_EQ(ini.keys("plant_1"), QStringList({"p5", "p6"}));
    EXPECT_EQ(ini.keys("plant_2"), QStringList({"p8"}));
    EXPECT_EQ(ini.readString("plant", "p3", "missing"), ""); // an empty cell is a value

    // The a rows are not saved, so they come back at their defaults.
    EXPECT_EQ(CompactValueSet::load(file, *table),
              QStringList({"1", "2", "", "40", "5", "6", "70", "8"}));

    // Saving again keeps the first set as the backup beside it.
    QStringList changed = cells;
    changed[4] = "55";
    ASSERT_EQ(CompactValueSet::save(file, *table, changed), ValueSetFile::SaveResult::Saved);
    EXPECT_EQ(IniFile(file).readString("plant_1", "p5", ""), "55");
    EXPECT_EQ(IniFile(ValueSetFile::backupNameOf(file)).readString("plant_1", "p5", ""), "5");
}

TEST(CompactValueSet, LoadFallsBackToTheBaseSectionThenToTheDefault)
{
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("site.val"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    // Row 5 kept in the base section (a hand-made file), row 6 in its own; the rest missing.
    out.write("[site]\np1=a\np5=b\n[site_1]\np6=c\n[other]\np2=x\n");
    out.close();
    EXPECT_EQ(CompactValueSet::load(file, *plantTable()),
              QStringList({"a", "20", "30", "40", "b", "c", "70", "80"}));
}

TEST(CompactValueSet, AMissingKeyTakesTheDefaultAsTheWindowShowsIt)
{
    // A tenths entry, a four-digit hexadecimal one and a pick list: their raw defaults are not
    // their texts.
    auto table = std::make_unique<TProtocol>();
    table->Count = 3;
    TCommands& tenths = table->Commands[1];
    tenths.Name = "Span";
    tenths.TypeCode = kTypeFixed;
    tenths.Decimals = 1;
    tenths.Default = 28000;
    TCommands& hex = table->Commands[2];
    hex.Name = "Mask";
    hex.TypeCode = kTypeBcd; // shown as four hexadecimal digits
    hex.Default = 255;
    TCommands& pick = table->Commands[3];
    pick.Name = "Range";
    pick.TypeCode = kTypePickList;
    pick.Max = 1;
    pick.PickList[0] = "Low";
    pick.PickList[1] = "High";
    pick.Default = 1;
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("empty.val"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("[empty]\n");
    out.close();
    EXPECT_EQ(CompactValueSet::load(file, *table), QStringList({"2800.0", "00FF", "High"}));
    // The table itself is left as the board gave it.
    EXPECT_EQ(table->Commands[1].ValueText, "");
}

TEST(CompactValueSet, BaseSectionAndMessages)
{
    EXPECT_EQ(CompactValueSet::baseSectionOf("Vals/plant.val"), "plant");
    EXPECT_EQ(CompactValueSet::baseSectionOf("/a.b/c.d.val"), "c.d");
    EXPECT_EQ(CompactValueSet::baseSectionOf("abc"), "");
    using R = ValueSetFile::SaveResult;
    EXPECT_EQ(CompactValueSet::saveMessage(R::Saved, ""), "Values saved");
    EXPECT_EQ(CompactValueSet::saveMessage(R::BackupNotDeleted, ""),
              "Unable to delete backup file.");
    EXPECT_EQ(CompactValueSet::saveMessage(R::BackupNotCreated, ""),
              "Unable to create backup file.");
    EXPECT_EQ(CompactValueSet::saveMessage(R::NotWritten, "disk full"), "disk full");
}

} // namespace
} // namespace quell::compact
