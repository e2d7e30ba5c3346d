// The compact configurator's settings file: its name rule, its keys and defaults in start-up
// order without the MC keys, and [View] with the compact view's placement.
#include "compact/CompactSettings.h"

#include "client/IniFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <vector>

namespace quell::compact {
namespace {

TEST(CompactSettings, FileNameIsPrefixedWithTheStartFolderOnlyWithoutAFolderPart)
{
    const struct {
        QStringList arguments;
        QString program;
        QString expected;
    } cases[] = {
        {{"site.cli"}, "/opt/q/quellcfg", "/w/site.cli"},
        {{"sub/site.cli"}, "/opt/q/quellcfg", "sub/site.cli"}, // not expanded
        {{"/srv/My", "Settings/s.cli"}, "/opt/q/quellcfg", "/srv/My Settings/s.cli"},
        {{}, "/opt/q/quellcfg", "/opt/q/quellcfg.cli"},
        {{}, "quellcfg.bin", "/w/quellcfg.cli"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompactSettings::settingsFileNameFor(c.arguments, c.program, "/w"), c.expected);
}

// The same keys in the same order as the full tool's first start, less the MC ones, with two
// defaults of its own, and [View] after them.
TEST(CompactSettings, FirstStartWritesTheFullKeysLessMcThenTheViewPlacement)
{
    QTemporaryDir dir;
    const QString fullName = dir.filePath("quellcal.cli");
    ASSERT_TRUE(ClientSettings().load(fullName));
    const QString name = dir.filePath("quellcfg.cli");
    CompactSettings settings;
    {
        IniFile ini(name);
        settings.readFrom(ini);
        settings.readViewPlacement(ini);
        ASSERT_TRUE(ini.save());
    }

    const IniFile full(fullName);
    const IniFile compact(name);
    EXPECT_EQ(compact.sections(), full.sections() + QStringList{"View"});
    const QStringList mcKeys = {"EnableMC", "MCAddress", "MCMask"};
    for (const QString& section : full.sections()) {
        QStringList keys = full.keys(section);
        keys.removeIf([&](const QString& key) { return mcKeys.contains(key); });
        EXPECT_EQ(compact.keys(section), keys) << section.toStdString();
        for (const QString& key : keys) {
            const QString own = key == "Baud" ? "9600" : key == "TimeOut" ? "100" : "";
            EXPECT_EQ(compact.readString(section, key, "<missing>"),
                      own.isEmpty() ? full.readString(section, key, "") : own)
                << key.toStdString();
        }
    }
    EXPECT_EQ(compact.keys("View"),
              QStringList({"LeftPos", "TopPos", "Width", "Height", "Visible"}));
    const ViewPlacement view = settings.view;
    EXPECT_EQ(std::vector<int>({view.left, view.top, view.width, view.height, int{view.visible}}),
              std::vector<int>({150, 350, 300, 280, 0}));
    EXPECT_EQ(compact.readString("View", "Visible", ""), "0");
}

TEST(CompactSettings, CloseWritesTheKeysWithoutTheMcOnesAndTheView)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("site.cli");
    CompactSettings settings;
    ASSERT_TRUE(settings.load(name));
    settings.values.address = 7;
    settings.values.start = true;
    settings.values.enableMc = true; // no such setting here: never written
    settings.view = {10, 20, 400, 300, true};
    ASSERT_TRUE(settings.saveClosingState(name));

    IniFile ini(name);
    EXPECT_EQ(ini.keys("Protocol"), QStringList({"Address", "Mask", "File"}));
    CompactSettings next;
    next.readFrom(ini);
    next.readViewPlacement(ini);
    EXPECT_EQ(next.values.address, 7);
    EXPECT_TRUE(next.values.start);
    EXPECT_EQ(next.view.left, 10);
    EXPECT_EQ(next.view.height, 300);
    EXPECT_TRUE(next.view.visible);
}

} // namespace
} // namespace quell::compact
