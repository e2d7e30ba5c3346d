#include "tools/quellvar/CompactVar.h"

#include "compact/UCommands.h"
#include "protocol/ConvertError.h"
#include "tools/quellvar/CompactRunner.h"
#include "tools/quellvar/JsonWriter.h"

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

namespace quell::tools {

namespace {

struct Loaded {
    std::unique_ptr<compact::TProtocol> table = std::make_unique<compact::TProtocol>();
    int status = 1; // 0 loaded, 1 not loaded, 2 load error
    std::string error;
    unsigned errorLine = 0;
};

Loaded load(const std::string& fileName)
{
    Loaded result;
    try {
        result.status = result.table->LoadFromFile(fileName) ? 0 : 1;
    } catch (const ELoadError& e) {
        result.status = 2;
        result.error = e.what();
        result.errorLine = e.line();
    } catch (const std::exception& e) {
        result.status = 2;
        result.error = e.what();
    }
    return result;
}

} // namespace

void CompactVar::writeEntry(JsonWriter& json, const compact::TProtocol& table, int entry)
{
    const compact::TCommands& e = table.Commands[static_cast<std::size_t>(entry)];
    json.beginObject();
    json.key("index").integer(entry);
    json.key("name").string(e.Name);
    json.key("pollMode").integer(e.PollMode);
    json.key("access").integer(e.Access);
    json.key("min").integer(e.Min);
    json.key("max").integer(e.Max);
    json.key("default").integer(e.Default);
    json.key("code1").integer(e.Code1);
    json.key("code2").integer(e.Code2);
    json.key("offset").integer(e.Offset);
    json.key("typeCode").integer(e.TypeCode);
    json.key("decimals").integer(e.Decimals);
    json.key("pickList").beginArray();
    if (e.TypeCode == kTypePickList) {
        const int last = std::min<int>(e.Max, kPickListSize - 1);
        for (int k = 0; k <= last; ++k)
            json.string(e.PickList[static_cast<std::size_t>(k)]);
    }
    json.endArray();
    json.key("valid").integer(e.Valid ? 1 : 0);
    json.key("value").integer(e.Value);
    json.key("valueText").string(e.ValueText);
    json.endObject();
}

int CompactVar::dump(const std::string& fileName, std::ostream& out, bool pretty)
{
    const Loaded loaded = load(fileName);
    const compact::TProtocol& t = *loaded.table;
    JsonWriter json;
    json.beginObject();
    json.key("loaded").boolean(loaded.status == 0);
    json.key("kind").integer(t.Kind);
    json.key("protocolName").string(t.ProtocolName);
    json.key("section").string(t.Section);
    json.key("count").integer(t.Count);
    json.key("entries").beginArray();
    for (int i = 1; i <= t.Count; ++i) {
        writeEntry(json, t, i);
    }
    json.endArray();
    if (loaded.status == 2) {
        json.key("error").string(loaded.error);
        json.key("errorLine").integer(loaded.errorLine);
    }
    json.endObject();
    out << (pretty ? prettyJson(json.text()) : json.text()) << '\n' << std::flush;
    return loaded.status;
}

int CompactVar::run(const std::string& fileName, std::uint8_t addressByte, std::istream& in,
                    std::ostream& out, std::ostream& err)
{
    Loaded loaded = load(fileName);
    if (loaded.status == 1)
        err << "quellvar: " << fileName << ": not loaded\n";
    else if (loaded.status == 2)
        err << "quellvar: " << fileName << ": line " << loaded.errorLine << ": " << loaded.error
            << '\n';
    err << std::flush;
    CompactRunner(*loaded.table, addressByte).run(in, out);
    return loaded.status;
}

int CompactVar::check(const std::string& fileName, std::ostream& out)
{
    const Loaded loaded = load(fileName);
    const compact::TProtocol& t = *loaded.table;
    std::vector<std::string> problems;
    if (loaded.status == 2)
        problems.push_back("line " + std::to_string(loaded.errorLine) + ": " + loaded.error);
    else if (loaded.status == 1)
        problems.push_back(
            "file: not loaded (PROT must name Kestavin, and a VAR line must follow)");
    std::map<std::pair<int, int>, std::vector<int>> byCodes;
    for (int i = 1; i <= t.Count; ++i) {
        const compact::TCommands& e = t.Commands[static_cast<std::size_t>(i)];
        byCodes[{e.Code1, e.Code2}].push_back(i);
    }
    for (const auto& [codes, entries] : byCodes) {
        if (entries.size() < 2)
            continue;
        std::string text = "entries";
        for (int entry : entries)
            text += " " + std::to_string(entry);
        text += " share the codes " + compact::TProtocol::ByteToHex2(std::uint8_t(codes.first))
                + " " + compact::TProtocol::ByteToHex2(std::uint8_t(codes.second))
                + ": every answer goes to entry " + std::to_string(entries.back());
        problems.push_back(text);
    }
    out << "file: " << fileName << '\n';
    out << "protocol: " << (t.ProtocolName.empty() ? "-" : t.ProtocolName) << " (compact)\n";
    out << "section: " << (t.Section.empty() ? "-" : t.Section) << '\n';
    out << "entries: " << int(t.Count) << '\n';
    for (const std::string& problem : problems)
        out << problem << '\n';
    if (problems.empty())
        out << "no problems found\n";
    else
        out << problems.size() << (problems.size() == 1 ? " problem" : " problems") << " found\n";
    out << std::flush;
    return problems.empty() ? 0 : 1;
}

} // namespace quell::tools
