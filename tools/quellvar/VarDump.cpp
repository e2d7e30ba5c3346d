#include "tools/quellvar/VarDump.h"

#include <algorithm>
#include <memory>
#include <ostream>

#include "protocol/ConvertError.h"
#include "tools/quellvar/JsonWriter.h"

namespace quell::tools {

namespace {

// "0x12": a code as its maker's documents write it.
std::string hexByte(std::uint8_t code)
{
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[code >> 4] + digits[code & 0x0F];
}

} // namespace

void VarDump::writeEntry(JsonWriter& json, const TProtocol& protocol, std::uint16_t index, bool hex)
{
    const TCommands& e = *protocol.entryAt(index);
    json.beginObject();
    json.key("index").integer(index);
    json.key("name").string(e.Name);
    json.key("enabled").integer(e.Enabled ? 1 : 0);
    json.key("pollRate").integer(e.PollRate);
    json.key("access").integer(e.Access);
    json.key("fixedAddress").integer(e.FixedAddress ? 1 : 0);
    json.key("min").integer(e.Min);
    json.key("max").integer(e.Max);
    json.key("default").integer(e.Default);
    json.key("code1").integer(e.Code1);
    json.key("code2").integer(e.Code2);
    json.key("code3").integer(e.Code3);
    if (hex) {
        json.key("code1Hex").string(hexByte(e.Code1));
        json.key("code2Hex").string(hexByte(e.Code2));
        json.key("code3Hex").string(hexByte(e.Code3));
    }
    json.key("offset").integer(e.Offset);
    json.key("typeCode").integer(e.TypeCode);
    json.key("decimals").integer(e.Decimals);
    json.key("pickList").beginArray();
    if (e.TypeCode == kTypePickList) {
        // A Max beyond the list would name items the table cannot hold.
        const int last = std::min<int>(e.Max, kPickListSize - 1);
        for (int i = 0; i <= last; ++i) {
            json.string(e.pickItem(i));
        }
    }
    json.endArray();
    json.key("valid").integer(e.Valid ? 1 : 0);
    json.key("pollCounter").integer(e.PollCounter);
    json.key("value").integer(e.Value);
    json.key("floatValue").number(e.FloatValue);
    json.key("valueText").string(e.ValueText);
    json.key("longValue").integer(e.LongValue);
    json.endObject();
}

VarDump::Status VarDump::write(TProtocol& protocol, const std::string& fileName, JsonWriter& json,
                               bool hex)
{
    Status status = kNotLoaded;
    std::string error;
    unsigned errorLine = 0;
    try {
        status = protocol.LoadFromFile(fileName) ? kLoaded : kNotLoaded;
    } catch (const ELoadError& e) {
        status = kLoadError;
        error = e.what();
        errorLine = e.line();
    } catch (const std::exception& e) {
        // Anything else the loader lets through still belongs to the line it was reading.
        status = kLoadError;
        error = e.what();
        errorLine = protocol.LineCount;
    }

    json.beginObject();
    json.key("loaded").boolean(status == kLoaded);
    json.key("kind").integer(protocol.Kind);
    json.key("protocolName").string(protocol.ProtocolName);
    json.key("section").string(protocol.Section);
    json.key("count").integer(protocol.Count);
    json.key("lineCount").integer(protocol.LineCount);
    json.key("entries").beginArray();
    const int last = std::min<int>(protocol.Count, protocol.maxEntries());
    for (int i = 1; i <= last; ++i) {
        writeEntry(json, protocol, static_cast<std::uint16_t>(i), hex);
    }
    json.endArray();
    if (status == kLoadError) {
        json.key("error").string(error);
        json.key("errorLine").integer(errorLine);
    }
    json.endObject();
    return status;
}

VarDump::Status VarDump::run(const std::string& fileName, std::ostream& out, bool pretty, bool hex)
{
    // The table is large; keep it off the stack.
    auto protocol = std::make_unique<TProtocol>();
    JsonWriter json;
    const Status status = write(*protocol, fileName, json, hex);
    out << (pretty ? prettyJson(json.text()) : json.text()) << '\n' << std::flush;
    return status;
}

} // namespace quell::tools
