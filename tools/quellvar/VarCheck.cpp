#include "tools/quellvar/VarCheck.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>

#include "protocol/ConvertError.h"
#include "protocol/DescriptionFile.h"
#include "protocol/NumberText.h"
#include "protocol/TextEncoding.h"

namespace quell::tools {

namespace {

bool isSeparator(char c)
{
    return c == ' ' || c == ',';
}

// True when a token starts at or after the 1-based position within the reachable columns; the
// tokenizer alone cannot tell an exhausted line from an empty quoted item.
bool tokenAhead(std::string_view line, int position)
{
    const std::size_t end = std::min<std::size_t>(line.size(), kMaxLineColumns);
    for (std::size_t i = static_cast<std::size_t>(std::max(position, 1)) - 1; i < end; ++i) {
        if (!isSeparator(line[i])) {
            return true;
        }
    }
    return false;
}

std::optional<std::int64_t> integerOf(std::string_view text)
{
    try {
        return parseInteger(text);
    } catch (const EConvertError&) {
        return std::nullopt; // the loader reports it
    }
}

std::string hexByte(unsigned value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[(value >> 4) & 0x0F] + kDigits[value & 0x0F];
}

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

bool isKnownAccess(std::string_view word)
{
    static constexpr std::string_view kWords[] = {"ro", "rw", "wo", "re", "qe", "we"};
    return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

// Status bytes of the maker's protocol: an answer echoing such a code reads as a status.
bool isStatusByte(unsigned code)
{
    return (code >= 0xB0 && code <= 0xBF) || code == 0xFF;
}

} // namespace

VarCheck::VarCheck(const std::string& fileName)
    : fileName_(fileName), protocol_(std::make_unique<TProtocol>())
{
    examine();
    std::stable_sort(problems_.begin(), problems_.end(),
                     [](const VarProblem& a, const VarProblem& b) { return a.line < b.line; });
}

void VarCheck::examine()
{
    const std::string& fileName = fileName_;
    std::ifstream file(fileName, std::ios::binary);
    if (fileName.empty() || !file) {
        add(0, 0, "the file cannot be opened");
        return;
    }
    const std::string content((std::istreambuf_iterator<char>(file)),
                              std::istreambuf_iterator<char>());
    utf8_ = isValidUtf8(content);
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            end = content.size();
        }
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines_.push_back(std::move(line));
        start = end + 1;
    }

    bool loaded = false;
    unsigned errorLine = 0;
    try {
        loaded = protocol_->LoadFromFile(fileName);
    } catch (const ELoadError& e) {
        errorLine = e.line();
        // Some causes name their field already ("Max 25 is too large ...").
        const std::string cause = shown(e.what());
        const bool named = cause.rfind(e.field() + " ", 0) == 0;
        add(e.line(), 0,
            (named ? cause : "field " + e.field() + ": " + cause) + "; loading stops at this line");
    } catch (const std::exception& e) {
        errorLine = std::max(protocol_->LineCount, 1u);
        add(errorLine, 0, shown(e.what()) + "; loading stops at this line");
    }

    checkKeyword("PROT");
    checkKeyword("SECTION");
    // A mistyped keyword drops its line without a word from the loader.
    if (const auto description = readDescriptionFile(fileName)) {
        for (const UnknownLine& unknown : unknownLines(*description))
            add(unknown.line, 0,
                "'" + unknown.word
                    + "' is no keyword (PROT, SECTION or VAR): the line is skipped, so every "
                      "later entry sits one place earlier than its line suggests");
    }
    if (!loaded && errorLine == 0) {
        if (protocol_->Kind != kKindNone) {
            add(0, 0, "no VAR line: the table stays empty");
        }
        return; // nothing was loaded, so there are no entries to look at
    }

    entryLines_.assign(1, 0);
    unsigned entry = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view line = lines_[i];
        const auto lineNumber = static_cast<unsigned>(i + 1);
        if (line.empty() || TProtocol::IsCommentLine(line)) {
            continue;
        }
        int position = 1;
        if (TProtocol::NextToken(line, position).Text != "VAR") {
            continue;
        }
        if (entry == kMaxEntries) {
            add(lineNumber, 0,
                "more than " + std::to_string(kMaxEntries)
                    + " VAR lines: this line and all later ones are ignored");
            break;
        }
        ++entry;
        entryLines_.push_back(lineNumber);
        if (line.size() > static_cast<std::size_t>(kMaxLineColumns)) {
            add(lineNumber, entry,
                "the line is " + std::to_string(line.size()) + " characters long; only the first "
                    + std::to_string(kMaxLineColumns) + " are read");
        }
        if (errorLine != 0 && lineNumber >= errorLine) {
            break; // the loader stopped here; later lines never reached the table
        }
        checkVarLine(lineNumber, entry, line);
    }
    checkNames();
    checkCodes();
}

VarCheck::~VarCheck() = default;

void VarCheck::add(unsigned line, unsigned entry, std::string text)
{
    problems_.push_back(VarProblem{line, entry, std::move(text)});
}

std::string VarCheck::shown(std::string_view bytes) const
{
    return utf8_ ? std::string(bytes) : cp1250ToUtf8(bytes);
}

std::string VarCheck::entryLabel(unsigned entry) const
{
    return "entry " + std::to_string(entry) + " '" + protocol_->entryAt(entry)->Name + "'";
}

void VarCheck::checkKeyword(std::string_view keyword)
{
    // The loader takes the word after the first occurrence anywhere in the file, comments and
    // names included, so a stray occurrence above the real line decides the result.
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view line = lines_[i];
        const std::size_t at = line.find(keyword);
        if (at == std::string_view::npos) {
            continue;
        }
        const auto lineNumber = static_cast<unsigned>(i + 1);
        int position = static_cast<int>(at + keyword.size()) + 1;
        const std::string word = TProtocol::NextToken(line, position).Text;
        int first = 1;
        const bool isKeywordLine = !TProtocol::IsCommentLine(line)
                                   && TProtocol::NextToken(line, first).Text == keyword
                                   && static_cast<int>(at) + 1 <= first;
        if (!isKeywordLine) {
            add(lineNumber, 0,
                "the first '" + std::string(keyword) + "' of the file is in this "
                    + (TProtocol::IsCommentLine(line) ? "comment" : "line")
                    + ", so its word is taken from here: '" + shown(word) + "'");
        }
        if (keyword == "PROT" && word != "Kestavin" && word != "EI_BISYNCH") {
            add(lineNumber, 0,
                "unknown protocol '" + shown(word)
                    + "': only Kestavin and EI_BISYNCH are known (case matters)");
        }
        return;
    }
    if (keyword == "PROT") {
        add(0, 0, "no PROT line: the file names no protocol");
    } else {
        add(0, 0,
            "no " + std::string(keyword) + " line: value sets need one to be saved and loaded");
    }
}

void VarCheck::checkVarLine(unsigned lineNumber, unsigned entry, std::string_view line)
{
    const TCommands& e = *protocol_->entryAt(static_cast<std::uint16_t>(entry));
    const auto problem = [&](std::string text) { add(lineNumber, entry, std::move(text)); };
    int position = 1;
    TProtocol::NextToken(line, position); // VAR
    const auto next = [&]() { return TProtocol::NextToken(line, position).Text; };

    next(); // Name
    next(); // Enabled
    const std::string pollRate = next();
    const std::string access = next();
    const std::string minText = next();
    const std::string maxText = next();
    const std::string defaultText = next();
    const std::string codes[3] = {next(), next(), next()};
    const std::string offset = next();
    const bool hasType = tokenAhead(line, position);
    const std::string type = next();

    if (const auto n = integerOf(pollRate); n && (*n < 0 || *n > 255)) {
        problem("PollRate " + pollRate + " does not fit 8 bits; it is read as "
                + std::to_string(e.PollRate));
    }
    if (!isKnownAccess(access)) {
        problem("unknown access word '" + shown(access) + "': the entry is read-only");
    }
    const std::pair<const std::string*, std::int16_t> limits[] = {
        {&minText, e.Min}, {&maxText, e.Max}, {&defaultText, e.Default}};
    const char* limitNames[] = {"Min", "Max", "Default"};
    for (int i = 0; i < 3; ++i) {
        const auto n = integerOf(*limits[i].first);
        if (n && (*n < -32768 || *n > 65535)) {
            problem(std::string(limitNames[i]) + " " + *limits[i].first
                    + " does not fit 16 bits; it is read as " + std::to_string(limits[i].second));
        }
    }
    static const char* const kCodeNames[] = {"Code1", "Code2", "Code3"};
    for (int i = 0; i < 3; ++i) {
        if (protocol_->Kind == kKindKestavin) {
            const auto n = integerOf(codes[i]);
            if (n && (*n < 0 || *n > 255)) {
                problem(std::string(kCodeNames[i]) + " " + codes[i] + " does not fit 8 bits");
            }
        } else if (codes[i].size() > 1) {
            problem(std::string(kCodeNames[i]) + " '" + shown(codes[i])
                    + "': only its first character is used");
        }
    }
    if (protocol_->Kind == kKindEIBisynch && !codes[2].empty()
        && (codes[2][0] < '0' || codes[2][0] > '9')) {
        problem("channel '" + shown(codes[2].substr(0, 1)) + "' is not a digit 0..9");
    }
    if (protocol_->Kind == kKindKestavin) {
        if (e.Access != kAccessWriteOnly && isStatusByte(e.Code1)) {
            problem("read code " + hexByte(e.Code1)
                    + " is a status byte: the device's value answers would read as a status");
        }
        if (e.Access != kAccessReadOnly && isStatusByte(e.Code2)) {
            problem("write code " + hexByte(e.Code2)
                    + " is a status byte: the device's value answers would read as a status");
        }
    }
    if (const auto n = integerOf(offset); n && (*n < -128 || *n > 127)) {
        problem("Offset " + offset + " does not fit a signed byte; it is read as "
                + std::to_string(e.Offset));
    }

    // The type is chosen by the last character; "f" with its decimals digit either after it
    // ("f1") or before it ("1f").
    const char last = type.empty() ? '\0' : type.back();
    const bool fixedDigitAfter = type.size() >= 2
                                 && std::isdigit(static_cast<unsigned char>(last)) != 0
                                 && type[type.size() - 2] == 'f';
    if (!hasType) {
        problem("no type word: the entry is read as d");
    } else if (!fixedDigitAfter && std::string_view("fdsuxvaclh").find(last) == std::string::npos) {
        problem("unknown type '" + shown(type) + "': the entry is read as d");
    } else if (last == 'f'
               && (type.size() < 2
                   || !std::isdigit(static_cast<unsigned char>(type[type.size() - 2])))) {
        problem("fixed-point type '" + shown(type) + "' names no decimals digit; it is read with "
                + std::to_string(e.Decimals) + " decimals");
    }

    if (e.TypeCode == kTypePickList) {
        if (e.Max < 0) {
            problem("pick list Max " + std::to_string(e.Max) + " is negative: the list is empty");
        } else if (e.Max >= kPickListSize) {
            problem("pick list Max " + std::to_string(e.Max) + " is beyond the "
                    + std::to_string(kPickListSize) + " items (0.."
                    + std::to_string(kPickListSize - 1) + ") an entry holds");
        }
        int items = 0;
        while (tokenAhead(line, position)) {
            next();
            ++items;
        }
        const int needed = std::clamp<int>(e.Max + 1, 0, kPickListSize);
        if (items < needed) {
            problem("the pick list has " + std::to_string(items) + " items; Max "
                    + std::to_string(e.Max) + " needs " + std::to_string(e.Max + 1));
        }
    }

    // Min and Max are limits except for bit fields (descriptors) and strings (unused); hex
    // words are compared as the unsigned patterns they are written as.
    if (e.TypeCode != kTypeBitFields && e.TypeCode != kTypeString) {
        const bool unsignedWord = e.TypeCode == kTypeHex;
        const auto as = [unsignedWord](std::int16_t v) -> long {
            return unsignedWord ? static_cast<long>(static_cast<std::uint16_t>(v)) : v;
        };
        const long min = as(e.Min);
        const long max = as(e.Max);
        const long def = as(e.Default);
        if (min > max) {
            problem("Min " + std::to_string(min) + " is greater than Max " + std::to_string(max));
        } else if (def < min || def > max) {
            problem("Default " + std::to_string(def) + " lies outside Min..Max ("
                    + std::to_string(min) + ".." + std::to_string(max) + ")");
        }
    }
}

void VarCheck::checkNames()
{
    // Value sets store one key per name, and their keys match without regard to case.
    std::map<std::string, unsigned> seen;
    for (unsigned k = 1; k < entryLines_.size() && k <= protocol_->Count; ++k) {
        const std::string& name = protocol_->entryAt(static_cast<std::uint16_t>(k))->Name;
        if (name.empty()) {
            add(entryLines_[k], k, "the entry has no name");
            continue;
        }
        if (name.find('=') != std::string::npos) {
            add(entryLines_[k], k, "the name holds '=', which a value set cannot store as a key");
        }
        const auto [it, inserted] = seen.emplace(lowerAscii(name), k);
        if (!inserted) {
            add(entryLines_[k], k,
                "the name is already used by entry " + std::to_string(it->second) + " (line "
                    + std::to_string(entryLines_[it->second]) + ")");
        }
    }
}

void VarCheck::checkCodes()
{
    const unsigned count = std::min<unsigned>(protocol_->Count, entryLines_.size() - 1);
    if (protocol_->Kind == kKindKestavin) {
        // Answers are matched by (read or write code, parameter code) from the entry asked last,
        // so two entries sharing a pair take each other's answers.
        std::map<std::pair<unsigned, unsigned>, unsigned> seen;
        for (unsigned k = 1; k <= count; ++k) {
            const TCommands& e = *protocol_->entryAt(static_cast<std::uint16_t>(k));
            std::vector<unsigned> used;
            if (e.Access != kAccessWriteOnly) {
                used.push_back(e.Code1);
            }
            if (e.Access != kAccessReadOnly && e.Code2 != e.Code1) {
                used.push_back(e.Code2);
            }
            for (const unsigned code : used) {
                const auto [it, inserted] = seen.emplace(std::pair{code, e.Code3}, k);
                if (!inserted && it->second != k) {
                    add(entryLines_[k], k,
                        "code " + hexByte(code) + " with parameter code " + hexByte(e.Code3)
                            + " is also used by " + entryLabel(it->second) + " (line "
                            + std::to_string(entryLines_[it->second])
                            + "): answers for one are taken by the other");
                }
            }
        }
    } else if (protocol_->Kind == kKindEIBisynch) {
        // Answers are matched on the first mnemonic character and the channel only, searching
        // from the last entry down, so a later entry can catch an earlier one's answers.
        for (unsigned k = 1; k <= count; ++k) {
            const TCommands& e = *protocol_->entryAt(static_cast<std::uint16_t>(k));
            std::uint16_t found = 0;
            if (protocol_->FindEntryBackward(e.Code1, e.Code3, found) && found != k) {
                add(entryLines_[k], k,
                    std::string("answers for mnemonic '") + static_cast<char>(e.Code1)
                        + static_cast<char>(e.Code2) + "' are matched to " + entryLabel(found)
                        + " (line " + std::to_string(entryLines_[found])
                        + "), which has the same channel and uses '" + static_cast<char>(e.Code1)
                        + "' as a code");
            }
        }
    }
}

int VarCheck::report(std::ostream& out) const
{
    const TProtocol& p = *protocol_;
    out << "file: " << fileName_ << '\n';
    out << "protocol: " << (p.ProtocolName.empty() ? "-" : p.ProtocolName) << " (kind "
        << int(p.Kind) << ")\n";
    out << "section: " << (p.Section.empty() ? "-" : p.Section) << '\n';
    out << "entries: " << p.Count << '\n';
    out << "lines: " << p.LineCount << '\n';
    for (const VarProblem& problem : problems_) {
        if (problem.line == 0) {
            out << "file: ";
        } else {
            out << "line " << problem.line << ": ";
        }
        if (problem.entry != 0) {
            out << entryLabel(problem.entry) << ": ";
        }
        out << problem.text << '\n';
    }
    if (problems_.empty()) {
        out << "no problems found\n";
    } else {
        out << problems_.size() << (problems_.size() == 1 ? " problem" : " problems") << " found\n";
    }
    out << std::flush;
    return problems_.empty() ? 0 : 1;
}

int VarCheck::run(const std::string& fileName, std::ostream& out)
{
    return VarCheck(fileName).report(out);
}

} // namespace quell::tools
