// The bytes as an INI file (a settings or value-set file as another program or a crash may have
// left it): read every section and key as the client does, write values back (existing keys, new
// keys, a new section, values with line breaks), save atomically, and read the saved file again.
// Whatever the input, the saved file must read back to exactly what the first object held: the
// same sections and keys in the same order with the same values; an input that is not text must
// be refused and left byte for byte as it was.
#include "client/IniFile.h"
#include "fuzz/FuzzScratch.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

void fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "fuzz: %s %s\n", what, detail.toUtf8().constData());
    std::abort();
}

// Every section's keys and values, in order, as the client's lookups see them.
QStringList contents(const quell::IniFile& ini)
{
    QStringList out;
    for (const QString& section : ini.sections()) {
        out.append(u'[' + section + u']');
        for (const QString& key : ini.keys(section)) {
            out.append(key + u'=' + ini.readString(section, key, QStringLiteral("\x01missing")));
            ini.readInteger(section, key, -7);
            ini.readBool(section, key, true);
            if (!ini.valueExists(section, key))
                fail("a listed key does not exist:", key);
        }
        if (!ini.sectionExists(section))
            fail("a listed section does not exist:", section);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = quell::fuzz::scratchPath("settings.ini");
    quell::fuzz::writeFile(path, data, size);
    const QString fileName = QString::fromStdString(path);

    quell::IniFile ini(fileName);
    contents(ini);
    if (!ini.errorText().isEmpty()) {
        // Not text: nothing may be read from it, and no save may touch it.
        if (!ini.sections().isEmpty())
            fail("a file that could not be read has sections");
        ini.writeString(QStringLiteral("Fuzz"), QStringLiteral("Sample"), QStringLiteral("x"));
        if (ini.save())
            fail("a file that could not be read was rewritten");
        const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != bytes)
            fail("a file that could not be read was changed");
        return 0;
    }

    // Values as the program writes them: numbers, flags and texts taken from the file itself
    // (which may hold any character, line breaks included once they arrive through a value).
    const QString sample = QString::fromLatin1(reinterpret_cast<const char*>(data),
                                               static_cast<qsizetype>(size < 40 ? size : 40));
    const QStringList sections = ini.sections();
    for (const QString& section : sections.mid(0, 4)) {
        const QStringList keys = ini.keys(section);
        if (!keys.isEmpty()) {
            const QString& key = keys.first();
            // The file may hold the largest integer already: step down from there instead.
            const int read = ini.readInteger(section, key, 0);
            ini.writeInteger(section, key, read < std::numeric_limits<int>::max() ? read + 1 : 0);
            ini.writeString(section, keys.last(), ini.readString(section, keys.last(), {}) + u'x');
        }
        ini.writeBool(section, QStringLiteral("Added"), true);
    }
    ini.writeString(QStringLiteral("Fuzz"), QStringLiteral("Sample"), sample);
    ini.writeString(QStringLiteral("Fuzz"), QStringLiteral("Lines"), QStringLiteral("a\r\nb\rc\n"));
    const QStringList written = contents(ini);
    if (!ini.save())
        fail("saving into the scratch folder failed:", ini.errorText());

    const quell::IniFile again(fileName);
    const QStringList reread = contents(again);
    if (reread != written) {
        for (qsizetype i = 0; i < written.size() || i < reread.size(); ++i) {
            const QString a = i < written.size() ? written[i] : QStringLiteral("<none>");
            const QString b = i < reread.size() ? reread[i] : QStringLiteral("<none>");
            if (a != b)
                fail("the saved file reads back differently:", a + QStringLiteral(" | ") + b);
        }
    }
    return 0;
}
