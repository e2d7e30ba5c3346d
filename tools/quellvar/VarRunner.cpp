#include "tools/quellvar/VarRunner.h"

#include <istream>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "protocol/ConvertError.h"
#include "protocol/NumberText.h"
#include "tools/quellvar/HexText.h"
#include "tools/quellvar/JsonWriter.h"
#include "tools/quellvar/RunnerWords.h"
#include "tools/quellvar/VarDump.h"

namespace quell::tools {

namespace {

// Entry numbers the engine looks up itself may be any 16-bit number; the others must name a
// slot of the table.
std::uint16_t anyEntry(Arguments& args)
{
    return static_cast<std::uint16_t>(numberIn(args.required("entry number"), 0, 65535, "entry"));
}

std::uint16_t tableEntry(Arguments& args)
{
    return static_cast<std::uint16_t>(
        numberIn(args.required("entry number"), 0, kTableSize - 1, "entry"));
}

std::uint8_t code(Arguments& args, const char* what)
{
    return static_cast<std::uint8_t>(numberIn(args.required(what), 0, 255, what));
}

// A frame argument: hexadecimal bytes, or "=" and the text itself (the link's failure words).
std::string frameArgument(std::string_view text)
{
    if (!text.empty() && text.front() == '=') {
        return std::string(text.substr(1));
    }
    const auto bytes = hexToBytes(text);
    if (!bytes) {
        throw CommandError("'" + std::string(text) + "' is not a hexadecimal frame");
    }
    return *bytes;
}

bool flagArgument(std::string_view text)
{
    return numberIn(text, 0, 1, "flag") != 0;
}

std::string foundObject(bool found, std::uint16_t entry)
{
    JsonWriter json;
    json.beginObject().key("found").boolean(found).key("entry").integer(entry).endObject();
    return json.text();
}

} // namespace

VarRunner::VarRunner(TProtocol& protocol, VarLinkSettings settings)
    : protocol_(protocol), settings_(settings)
{
}

std::uint8_t VarRunner::addressFor(std::uint16_t entry) const
{
    const TCommands* e = protocol_.entryAt(entry);
    return (e != nullptr && e->FixedAddress) ? 15 : settings_.address;
}

std::string VarRunner::execute(std::string_view commandLine)
{
    const VarLinkSettings& s = settings_;
    JsonWriter json;
    try {
        Arguments args(commandLine);
        const std::string_view command = args.word();
        if (command == "read") {
            const std::uint16_t entry = anyEntry(args);
            args.finish();
            return frameObject(protocol_.BuildReadRequest(entry, addressFor(entry), s.mask, s.viaMC,
                                                          s.mcAddress, s.mcMask));
        }
        if (command == "write") {
            const std::uint16_t entry = tableEntry(args);
            const std::string_view text = args.rest();
            return frameObject(protocol_.BuildWriteRequest(entry, text, addressFor(entry), s.mask,
                                                           s.viaMC, s.mcAddress, s.mcMask));
        }
        if (command == "answer") {
            const std::uint16_t entry = tableEntry(args);
            const std::string request = frameArgument(args.required("request frame"));
            const std::string answer = frameArgument(args.rest());
            const TAnswerResult result = protocol_.ParseAnswer(request, answer, entry);
            json.beginObject();
            json.key("taken").boolean(result.Taken);
            json.key("entry").integer(result.Entry);
            json.key("status").string(result.Status);
            json.endObject();
            return json.text();
        }
        if (command == "text") {
            const std::uint16_t entry = tableEntry(args);
            const std::int32_t raw = parseInteger(args.required("raw value"));
            const std::string_view fallback = args.rest();
            const std::string text = protocol_.ValueToText(entry, raw, std::string(fallback));
            json.beginObject().key("text").string(text).endObject();
            return json.text();
        }
        if (command == "value") {
            const std::uint16_t entry = tableEntry(args);
            const std::string_view text = args.rest();
            const std::int16_t old = protocol_.entryAt(entry)->Value;
            json.beginObject().key("value").integer(protocol_.TextToValue(entry, text, old));
            json.endObject();
            return json.text();
        }
        if (command == "store") {
            const std::uint16_t entry = tableEntry(args);
            const std::string_view text = args.rest();
            json.beginObject().key("result").boolean(protocol_.StoreEIData(entry, text));
            json.endObject();
            return json.text();
        }
        if (command == "poll") {
            const std::uint16_t entry = tableEntry(args);
            args.finish();
            json.beginObject().key("poll").boolean(protocol_.NeedsPoll(entry)).endObject();
            return json.text();
        }
        if (command == "enable") {
            const std::string_view which = args.required("all or none");
            args.finish();
            if (which != "all" && which != "none") {
                throw CommandError("enable takes all or none, not '" + std::string(which) + "'");
            }
            protocol_.SetAllEnabled(which == "all");
            return "{}";
        }
        if (command == "forward") {
            const std::uint8_t c = code(args, "code");
            const std::uint8_t c3 = code(args, "code3");
            std::uint16_t entry = anyEntry(args);
            args.finish();
            const bool found = protocol_.FindEntryForward(c, c3, entry);
            return foundObject(found, entry);
        }
        if (command == "backward") {
            const std::uint8_t c = code(args, "code");
            const std::uint8_t c3 = code(args, "code3");
            args.finish();
            std::uint16_t entry = 0;
            const bool found = protocol_.FindEntryBackward(c, c3, entry);
            return foundObject(found, entry);
        }
        if (command == "entry") {
            const std::uint16_t entry = tableEntry(args);
            args.finish();
            VarDump::writeEntry(json, protocol_, entry);
            return json.text();
        }
        if (command == "set") {
            TCommands& e = *protocol_.entryAt(tableEntry(args));
            const std::string_view field = args.required("field name");
            if (field == "valueText") {
                e.ValueText = std::string(args.rest());
                return "{}";
            }
            const std::string_view value = args.required("value");
            args.finish();
            if (field == "value") {
                // Hexadecimal patterns up to FFFF are taken as the 16 bits they spell.
                e.Value = static_cast<std::int16_t>(numberIn(value, -32768, 65535, "value"));
            } else if (field == "valid") {
                e.Valid = flagArgument(value);
            } else if (field == "enabled") {
                e.Enabled = flagArgument(value);
            } else if (field == "pollCounter") {
                e.PollCounter = static_cast<std::uint8_t>(numberIn(value, 0, 255, "pollCounter"));
            } else if (field == "floatValue") {
                e.FloatValue = parseFloat(value);
            } else if (field == "longValue") {
                e.LongValue = parseInteger(value);
            } else {
                throw CommandError("unknown field '" + std::string(field) + "'");
            }
            return "{}";
        }
        if (command.empty()) {
            throw CommandError("empty command");
        }
        throw CommandError("unknown command '" + std::string(command) + "'");
    } catch (const std::exception& e) {
        // Conversion errors keep their own text; the caller compares it word for word.
        JsonWriter error;
        error.beginObject().key("error").string(e.what()).endObject();
        return error.text();
    }
}

void VarRunner::run(std::istream& in, std::ostream& out)
{
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back(); // command files written on Windows
        }
        out << execute(line) << '\n' << std::flush;
    }
}

int VarRunner::runFile(const std::string& fileName, VarLinkSettings settings, std::istream& in,
                       std::ostream& out, std::ostream& err)
{
    auto protocol = std::make_unique<TProtocol>();
    int status = VarDump::kLoaded;
    try {
        if (!protocol->LoadFromFile(fileName)) {
            status = VarDump::kNotLoaded;
            err << "quellvar: " << fileName << ": not loaded (lines read: " << protocol->LineCount
                << ")\n";
        }
    } catch (const ELoadError& e) {
        status = VarDump::kLoadError;
        err << "quellvar: " << fileName << ": " << e.describe() << '\n';
    } catch (const std::exception& e) {
        status = VarDump::kLoadError;
        err << "quellvar: " << fileName << ": " << e.what() << '\n';
    }
    err << std::flush;
    VarRunner(*protocol, settings).run(in, out);
    return status;
}

} // namespace quell::tools
