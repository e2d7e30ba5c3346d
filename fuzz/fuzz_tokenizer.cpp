// One line of text through the tokenizer, and the line and each of its tokens through the number
// parsers (tokens are what the loader hands them), and the hexadecimal helpers. Input: byte 0
// gives the decimals of the scaled conversion, byte 1 a second start column, the rest is the line.
#include "protocol/ConvertError.h"
#include "protocol/NumberText.h"
#include "protocol/TextEncoding.h"
#include "protocol/UCommands.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void fail(const char* what, std::string_view text)
{
    std::fprintf(stderr, "fuzz: %s for '%.*s'\n", what, static_cast<int>(text.size()), text.data());
    std::abort();
}

// The low 16 bits of value * 10^decimals, computed exactly in modular arithmetic.
std::int16_t scaledLowBits(std::int32_t value, unsigned decimals)
{
    std::uint16_t result = static_cast<std::uint16_t>(static_cast<std::uint32_t>(value));
    for (unsigned i = 0; i < decimals; ++i) {
        result = static_cast<std::uint16_t>(result * 10u);
    }
    return static_cast<std::int16_t>(result);
}

void parseNumbers(std::string_view text, unsigned decimals)
{
    bool isInteger = false;
    std::int32_t integer = 0;
    try {
        integer = quell::parseInteger(text);
        isInteger = true;
    } catch (const quell::EConvertError&) {
    }
    try {
        if (!std::isfinite(quell::parseFloat(text))) {
            fail("parseFloat returned a non-finite number", text);
        }
    } catch (const quell::EConvertError&) {
    }
    try {
        const std::int16_t scaled = quell::scaleDecimalText(text, decimals);
        // A text both parsers accept is a plain decimal integer, so scaling it is exact.
        if (isInteger && scaled != scaledLowBits(integer, decimals)) {
            fail("scaleDecimalText disagrees with parseInteger", text);
        }
    } catch (const quell::EConvertError&) {
    }
}

// Tokenizes from a start column until the line runs out or the position stops advancing; with
// parse set, each token goes through the number parsers too (only once per input: every
// refused number throws, and throwing is what an input spends most of its time on).
void tokenize(std::string_view line, int start, bool parse, unsigned decimals)
{
    int position = start;
    for (;;) {
        const int before = position;
        const quell::TToken token = quell::TProtocol::NextToken(line, position);
        if (!token.Found) {
            break;
        }
        if (before > quell::kMaxLineColumns) {
            fail("token found beyond the reachable columns", line);
        }
        if (token.Text.size() > static_cast<std::size_t>(quell::kMaxLineColumns)) {
            fail("token longer than the reachable part of the line", line);
        }
        if (parse) {
            parseNumbers(token.Text, decimals);
        }
        if (position <= before) {
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    const unsigned decimals = data[0];
    const int secondStart = 1 + data[1] % 300;
    const std::string_view line(reinterpret_cast<const char*>(data + 2), size - 2);

    quell::TProtocol::IsCommentLine(line);
    tokenize(line, 1, true, decimals);
    tokenize(line, secondStart, false, decimals);
    parseNumbers(line, decimals);

    // The hexadecimal helpers of the measurement view; HexToWord reads texts typed by the user.
    quell::TProtocol::HexToWord(line);
    quell::TProtocol::ByteToHex(data[0]);
    quell::TProtocol::WordToHex4(static_cast<std::uint16_t>(data[0] << 8 | data[1]));
    quell::TProtocol::ByteToBCD(static_cast<std::uint8_t>(data[1] % 100));

    // The loader reads lines through this conversion; whatever it makes must be UTF-8.
    if (!quell::isValidUtf8(quell::toUtf8(line))) {
        fail("toUtf8 produced invalid UTF-8", line);
    }
    return 0;
}
