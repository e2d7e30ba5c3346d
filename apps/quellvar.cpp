// quellvar: the workbench for protocol description files. Everything it does lives in
// quell_tools; this only picks the command.
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/quellvar/CompactVar.h"
#include "tools/quellvar/VarCheck.h"
#include "tools/quellvar/VarCommandLine.h"
#include "tools/quellvar/VarDump.h"
#include "tools/quellvar/VarRunner.h"

int main(int argc, char* argv[])
{
    using quell::tools::VarCommandLine;
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "quellvar " QUELL_VERSION "\n";
        return 0;
    }
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << VarCommandLine::usage();
        return 0;
    }
    const VarCommandLine commandLine =
        VarCommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (commandLine.command) {
    case VarCommandLine::Command::Dump:
        if (commandLine.compact)
            return quell::tools::CompactVar::dump(commandLine.fileName, std::cout,
                                                  commandLine.pretty);
        return quell::tools::VarDump::run(commandLine.fileName, std::cout, commandLine.pretty,
                                          commandLine.hex);
    case VarCommandLine::Command::Run:
        if (commandLine.compact)
            return quell::tools::CompactVar::run(
                commandLine.fileName,
                static_cast<std::uint8_t>(commandLine.link.address | commandLine.link.mask),
                std::cin, std::cout, std::cerr);
        return quell::tools::VarRunner::runFile(commandLine.fileName, commandLine.link, std::cin,
                                                std::cout, std::cerr);
    case VarCommandLine::Command::Check:
        if (commandLine.compact)
            return quell::tools::CompactVar::check(commandLine.fileName, std::cout);
        return quell::tools::VarCheck::run(commandLine.fileName, std::cout);
    case VarCommandLine::Command::Invalid:
        break;
    }
    std::cerr << "quellvar: " << commandLine.error << "\n\n" << VarCommandLine::usage();
    return VarCommandLine::kUsageStatus;
}
