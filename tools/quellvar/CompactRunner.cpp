#include "tools/quellvar/CompactRunner.h"

#include "compact/UCommands.h"
#include "protocol/ControlChars.h"
#include "protocol/NumberText.h"
#include "tools/quellvar/CompactVar.h"
#include "tools/quellvar/JsonWriter.h"
#include "tools/quellvar/RunnerWords.h"

#include <istream>
#include <ostream>

namespace quell::tools {

namespace {

// Entry numbers name a slot of the table (0..255).
std::uint8_t entryOf(Arguments& args)
{
    return static_cast<std::uint8_t>(numberIn(args.required("entry number"), 0, 255, "entry"));
}

// {"stored":BOOL,"value":RAW,"text":TEXT}: what the entry holds after a conversion.
std::string entryState(bool stored, const compact::TCommands& e)
{
    JsonWriter json;
    json.beginObject()
        .key("stored")
        .boolean(stored)
        .key("value")
        .integer(e.Value)
        .key("text")
        .string(e.ValueText)
        .endObject();
    return json.text();
}

} // namespace

CompactRunner::CompactRunner(compact::TProtocol& table, std::uint8_t addressByte)
    : table_(table), addressByte_(addressByte)
{
}

std::string CompactRunner::execute(std::string_view commandLine)
{
    try {
        Arguments args(commandLine);
        const std::string_view command = args.word();
        if (command == "read") {
            const std::uint8_t entry = entryOf(args);
            args.finish();
            return frameObject(std::string(1, kSoh) + static_cast<char>(addressByte_)
                               + table_.BuildReadBody(entry) + kEot);
        }
        if (command == "write") {
            // The text is converted as a typed cell is, then sent as the raw value it stands for.
            const std::uint8_t entry = entryOf(args);
            const std::string_view text = args.rest();
            if (!table_.TextToValue(entry, text))
                throw CommandError("'" + std::string(text) + "' is no value of entry "
                                   + std::to_string(entry));
            return frameObject(
                table_.BuildWriteFrame(entry, table_.Commands[entry].Value, addressByte_));
        }
        if (command == "text") {
            const std::uint8_t entry = entryOf(args);
            const std::int32_t raw = parseInteger(args.required("raw value"));
            args.finish();
            const bool stored = table_.ValueToText(entry, raw);
            return entryState(stored, table_.Commands[entry]);
        }
        if (command == "value") {
            const std::uint8_t entry = entryOf(args);
            const bool stored = table_.TextToValue(entry, args.rest());
            return entryState(stored, table_.Commands[entry]);
        }
        if (command == "backward") {
            const auto code1 =
                static_cast<std::uint8_t>(numberIn(args.required("code1"), 0, 255, "code1"));
            const auto code2 =
                static_cast<std::uint8_t>(numberIn(args.required("code2"), 0, 255, "code2"));
            args.finish();
            std::uint8_t entry = 0;
            const bool found = table_.FindEntryBackward(code1, code2, entry);
            JsonWriter json;
            json.beginObject().key("found").boolean(found).key("entry").integer(entry).endObject();
            return json.text();
        }
        if (command == "entry") {
            const std::uint8_t entry = entryOf(args);
            args.finish();
            JsonWriter json;
            CompactVar::writeEntry(json, table_, entry);
            return json.text();
        }
        if (command == "set") {
            compact::TCommands& e = table_.Commands[entryOf(args)];
            const std::string_view field = args.required("field name");
            if (field == "valueText") {
                e.ValueText = std::string(args.rest());
                return "{}";
            }
            const std::string_view value = args.required("value");
            args.finish();
            if (field == "value")
                e.Value = static_cast<std::int16_t>(numberIn(value, -32768, 65535, "value"));
            else if (field == "valid")
                e.Valid = numberIn(value, 0, 1, "flag") != 0;
            else
                throw CommandError("unknown field '" + std::string(field) + "'");
            return "{}";
        }
        if (command.empty())
            throw CommandError("empty command");
        throw CommandError("unknown command '" + std::string(command) + "'");
    } catch (const std::exception& e) {
        JsonWriter error;
        error.beginObject().key("error").string(e.what()).endObject();
        return error.text();
    }
}

void CompactRunner::run(std::istream& in, std::ostream& out)
{
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back(); // command files written on Windows
        out << execute(line) << '\n' << std::flush;
    }
}

} // namespace quell::tools
