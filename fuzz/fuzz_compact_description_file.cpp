// The bytes become a description file in the compact syntax, loaded by the compact engine; the
// entries it accepted are then converted both ways and framed, since a loader that lets a strange
// line through shows its fault only when the entry is used.
#include "compact/UCommands.h"
#include "fuzz/FuzzScratch.h"
#include "protocol/ConvertError.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

using quell::compact::TCommands;
using quell::compact::TProtocol;

void exerciseEntry(TProtocol& engine, std::uint8_t entry)
{
    const TCommands& command = engine.Commands[entry];
    const std::array<std::int32_t, 6> raws = {0, -1, 0x7FFF, -32768, 0xFFFF, command.Max};
    for (const std::int32_t raw : raws) {
        engine.ValueToText(entry, raw);
        // What an entry shows must read back wherever the type reads text at all.
        const std::string shown = command.ValueText;
        try {
            engine.TextToValue(entry, shown);
        } catch (const quell::EConvertError&) {
            if (command.TypeCode == quell::kTypeBcd || command.TypeCode == quell::kTypeDecimal
                || command.TypeCode == quell::kTypeUnsigned) {
                std::fprintf(stderr, "fuzz: entry %d does not read back '%s'\n", entry,
                             shown.c_str());
                std::abort();
            }
        }
    }
    for (const std::string& text : {command.PickList[0], std::string("12.5"), command.Name}) {
        try {
            engine.TextToValue(entry, text);
        } catch (const quell::EConvertError&) {
        }
    }
    engine.BuildReadBody(entry);
    engine.BuildWriteFrame(entry, command.Value, 0xA1);
    std::uint8_t found = 0;
    if (!engine.FindEntryBackward(command.Code1, command.Code2, found) || found < entry) {
        std::fprintf(stderr, "fuzz: entry %d not found by its own codes\n", entry);
        std::abort();
    }
}

// Inputs whose first line is this marker get plain entries inserted after it, so the rest of the
// input lands at the end of a nearly full table, where the 255-entry stop is.
constexpr std::string_view kFillMarker = "#fill\n";
constexpr int kFillEntries = quell::compact::kMaxEntries - 3;

std::string withFill(std::string_view input)
{
    if (!input.starts_with(kFillMarker))
        return std::string(input);
    std::string text(kFillMarker);
    for (int i = 0; i < kFillEntries; ++i)
        text += "VAR fill manual,rw,0,1,0,1,2,0,d\n";
    text += input.substr(kFillMarker.size());
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = quell::fuzz::scratchPath("compact.var");
    const std::string text = withFill(std::string_view(reinterpret_cast<const char*>(data), size));
    quell::fuzz::writeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());

    auto engine = std::make_unique<TProtocol>();
    bool loaded = false;
    try {
        loaded = engine->LoadFromFile(path);
    } catch (const quell::ELoadError& error) {
        error.describe();
    }
    if (loaded && (engine->Kind != quell::kKindKestavin || engine->Count == 0)) {
        std::fprintf(stderr, "fuzz: load succeeded with kind %d, count %d\n", engine->Kind,
                     engine->Count);
        std::abort();
    }
    // A failed load keeps the entries read before the faulty line; the program goes on using
    // them.
    for (int entry = 1; entry <= engine->Count; ++entry)
        exerciseEntry(*engine, static_cast<std::uint8_t>(entry));
    engine->Clear();
    return 0;
}
