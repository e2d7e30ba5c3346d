#include "tools/quellvar/VarCommandLine.h"

#include <cstdint>
#include <optional>

#include "protocol/ConvertError.h"
#include "protocol/NumberText.h"

namespace quell::tools {

namespace {

std::optional<std::uint8_t> byteOf(const std::string& text)
{
    try {
        const std::int32_t n = parseInteger(text);
        if (n >= 0 && n <= 255) {
            return static_cast<std::uint8_t>(n);
        }
    } catch (const EConvertError&) {
    }
    return std::nullopt;
}

VarCommandLine invalid(std::string why)
{
    VarCommandLine result;
    result.error = std::move(why);
    return result;
}

} // namespace

VarCommandLine VarCommandLine::parse(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) {
        return invalid("no command given");
    }
    VarCommandLine result;
    const std::string& command = arguments[0];
    if (command == "dump") {
        result.command = Command::Dump;
    } else if (command == "run") {
        result.command = Command::Run;
    } else if (command == "check") {
        result.command = Command::Check;
    } else {
        return invalid("unknown command '" + command + "'");
    }

    bool haveFile = false;
    bool mcOption = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (argument.rfind("--", 0) != 0) {
            if (haveFile) {
                return invalid("more than one file given");
            }
            result.fileName = argument;
            haveFile = true;
            continue;
        }
        if (argument == "--compact") {
            result.compact = true;
            continue;
        }
        if ((argument == "--pretty" || argument == "--hex") && result.command == Command::Dump) {
            (argument == "--pretty" ? result.pretty : result.hex) = true;
            continue;
        }
        if (result.command != Command::Run) {
            return invalid("option " + argument + " belongs to the run command");
        }
        // The compact board is reached directly: an address byte, no master controller.
        mcOption = mcOption || argument.rfind("--mc", 0) == 0;
        if (argument == "--mc") {
            result.link.viaMC = true;
            continue;
        }
        std::string value;
        if (const std::size_t eq = argument.find('='); eq != std::string::npos) {
            value = argument.substr(eq + 1);
            argument.resize(eq);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return invalid("option " + argument + " needs a value");
        }
        std::uint8_t* target = nullptr;
        if (argument == "--address") {
            target = &result.link.address;
        } else if (argument == "--mask") {
            target = &result.link.mask;
        } else if (argument == "--mcaddress") {
            target = &result.link.mcAddress;
        } else if (argument == "--mcmask") {
            target = &result.link.mcMask;
        } else {
            return invalid("unknown option " + argument);
        }
        const auto byte = byteOf(value);
        if (!byte) {
            std::string why = "option " + argument;
            why += " takes a number 0..255, not '" + value + "'";
            return invalid(why);
        }
        *target = *byte;
    }
    if (!haveFile) {
        return invalid("no description file given");
    }
    if (result.compact && mcOption) {
        return invalid("the master controller's options do not go with --compact");
    }
    return result;
}

std::string VarCommandLine::usage()
{
    return "usage: quellvar dump [--compact] [--pretty] [--hex] FILE\n"
           "       quellvar check [--compact] FILE\n"
           "       quellvar run FILE [--address N] [--mask N] [--mc] [--mcaddress N] "
           "[--mcmask N]\n"
           "       quellvar run --compact FILE [--address N] [--mask N]\n"
           "       quellvar --help | --version\n"
           "\n"
           "  dump   print the table loaded from FILE as one JSON object\n"
           "         (exit 0 loaded, 1 not loaded, 2 load error); --pretty lays it out on\n"
           "         many lines, --hex adds each code in hexadecimal (code1Hex ...)\n"
           "  check  report every problem of FILE with its line (exit 0 clean, 1 problems)\n"
           "         --compact: FILE is in the compact configurator's syntax\n"
           "  run    load FILE, then answer commands from standard input, one JSON line each:\n"
           "         read E | write E TEXT | answer E REQUEST ANSWER | text E RAW [FALLBACK]\n"
           "         value E TEXT | store E TEXT | poll E | enable all|none\n"
           "         forward CODE CODE3 START | backward CODE CODE3 | entry E\n"
           "         set E value|valueText|valid|enabled|pollCounter|floatValue|longValue V\n"
           "         frames are hexadecimal; ANSWER may be =WORD for a link failure word\n"
           "         defaults: address 1, mask 160, not via MC, MC address 1, MC mask 64\n"
           "         --compact: read E | write E TEXT | text E RAW | value E TEXT\n"
           "         | backward CODE1 CODE2 | entry E | set E value|valueText|valid V\n"
           "         a file that fails to load is told on standard error; the commands still\n"
           "         run on what was loaded, and the exit status is that of dump\n";
}

} // namespace quell::tools
