#include "client/LineProtocol.h"

#include <algorithm>
#include <charconv>

namespace quell::LineProtocol {

namespace {

constexpr std::array<std::string_view, kSettingsWordCount> kSettingsKeys = {
    "USER=", "BAUD=", "PARITY=", "DATAB=", "STOPB=", "TOUT=", "RET="};

constexpr std::string_view kBauds[] = {"1200", "2400", "4800", "9600", "14400", "19200", "57600"};
constexpr std::string_view kParities[] = {"None", "Odd", "Even"};
constexpr std::string_view kDataBits[] = {"7", "8"};
constexpr std::string_view kStopBits[] = {"1", "2"};

constexpr std::string_view kBodyKey = "BODY=";
constexpr std::string_view kEnd = "END";
constexpr std::string_view kAnswerWord = "ANSWER";
constexpr std::string_view kErrorWord = "ERROR";

// The text from start up to the next blank (or the end), and where that blank is.
std::string_view wordUpToBlank(std::string_view line, std::size_t start, std::size_t& blank)
{
    blank = line.find(' ', start);
    return line.substr(start,
                       blank == std::string_view::npos ? std::string_view::npos : blank - start);
}

} // namespace

std::string_view settingsWordKey(SettingsWord word)
{
    return kSettingsKeys[indexOf(word)];
}

std::string composeSettingsLine(const SettingsWordValues& values)
{
    std::string line;
    for (std::size_t i = 0; i < kSettingsWordCount; ++i) {
        if (!values[i])
            continue;
        line += kSettingsKeys[i];
        line += *values[i];
        line += ' ';
    }
    return line;
}

void appendBlock(std::string& line, std::string_view frame)
{
    line += kBodyKey;
    line += frame;
    line += kEnd;
    line += ' ';
}

std::string composeDeviceLine(std::span<const std::string> frames)
{
    std::string line;
    for (const std::string& frame : frames)
        appendBlock(line, frame);
    return line;
}

std::string timeOutWordValue(int position, bool viaMc)
{
    return std::to_string(viaMc ? 2 * static_cast<long long>(position) : position);
}

int timeOutPositionFromEcho(int echoed, bool viaMc)
{
    return viaMc ? echoed / 2 : echoed;
}

std::span<const std::string_view> offeredValues(SettingsWord word)
{
    switch (word) {
    case SettingsWord::Baud:
        return kBauds;
    case SettingsWord::Parity:
        return kParities;
    case SettingsWord::DataBits:
        return kDataBits;
    case SettingsWord::StopBits:
        return kStopBits;
    default:
        return {};
    }
}

std::chrono::milliseconds answerTimeout(std::size_t blocks, int timeOutPosition, bool viaMc,
                                        std::string_view retries)
{
    constexpr long long kMarginMs = 2000;
    constexpr long long kMostRetries = 10;
    long long tries = kMostRetries + 1;
    int parsed = 0;
    const auto [end, error] =
        std::from_chars(retries.data(), retries.data() + retries.size(), parsed);
    if (error == std::errc() && end == retries.data() + retries.size() && parsed >= 0
        && parsed <= kMostRetries)
        tries = parsed + 1;
    // The same number timeOutWordValue sends, never less than 1.
    const long long position = std::max(timeOutPosition, 1);
    const long long perTry = viaMc ? 2 * position : position;
    const long long perBlock = perTry * tries;
    return std::chrono::milliseconds(
        static_cast<long long>(std::max<std::size_t>(blocks, 1)) * perBlock + kMarginMs);
}

std::size_t blockCount(std::string_view line)
{
    // A frame that happens to hold "BODY=" only lengthens the wait, which is harmless.
    std::size_t count = 0;
    for (std::size_t at = line.find(kBodyKey); at != std::string_view::npos;
         at = line.find(kBodyKey, at + 1))
        ++count;
    return count;
}

SettingsWordValues parseSettingsEcho(std::string_view line)
{
    SettingsWordValues values;
    for (std::size_t i = 0; i < kSettingsWordCount; ++i) {
        const std::size_t found = line.find(kSettingsKeys[i]);
        if (found == std::string_view::npos)
            continue;
        std::size_t blank = 0;
        const std::string_view value = wordUpToBlank(line, found + kSettingsKeys[i].size(), blank);
        if (!value.empty())
            values[i] = std::string(value);
    }
    return values;
}

bool NextAnswerBody(std::string_view line, std::size_t& position, AnswerBlock& block)
{
    constexpr std::size_t kNone = std::string_view::npos;
    if (position >= line.size())
        return false;
    const std::size_t body = line.find(kBodyKey, position);
    if (body == kNone)
        return false;
    const std::size_t frameStart = body + kBodyKey.size();
    const std::size_t frameEnd = line.find(kEnd, frameStart);
    // An empty frame cannot be matched to any entry, and what follows it cannot be trusted.
    if (frameEnd == kNone || frameEnd == frameStart)
        return false;

    // One separator follows the frame's END, whatever it is; the word needs two characters more.
    const std::size_t separator = frameEnd + kEnd.size();
    if (separator + 3 > line.size())
        return false;
    const std::size_t wordStart = separator + 1;
    const std::size_t equals = line.find('=', wordStart);
    const std::string_view word =
        line.substr(wordStart, equals == kNone ? kNone : equals - wordStart);

    block.frame.assign(line.substr(frameStart, frameEnd - frameStart));
    if (equals != kNone && word == kAnswerWord) {
        const std::size_t answerEnd = line.find(kEnd, equals + 1);
        if (answerEnd == kNone) {
            block.answer = kUnreadableAnswer;
            position = separator;
        } else {
            block.answer = answerEnd > equals + 1
                               ? std::string(line.substr(equals + 1, answerEnd - equals - 1))
                               : std::string(kUnreadableAnswer);
            position = answerEnd + kEnd.size();
        }
    } else if (equals != kNone && word == kErrorWord) {
        std::size_t blank = 0;
        block.answer.assign(wordUpToBlank(line, equals + 1, blank));
        position = blank == kNone ? line.size() : blank + 1;
    } else {
        block.answer = kUnreadableAnswer;
        position = equals == kNone ? line.size() : equals + 1;
    }
    return true;
}

std::vector<AnswerBlock> answerBlocks(std::string_view line)
{
    std::vector<AnswerBlock> blocks;
    std::size_t position = 0;
    AnswerBlock block;
    while (NextAnswerBody(line, position, block))
        blocks.push_back(block);
    return blocks;
}

} // namespace quell::LineProtocol
