#include "client/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using quell::IniFile;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path(const char* name = "test.ini") const { return dir_.filePath(name); }

    QString write(const QByteArray& bytes, const char* name = "test.ini") const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QByteArray contents(const char* name = "test.ini") const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir_;
};

TEST_F(IniFileTest, ReadsLikeTheProfileFunctions)
{
    const QString name = write("; station settings\n"
                               "[Comm]\n"
                               "  Baud = 9600  \n"
                               "Mask=10,5\n"
                               "Expr=a=b=c\n"
                               "Quoted=\"x y\"\n"
                               "Empty=\n"
                               "baud=1200\n"
                               "no equals sign\n"
                               ";Hidden=1\n"
                               "[ comm ]\n"
                               "Other=2\n"
                               "[Vals]\n"
                               "Name=\xC5\xA0"
                               "abac\n");
    const IniFile ini(name);
    struct Case {
        const char* section;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {"Comm", "Baud", "9600"},
        {"COMM", "bAUD", "9600"},
        {"Comm", "Mask", "10,5"},
        {"Comm", "Expr", "a=b=c"},
        {"Comm", "Quoted", "\"x y\""},
        {"Comm", "Empty", ""},
        {"Comm", "Other", "<default>"},
        {"Comm", "no equals sign", "<default>"},
        {"Comm", ";Hidden", "<default>"},
        {"Missing", "Baud", "<default>"},
        {"vals", "NAME",
         QString::fromUtf8("\xC5\xA0"
                           "abac")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.readString(c.section, c.key, "<default>"), c.expected);
        EXPECT_EQ(ini.valueExists(c.section, c.key), c.expected != "<default>");
    }
    EXPECT_TRUE(ini.sectionExists("VALS"));
    EXPECT_EQ(ini.sections(), QStringList({"Comm", "comm", "Vals"}));
    EXPECT_EQ(ini.keys("comm"), QStringList({"Baud", "Mask", "Expr", "Quoted", "Empty", "baud"}));
}

TEST_F(IniFileTest, NumbersAreTheLeadingNumberOrTheDefault)
{
    struct Case {
        QByteArray text;
        int expected; // with default 77
    };
    const Case cases[] = {
        {"12", 12},
        {"12abc", 12},
        {"  -7", -7},
        {"+5", 5},
        {"0x1F", 31},
        {"0X1f;", 31},
        {"0xFFFFFFFF", -1},
        {"-0x10", -16},
        {"0x", 0},
        {"0xg", 0},
        {"abc", 77},
        {"", 77},
        {"- 5", 77},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", 77},
        {"0x100000000", 77},
        {"1e3", 1},
        {"10,5", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const IniFile ini(write("[S]\nK=" + c.text + "\n"));
        EXPECT_EQ(ini.readInteger("s", "k", 77), c.expected);
        EXPECT_EQ(ini.readBool("S", "K", true), c.expected != 0);
    }
    const IniFile ini(write("[S]\nK=yes\n"));
    EXPECT_TRUE(ini.readBool("S", "K", true));
    EXPECT_FALSE(ini.readBool("S", "K", false));
    EXPECT_EQ(ini.readInteger("S", "Missing", -3), -3);
}

TEST_F(IniFileTest, WritesKeepEverythingElseAsItWas)
{
    const QString name = write("; top comment\r\n"
                               "[A]\r\n"
                               "x = 1\r\n"
                               "Unknown=keep me\r\n"
                               "; about B\r\n"
                               "\r\n"
                               "[B]\r\n"
                               "y=2\r\n");
    IniFile ini(name);
    ini.writeString("a", "X", "10");            // existing key, other spelling
    ini.writeInteger("A", "z", 3);              // new key goes after the last key of [A]
    ini.writeBool("C", "Flag", true);           // new section at the end
    ini.writeString("B", "Text", "two\nlines"); // a value is one line
    ini.writeString("b", "Y", "2");             // same value: the line keeps its spelling
    ASSERT_TRUE(ini.save()) << ini.errorText().toStdString();
    EXPECT_EQ(contents(), QByteArray("; top comment\r\n"
                                     "[A]\r\n"
                                     "x=10\r\n"
                                     "Unknown=keep me\r\n"
                                     "z=3\r\n"
                                     "; about B\r\n"
                                     "\r\n"
                                     "[B]\r\n"
                                     "y=2\r\n"
                                     "Text=two lines\r\n"
                                     "[C]\r\n"
                                     "Flag=1\r\n"));
    const IniFile again(name);
    EXPECT_EQ(again.readInteger("A", "x", 0), 10);
    EXPECT_EQ(again.readString("B", "Text", ""), "two lines");
}

TEST_F(IniFileTest, SaveWithoutChangesLeavesTheFileAlone)
{
    const QByteArray original = "[S]\nKey =  v \n";
    IniFile ini(write(original));
    ini.writeString("S", "key", "v");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(contents(), original);

    IniFile fresh(path("new.ini")); // a missing file is created even when nothing was written
    ASSERT_TRUE(fresh.save());
    EXPECT_EQ(contents("new.ini"), QByteArray());
}

TEST_F(IniFileTest, Windows1250IsReadAndUtf8Written)
{
    // "Čitanje" and "Š" in the code page of the old stations.
    const QString name = write("[Meni]\nPauza=\xC8itanje\nZnak=\x8A\n");
    IniFile ini(name);
    EXPECT_EQ(ini.readString("Meni", "Pauza", ""), QString::fromUtf8("\xC4\x8Citanje"));
    ini.writeString("Meni", "Nova", QString::fromUtf8("\xC5\xBE"));
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(contents(),
              QByteArray("[Meni]\nPauza=\xC4\x8Citanje\nZnak=\xC5\xA0\nNova=\xC5\xBE\n"));
}

TEST_F(IniFileTest, FailedSaveNamesTheFileAndKeepsTheOldOne)
{
    const QByteArray original = "[S]\nK=old\n";
    IniFile ini(write(original));
    ini.writeString("S", "K", QString(4096, u'n'));

    // A file size limit makes the write fail half way, as a full disk would, even for root.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved1 = ini.save();
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(saved1);
    EXPECT_TRUE(ini.errorText().contains(ini.fileName())) << ini.errorText().toStdString();
    EXPECT_EQ(contents(), original);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList({"test.ini"}));

    ASSERT_TRUE(ini.save()) << "the same object saves once the disk has room again";
    EXPECT_EQ(IniFile(path()).readString("S", "K", "").size(), 4096);

    write("not a folder", "plain");
    IniFile nowhere(dir_.filePath("plain/settings.ini"));
    nowhere.writeString("S", "K", "v");
    EXPECT_FALSE(nowhere.save());
    EXPECT_TRUE(nowhere.errorText().contains("plain/settings.ini"));
}

QByteArray utf16(const QString& text, bool littleEndian)
{
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
    for (const QChar c : text) {
        const auto hi = static_cast<char>(c.unicode() >> 8);
        const auto lo = static_cast<char>(c.unicode() & 0xFF);
        bytes.append(littleEndian ? lo : hi).append(littleEndian ? hi : lo);
    }
    return bytes;
}

// What a file's bytes read as, and what a save after one more key leaves on disk: text of any
// encoding the stations meet is read and kept in its encoding; anything else is left untouched.
TEST_F(IniFileTest, EncodingsAreReadAndKeptAndNonTextIsNeverRewritten)
{
    const QString cit = QString::fromUtf8("\xC4\x8Citanje"); // "Čitanje"
    const QString plain = "[S]\r\nK=" + cit + "\r\n";
    const QString added = plain + "N=x\r\n";
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* value;    // K in [S] (UTF-8); nullptr: the file is not text
        QByteArray afterSave; // the file after writing N=x and saving
    };
    const QByteArray utf16WithoutMark = utf16(plain, true).mid(2);
    const QByteArray binary("\x7F"
                            "ELF\x02\x01\x01\x00\x00\x00",
                            10);
    const std::vector<Case> cases = {
        {"UTF-16 LE", utf16(plain, true), "\xC4\x8Citanje", utf16(added, true)},
        {"UTF-16 BE", utf16(plain, false), "\xC4\x8Citanje", utf16(added, false)},
        {"UTF-8", plain.toUtf8(), "\xC4\x8Citanje", added.toUtf8()},
        {"Windows-1250", "[S]\r\nK=\xC8itanje\r\n", "\xC4\x8Citanje", added.toUtf8()},
        {"UTF-16 without a mark", utf16WithoutMark, nullptr, utf16WithoutMark},
        {"a binary file", binary, nullptr, binary},
        {"bytes Windows-1250 leaves undefined", "[S]\nK=\x98\x81\n", nullptr, "[S]\nK=\x98\x81\n"},
        {"UTF-16 with half a surrogate pair",
         utf16("[S]\r\nK=" + QString(QChar(0xD83D)) + "\r\n", true), nullptr,
         utf16("[S]\r\nK=" + QString(QChar(0xD83D)) + "\r\n", true)},
        {"UTF-16 cut in half a character", utf16(plain, true).chopped(1), nullptr,
         utf16(plain, true).chopped(1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = write(c.bytes);
        IniFile ini(name);
        if (c.value) {
            EXPECT_EQ(ini.readString("S", "K", "<missing>"), QString::fromUtf8(c.value));
            EXPECT_TRUE(ini.errorText().isEmpty()) << ini.errorText().toStdString();
        } else {
            EXPECT_FALSE(ini.sectionExists("S")) << "nothing of a non-text file is used";
            EXPECT_TRUE(ini.errorText().contains(name)) << ini.errorText().toStdString();
        }
        ini.writeString("S", "N", "x");
        EXPECT_EQ(ini.save(), c.value != nullptr);
        EXPECT_EQ(contents(), c.afterSave);
        if (!c.value) {
            EXPECT_TRUE(ini.errorText().contains(name)) << "the refusal names the file";
        }
    }
}

TEST_F(IniFileTest, AValueWithANulStillSavesAFileThatReadsBack)
{
    IniFile ini(path());
    ini.writeString("S", "K", QString::fromLatin1("a\0b", 3));
    ASSERT_TRUE(ini.save());
    const IniFile again(path());
    EXPECT_TRUE(again.errorText().isEmpty()) << again.errorText().toStdString();
    EXPECT_EQ(again.readString("S", "K", ""), "a b");
}

} // namespace
