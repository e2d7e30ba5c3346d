#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace quell {

// An INI file with the semantics of the Windows profile functions, which the settings and value
// files of the original stations were written with:
// - section and key names match case-insensitively; the first of duplicate sections or keys wins;
// - a key line's value is the text after its first "=", with surrounding blanks trimmed; there is
//   no quoting, escaping or list parsing ("10,5" stays "10,5");
// - lines that are neither sections nor keys (comments, blank lines) and unknown keys are kept,
//   as are the order of sections and keys and the spelling of lines that are not rewritten.
// The file is read once, when the object is made; writes change the copy in memory and save()
// puts the whole file on disk atomically. A file with a UTF-16 byte-order mark (either order) is
// read and written as UTF-16 with that mark; otherwise bytes that are not valid UTF-8 are read as
// Windows-1250 and the file is written as UTF-8. A file that is none of these (NUL bytes without a
// UTF-16 mark, bytes Windows-1250 leaves undefined, broken UTF-16) reads as empty, errorText()
// says so, and save() never overwrites it.
// Not thread-safe; make one object per use and let it go, as the profile functions did.
class IniFile {
public:
    // Reads fileName if it exists; a missing file reads as empty and is created by save().
    explicit IniFile(const QString& fileName);

    // The file name as given.
    const QString& fileName() const;

    // True when a section of that name exists (it may be empty).
    bool sectionExists(const QString& section) const;
    // True when the section holds that key (its value may be empty).
    bool valueExists(const QString& section, const QString& key) const;
    // The names of the sections, in file order, as spelled in the file.
    QStringList sections() const;
    // The key names of a section, in file order, as spelled in the file.
    QStringList keys(const QString& section) const;

    // The key's value; defaultValue only when the key is missing (an empty value is a value).
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // The number the value starts with: blanks, an optional sign, then decimal digits or "0x" and
    // hexadecimal digits (up to 8, taken as the 32-bit pattern). defaultValue when the key is
    // missing, no digit follows, or a decimal number does not fit 32 bits.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    // readInteger() != 0, with defaultValue standing for 1 or 0.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    // The read*() above for a settings key that every run must leave in the file: a missing key
    // first gets defaultValue written, then is read.
    QString readOrCreateString(const QString& section, const QString& key,
                               const QString& defaultValue);
    int readOrCreateInteger(const QString& section, const QString& key, int defaultValue);
    bool readOrCreateBool(const QString& section, const QString& key, bool defaultValue);

    // Sets the key's value, adding the key after the section's last key (and the section at the
    // end of the file) when missing. Line breaks and NULs in the value become blanks, since a
    // value is one line of text. Keys must not contain "=" or line breaks.
    void writeString(const QString& section, const QString& key, const QString& value);
    // Writes the number as decimal text.
    void writeInteger(const QString& section, const QString& key, int value);
    // Writes "1" or "0".
    void writeBool(const QString& section, const QString& key, bool value);

    // Puts the file on disk when anything changed since it was read or last saved (temporary
    // file, flush, rename): afterwards the file is wholly the old or wholly the new one. Returns
    // false, leaving the old file as it was, when it cannot be written or when the existing file
    // could not be read when this object was made (so it is never replaced by a partial copy);
    // errorText() then says why and names the file.
    [[nodiscard]] bool save();

    // Why the last read or save failed, naming the file; empty when neither did.
    const QString& errorText() const;

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        LineKind kind = LineKind::Other;
        QString text;  // the line as it is written to the file
        QString name;  // section or key name, trimmed
        QString value; // key value, trimmed
    };

    enum class Encoding { Utf8, Utf16Le, Utf16Be };

    void read();
    static bool decode(const QByteArray& bytes, QString& text, Encoding& encoding, QString& whyNot);
    QByteArray encode(const QString& text) const;
    int findSection(const QString& section) const;
    int findKey(int sectionLine, const QString& key) const;

    QString fileName_;
    std::vector<Line> lines_;
    QString lineEnd_ = QStringLiteral("\n");
    Encoding encoding_ = Encoding::Utf8;
    QString errorText_;
    bool readFailed_ = false;
    bool modified_ = false;
};

} // namespace quell
