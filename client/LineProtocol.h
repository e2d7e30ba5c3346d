#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The text lines exchanged with the communication server. Lines and frames are 8-bit byte strings
// carried unchanged: frames hold control characters and bytes above 127, so nothing here ever
// goes through a text conversion. The functions are pure; the link worker owns the socket.
namespace quell::LineProtocol {

// The settings words, in the order a settings line carries them.
enum class SettingsWord { User, Baud, Parity, DataBits, StopBits, TimeOut, Retries };

// How many settings words there are.
inline constexpr std::size_t kSettingsWordCount = 7;

// One optional value per settings word, indexed by the word: present means "carried".
using SettingsWordValues = std::array<std::optional<std::string>, kSettingsWordCount>;

// The terminator the client puts after every request line and expects after every answer line.
inline constexpr std::string_view kLineEnd = "\r\n";

// The longest answer line the client accepts, terminator not counted.
inline constexpr std::size_t kMaxAnswerLineLength = 16384;

// The answer text the client hands to the frame parsers for a block it could not read.
inline constexpr std::string_view kUnreadableAnswer = "format";

// One answer block: the request frame the server echoed and what came back for it.
struct AnswerBlock {
    std::string frame;  // the request frame between "BODY=" and "END", byte for byte
    std::string answer; // the device's answer frame, the word after "ERROR=", or "format"

    bool operator==(const AnswerBlock&) const = default;
};

// The word with its "=", e.g. "BAUD=", as it appears on the wire.
std::string_view settingsWordKey(SettingsWord word);

// The values the settings controls offer for a word chosen from a list (baud rate, parity, data
// bits, stop bits), in the order the controls list them; empty for the other words.
std::span<const std::string_view> offeredValues(SettingsWord word);

// The slot of a word in SettingsWordValues.
constexpr std::size_t indexOf(SettingsWord word)
{
    return static_cast<std::size_t>(word);
}

// A settings line without its terminator: each present word as key, value and one blank, in the
// fixed word order; empty when no word is present. Values are not checked.
std::string composeSettingsLine(const SettingsWordValues& values);

// Appends one device block to a request line: "BODY=", the frame unchanged, "END" and a blank.
void appendBlock(std::string& line, std::string_view frame);

// A device line without its terminator: one block per frame, in the given order.
std::string composeDeviceLine(std::span<const std::string> frames);

// The value of the time-out word for an up-down position: twice the position when the line goes
// through the MC, which needs the time for both hops.
std::string timeOutWordValue(int position, bool viaMc);

// The up-down position for an echoed time-out value: undoes timeOutWordValue (halving truncates
// toward zero, so 161 gives 80). Converting the echoed text to an integer is the caller's job,
// with the program's usual conversion error.
int timeOutPositionFromEcho(int echoed, bool viaMc);

// How long the client waits for the answer to a request line before it takes the connection as
// lost: each block may take the server the device time-out once per try (retries + 1 tries),
// plus a margin for the network and the server itself. A settings line has no blocks but still
// makes the server reopen its port, so it is given one block's time. The time-out value is what
// timeOutWordValue sends; a retry count that is no number counts as the largest the controls
// allow. Without this bound a server that never answers would hold the link for ever.
std::chrono::milliseconds answerTimeout(std::size_t blocks, int timeOutPosition, bool viaMc,
                                        std::string_view retries);

// The number of device blocks in a request line (0 for a settings line).
std::size_t blockCount(std::string_view line);

// The settings words echoed anywhere in an answer line: for each word only its first occurrence
// counts, its value running to the next blank or the end of the line; empty values are absent.
SettingsWordValues parseSettingsEcho(std::string_view line);

// Scans an answer line for its next block starting at the 0-based position. Returns true and
// fills block when one was found, moving position past it; returns false when the line holds no
// further readable block (position is then unspecified). Calling it again after true continues
// the scan; every call that returns true moves position forward.
bool NextAnswerBody(std::string_view line, std::size_t& position, AnswerBlock& block);

// Every block NextAnswerBody finds in the line, in line order.
std::vector<AnswerBlock> answerBlocks(std::string_view line);

} // namespace quell::LineProtocol
