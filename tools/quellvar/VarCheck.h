#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/UCommands.h"

namespace quell::tools {

// One finding of the check: where it is and what is wrong.
struct VarProblem {
    unsigned line = 0;  // 1-based line of the file; 0 for the file as a whole
    unsigned entry = 0; // entry number the line fills; 0 when none
    std::string text;
};

// The "check" command: every problem of a description file that its author should hear about,
// including the ones the loader silently tolerates (truncated numbers, unknown words, short pick
// lists, codes whose answers would land on another entry).
class VarCheck {
public:
    // Reads fileName, loads it into a table of its own and collects the problems.
    explicit VarCheck(const std::string& fileName);
    ~VarCheck();

    // The problems, file-wide ones first, then in line order.
    const std::vector<VarProblem>& problems() const { return problems_; }
    // The table the loader made of the file (entries up to a load error stay).
    const TProtocol& protocol() const { return *protocol_; }

    // Writes the human-readable report; returns the exit status, 0 clean and 1 with problems.
    int report(std::ostream& out) const;

    // Checks fileName and writes its report; returns the exit status.
    static int run(const std::string& fileName, std::ostream& out);

private:
    void examine();
    void checkKeyword(std::string_view keyword);
    void checkVarLine(unsigned lineNumber, unsigned entry, std::string_view line);
    void checkNames();
    void checkCodes();
    void add(unsigned line, unsigned entry, std::string text);
    std::string shown(std::string_view bytes) const;
    std::string entryLabel(unsigned entry) const;

    std::string fileName_;
    std::unique_ptr<TProtocol> protocol_;
    std::vector<std::string> lines_;
    std::vector<unsigned> entryLines_; // entryLines_[k] = line of entry k; [0] unused
    bool utf8_ = true;
    std::vector<VarProblem> problems_;
};

} // namespace quell::tools
