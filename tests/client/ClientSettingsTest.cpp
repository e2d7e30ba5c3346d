#include "client/ClientSettings.h"
#include "client/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using quell::ClientSettings;
using quell::IniFile;

namespace {

// Every key the main window reads at start, in the order it reads them, with its default.
const std::vector<std::pair<QString, std::vector<std::pair<QString, QString>>>> kStartKeys = {
    {"Socket", {{"Host", "localhost"}, {"Port", "9099"}}},
    {"Comm",
     {{"Baud", "57600"},
      {"DataBits", "8"},
      {"Parity", "Even"},
      {"StopBits", "1"},
      {"TimeOut", "80"},
      {"Retrying", "3"},
      {"MaxPacket", "1"},
      {"TransmitDelay", "10"}}},
    {"Protocol",
     {{"Address", "1"},
      {"Mask", "160"},
      {"File", ""},
      {"EnableMC", "0"},
      {"MCAddress", "1"},
      {"MCMask", "64"}}},
    {"Action", {{"Start", "0"}}},
    {"Config",
     {{"LeftPos", "100"},
      {"TopPos", "100"},
      {"ColWidth", "100"},
      {"Height", "300"},
      {"Width", "235"},
      {"ViewPort", "1"},
      {"ViewDataBits", "1"},
      {"ViewParity", "1"},
      {"ViewStopBits", "1"},
      {"ViewTimeOut", "1"},
      {"ViewRetrying", "1"},
      {"ViewAddress", "1"},
      {"Caption", "Client"}}},
};

TEST(ClientSettings, SettingsFileNameFollowsArgumentsOrProgram)
{
    struct Case {
        QStringList arguments;
        QString program;
        QString startDir;
        QString expected;
    };
    const Case cases[] = {
        {{"/srv/My", "Settings/site.cli"}, "/opt/q/quellcal", "/w", "/srv/My Settings/site.cli"},
        {{"sub/x.cli"}, "/opt/q/quellcal", "/w/d", "/w/d/sub/x.cli"},
        {{"../a.cli"}, "/opt/q/quellcal", "/w/d", "/w/a.cli"},
        {{}, "/opt/q/quellcal", "/w", "/opt/q/quellcal.cli"},
        {{}, "/opt/q/quellcal.exe", "/w", "/opt/q/quellcal.cli"},
        {{}, "/opt/q.d/quellcal", "/w", "/opt/q.d/quellcal.cli"},
        {{}, "/opt/q/.hidden", "/w", "/opt/q/.hidden.cli"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        const QString name =
            ClientSettings::settingsFileNameFor(c.arguments, c.program, c.startDir);
        EXPECT_EQ(name, c.expected);
    }
    EXPECT_EQ(ClientSettings::workDirOf("/srv/My Settings/site.cli"), "/srv/My Settings");
    EXPECT_EQ(ClientSettings::valsDirOf("/srv/My Settings"), "/srv/My Settings/Vals");
}

TEST(ClientSettings, FirstStartWritesEveryKeyInOrder)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("quellcal.cli");
    ClientSettings settings;
    ASSERT_TRUE(settings.load(name));

    const IniFile ini(name);
    QStringList sections;
    for (const auto& [section, keys] : kStartKeys) {
        sections.append(section);
        QStringList keyNames;
        for (const auto& [key, value] : keys) {
            keyNames.append(key);
            EXPECT_EQ(ini.readString(section, key, "<missing>"), value)
                << section.toStdString() << "/" << key.toStdString();
        }
        EXPECT_EQ(ini.keys(section), keyNames);
    }
    EXPECT_EQ(ini.sections(), sections);

    // A second start finds nothing missing and leaves the file byte for byte.
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray first = file.readAll();
    file.close();
    ASSERT_TRUE(ClientSettings().load(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), first);
}

TEST(ClientSettings, ExistingValuesAreKeptAndCutToTheirControls)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("site.cli");
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[comm]\nbaud=9600\nMaxPacket=257\nTimeOut=5000\nRetrying=0\nTransmitDelay=0\n"
               "[Protocol]\nAddress=abc\nMask=0x1A0\nEnableMC=2\n[Site]\nOwn=kept\n");
    file.close();

    ClientSettings settings;
    ASSERT_TRUE(settings.load(name));
    EXPECT_EQ(settings.baud, "9600");
    EXPECT_EQ(settings.maxPacket, 1);     // 257 in 8 bits
    EXPECT_EQ(settings.timeOut, 1000);    // the up-down's top
    EXPECT_EQ(settings.retrying, 1);      // the up-down's bottom
    EXPECT_EQ(settings.transmitDelay, 0); // no pause
    EXPECT_EQ(settings.address, 1);       // not a number: the default
    EXPECT_EQ(settings.mask, 0xA0);
    EXPECT_TRUE(settings.enableMc);
    EXPECT_EQ(settings.host, "localhost");

    const IniFile ini(name);
    EXPECT_EQ(ini.readString("Comm", "Baud", ""), "9600");
    EXPECT_EQ(ini.readString("Protocol", "Address", ""), "abc"); // the file is not corrected
    EXPECT_EQ(ini.readString("Site", "Own", ""), "kept");
    EXPECT_EQ(ini.keys("Comm").first(), "baud");
    EXPECT_EQ(ini.keys("Comm").size(), 8);
}

TEST(ClientSettings, CloseWritesItsKeysAndOnlyThose)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("site.cli");
    ClientSettings settings;
    ASSERT_TRUE(settings.load(name));

    settings.host = "gateway.lan";
    settings.timeOut = 200;
    settings.start = true;
    settings.maxPacket = 9;              // changed only by editing the file
    settings.caption = "Changed";        // same
    settings.protocolFile = "other.var"; // written by Load Protocol, not by close
    ASSERT_TRUE(settings.saveClosingState(name));

    ClientSettings next;
    ASSERT_TRUE(next.load(name));
    EXPECT_EQ(next.host, "gateway.lan");
    EXPECT_EQ(next.timeOut, 200);
    EXPECT_TRUE(next.start);
    EXPECT_EQ(next.maxPacket, 1);
    EXPECT_EQ(next.caption, "Client");
    EXPECT_EQ(next.protocolFile, "");

    const IniFile ini(name);
    EXPECT_TRUE(ini.readBool("Config", "ViewConfig", false));
    // [View] belongs to the measurement view, which writes its own geometry when it closes.
    EXPECT_TRUE(ini.keys("View").isEmpty());

    ASSERT_TRUE(ClientSettings::storeProtocolFile(name, "/var/vrq/pb.var"));
    EXPECT_EQ(IniFile(name).readString("Protocol", "File", ""), "/var/vrq/pb.var");
}

TEST(ClientSettings, UnwritableFileStillGivesTheValuesAndSaysWhy)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("missing-folder/site.cli");
    ClientSettings settings;
    settings.host = "stale";
    QString error;
    EXPECT_FALSE(settings.load(name, &error));
    EXPECT_EQ(settings.host, "localhost");
    EXPECT_TRUE(error.contains(name)) << error.toStdString();
    EXPECT_FALSE(settings.saveClosingState(name, &error));
    EXPECT_FALSE(ClientSettings::storeProtocolFile(name, "x", &error));
    EXPECT_FALSE(QFile::exists(name));
}

TEST(ClientSettings, ASettingsFileThatIsNotTextIsReportedAndLeftAlone)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("site.cli");
    // A settings file saved as UTF-16 by a tool that wrote no byte-order mark.
    const QByteArray bytes("[\0S\0o\0c\0k\0e\0t\0]\0\r\0\n\0", 20);
    {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    ClientSettings settings;
    QString error;
    EXPECT_FALSE(settings.load(name, &error));
    EXPECT_TRUE(error.contains(name)) << error.toStdString();
    EXPECT_EQ(settings.host, "localhost") << "the program runs on the defaults";
    EXPECT_FALSE(settings.saveClosingState(name, &error));
    EXPECT_TRUE(error.contains(name)) << error.toStdString();
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
}

} // namespace
