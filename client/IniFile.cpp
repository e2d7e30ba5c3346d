#include "client/IniFile.h"

#include "protocol/TextEncoding.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace quell {

namespace {

constexpr QChar kCommentMark = u';';

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The integer a profile value starts with, as the profile functions read it: trailing text after
// the number is ignored, text without a leading number has none.
std::optional<int> leadingInteger(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    const bool hex = i + 2 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')
                     && hexDigit(text[i + 2]) >= 0;
    if (hex) {
        // Hexadecimal is a bit pattern: 0xFFFFFFFF is -1, as the masks are written by hand.
        i += 2;
        quint64 value = 0;
        for (; i < n && hexDigit(text[i]) >= 0; ++i) {
            value = value * 16 + static_cast<quint64>(hexDigit(text[i]));
            if (value > std::numeric_limits<quint32>::max())
                return std::nullopt;
        }
        const auto pattern = static_cast<qint32>(static_cast<quint32>(value));
        return negative ? static_cast<int>(0u - static_cast<quint32>(pattern)) : pattern;
    }
    if (i >= n || text[i] < u'0' || text[i] > u'9')
        return std::nullopt;
    const qint64 limit = negative ? -static_cast<qint64>(std::numeric_limits<int>::min())
                                  : std::numeric_limits<int>::max();
    qint64 value = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

QString oneLine(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    // A NUL would make the saved file unreadable as text at the next start.
    value.replace(QChar(u'\0'), u' ');
    return value;
}

// The bytes of a UTF-16 file after its byte-order mark; false when they are not whole, valid
// UTF-16 (an odd length, a lone surrogate).
bool decodeUtf16(QByteArrayView bytes, QStringConverter::Encoding encoding, QString& text)
{
    if (bytes.size() % 2 != 0)
        return false;
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    text = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    // The decoder passes a lone surrogate through; no text holds one.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return false;
    }
    return true;
}

} // namespace

// Text as the profile functions would find it: UTF-16 when a byte-order mark says so, else UTF-8,
// else Windows-1250. Anything else is not a settings file (a binary file, a UTF-16 file that lost
// its mark), and false says why.
bool IniFile::decode(const QByteArray& bytes, QString& text, Encoding& encoding, QString& whyNot)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        encoding = bytes.startsWith("\xFF\xFE") ? Encoding::Utf16Le : Encoding::Utf16Be;
        if (!decodeUtf16(QByteArrayView(bytes).sliced(2),
                         encoding == Encoding::Utf16Le ? QStringConverter::Utf16LE
                                                       : QStringConverter::Utf16BE,
                         text)) {
            whyNot = QStringLiteral("its UTF-16 text is broken");
            return false;
        }
        return true;
    }
    encoding = Encoding::Utf8;
    // No text of either code page holds a NUL; a file that does is binary or UTF-16 without a mark.
    if (bytes.contains('\0')) {
        whyNot = QStringLiteral("it holds NUL bytes");
        return false;
    }
    const QByteArrayView body =
        bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
    const std::string_view raw(body.data(), static_cast<std::size_t>(body.size()));
    if (isValidUtf8(raw)) {
        text = QString::fromUtf8(body);
        return true;
    }
    const std::string utf8 = cp1250ToUtf8(raw);
    text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    // The bytes Windows-1250 leaves undefined come back as U+FFFD; such a file is not text of
    // the old stations either, and writing it back would lose those bytes.
    if (text.contains(QChar::ReplacementCharacter)) {
        whyNot = QStringLiteral("it holds bytes that are neither UTF-8 nor Windows-1250 text");
        return false;
    }
    return true;
}

namespace {

} // namespace

IniFile::IniFile(const QString& fileName) : fileName_(fileName)
{
    read();
}

void IniFile::read()
{
    QFile file(fileName_);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        readFailed_ = true;
        errorText_ =
            QStringLiteral("Cannot read the file \"%1\": %2").arg(fileName_, file.errorString());
        return;
    }
    const QByteArray bytes = file.readAll();
    QString text;
    QString whyNotText;
    if (!decode(bytes, text, encoding_, whyNotText)) {
        // Nothing is read, and save() refuses: rewriting what could not be read would destroy it.
        readFailed_ = true;
        errorText_ = QStringLiteral("The file \"%1\" cannot be read as text (%2); it is left as it "
                                    "is and its values are not used.")
                         .arg(fileName_, whyNotText);
        return;
    }

    const qsizetype firstBreak = text.indexOf(u'\n');
    if (firstBreak > 0 && text[firstBreak - 1] == u'\r')
        lineEnd_ = QStringLiteral("\r\n");

    QStringList rawLines = text.split(u'\n');
    if (!rawLines.isEmpty() && rawLines.last().isEmpty())
        rawLines.removeLast(); // the break after the last line ends it, it does not start one
    lines_.reserve(static_cast<std::size_t>(rawLines.size()));
    for (QString& raw : rawLines) {
        if (raw.endsWith(u'\r'))
            raw.chop(1);
        Line line;
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith(u'[')) {
            const qsizetype close = trimmed.indexOf(u']');
            line.kind = LineKind::Section;
            line.name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
        } else if (!trimmed.startsWith(kCommentMark)) {
            const qsizetype equals = raw.indexOf(u'=');
            if (equals >= 0) {
                line.name = raw.left(equals).trimmed();
                line.value = raw.mid(equals + 1).trimmed();
                if (!line.name.isEmpty())
                    line.kind = LineKind::Key;
            }
        }
        line.text = std::move(raw);
        lines_.push_back(std::move(line));
    }
}

const QString& IniFile::fileName() const
{
    return fileName_;
}

int IniFile::findSection(const QString& section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Section && line.name.compare(section, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int IniFile::findKey(int sectionLine, const QString& key) const
{
    if (sectionLine < 0)
        return -1;
    for (auto i = static_cast<std::size_t>(sectionLine) + 1; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Section)
            break;
        if (line.kind == LineKind::Key && line.name.compare(key, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

bool IniFile::sectionExists(const QString& section) const
{
    return findSection(section) >= 0;
}

bool IniFile::valueExists(const QString& section, const QString& key) const
{
    return findKey(findSection(section), key) >= 0;
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const Line& line : lines_) {
        if (line.kind == LineKind::Section)
            names.append(line.name);
    }
    return names;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList names;
    const int sectionLine = findSection(section);
    if (sectionLine < 0)
        return names;
    for (auto i = static_cast<std::size_t>(sectionLine) + 1; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section)
            break;
        if (lines_[i].kind == LineKind::Key)
            names.append(lines_[i].name);
    }
    return names;
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    const int keyLine = findKey(findSection(section), key);
    return keyLine < 0 ? defaultValue : lines_[static_cast<std::size_t>(keyLine)].value;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    const int keyLine = findKey(findSection(section), key);
    if (keyLine < 0)
        return defaultValue;
    return leadingInteger(lines_[static_cast<std::size_t>(keyLine)].value).value_or(defaultValue);
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    const QString text = oneLine(value);
    int sectionLine = findSection(section);
    if (sectionLine < 0) {
        Line header;
        header.kind = LineKind::Section;
        header.name = section.trimmed();
        header.text = u'[' + section + u']';
        lines_.push_back(std::move(header));
        sectionLine = static_cast<int>(lines_.size()) - 1;
    }
    const int keyLine = findKey(sectionLine, key);
    if (keyLine >= 0) {
        Line& line = lines_[static_cast<std::size_t>(keyLine)];
        if (line.value == text.trimmed())
            return; // rewriting the same value must not count as a change
        line.value = text.trimmed();
        line.text = line.name + u'=' + text;
        modified_ = true;
        return;
    }
    // A new key goes after the section's last key, so comments and blank lines that end the
    // section stay in front of the next section header.
    auto insertAt = static_cast<std::size_t>(sectionLine) + 1;
    for (std::size_t i = insertAt; i < lines_.size() && lines_[i].kind != LineKind::Section; ++i) {
        if (lines_[i].kind == LineKind::Key)
            insertAt = i + 1;
    }
    Line line;
    line.kind = LineKind::Key;
    line.name = key.trimmed();
    line.value = text.trimmed();
    line.text = key + u'=' + text;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
    modified_ = true;
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

QString IniFile::readOrCreateString(const QString& section, const QString& key,
                                    const QString& defaultValue)
{
    if (!valueExists(section, key))
        writeString(section, key, defaultValue);
    return readString(section, key, defaultValue);
}

int IniFile::readOrCreateInteger(const QString& section, const QString& key, int defaultValue)
{
    if (!valueExists(section, key))
        writeInteger(section, key, defaultValue);
    return readInteger(section, key, defaultValue);
}

bool IniFile::readOrCreateBool(const QString& section, const QString& key, bool defaultValue)
{
    if (!valueExists(section, key))
        writeBool(section, key, defaultValue);
    return readBool(section, key, defaultValue);
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::save()
{
    if (readFailed_)
        return false;
    if (!modified_ && QFile::exists(fileName_))
        return true;

    QString text;
    for (const Line& line : lines_) {
        text += line.text;
        text += lineEnd_;
    }
    QSaveFile file(fileName_);
    // Unbuffered, so that a short write shows in write()'s result instead of vanishing in a
    // buffer flushed by commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        errorText_ =
            QStringLiteral("Cannot write the file \"%1\": %2").arg(fileName_, file.errorString());
        return false;
    }
    // A short write (a full disk, a file size limit) leaves no error on the file, and
    // committing then would replace the old file by a torn one.
    const QByteArray bytes = encode(text);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        errorText_ = QStringLiteral("Cannot write the file \"%1\": %2")
                         .arg(fileName_, reason.isEmpty() ? QStringLiteral("short write") : reason);
        return false;
    }
    if (!file.commit()) {
        errorText_ =
            QStringLiteral("Cannot write the file \"%1\": %2").arg(fileName_, file.errorString());
        return false;
    }
    errorText_.clear();
    modified_ = false;
    return true;
}

// A UTF-16 file stays UTF-16 with its mark, as whoever made it so expects; everything else is
// written as UTF-8.
QByteArray IniFile::encode(const QString& text) const
{
    switch (encoding_) {
    case Encoding::Utf16Le:
        return QByteArray("\xFF\xFE", 2) + QStringEncoder(QStringConverter::Utf16LE).encode(text);
    case Encoding::Utf16Be:
        return QByteArray("\xFE\xFF", 2) + QStringEncoder(QStringConverter::Utf16BE).encode(text);
    case Encoding::Utf8:
        break;
    }
    return text.toUtf8();
}

const QString& IniFile::errorText() const
{
    return errorText_;
}

} // namespace quell
