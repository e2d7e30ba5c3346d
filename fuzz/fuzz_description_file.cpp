// The bytes become a description file. Besides the loader itself, whatever table it accepted
// is pushed through the codec and the request builders, because a loader that lets a strange
// line through (a pick list longer than the table holds, a decimals digit that is not a digit,
// shifts beyond the width) only shows its fault when the entry is used.
#include "fuzz/FuzzScratch.h"
#include "protocol/ConvertError.h"
#include "protocol/UCommands.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

// Enough to reach every type and the pick lists without making each input slow.
constexpr int kEntriesExercised = 64;

void exerciseEntry(quell::TProtocol& protocol, std::uint16_t entry)
{
    const quell::TCommands& command = protocol.Commands[entry];
    const std::array<std::int32_t, 7> raws = {0,      -1,          32767,          -32768,
                                              0xFFFF, command.Max, command.Default};
    for (std::int32_t raw : raws) {
        protocol.ValueToText(entry, raw, command.ValueText);
    }
    protocol.NeedsPoll(entry);
    const std::array<std::string, 3> texts = {command.pickItem(command.Max), command.PickList[0],
                                              "12.5"};
    for (const std::string& text : texts) {
        try {
            protocol.TextToValue(entry, text, command.Value);
        } catch (const quell::EConvertError&) {
        }
        try {
            protocol.StoreEIData(entry, text);
        } catch (const quell::EConvertError&) {
        }
    }
    protocol.BuildReadRequest(entry, 1, 0xA0, (entry & 1) != 0, 1, 0x40);
    try {
        protocol.BuildWriteRequest(entry, command.PickList[0], 15, 0xA0, false, 1, 0x40);
    } catch (const quell::EConvertError&) {
    }
    std::uint16_t found = entry;
    protocol.FindEntryForward(command.Code1, command.Code3, found);
    protocol.FindEntryBackward(command.Code2, command.Code3, found);
}

// Puts the table back to the state of a newly made one. The table is kept between inputs because
// making a fresh one costs more than everything else an input does; only the entries a load can
// have filled (1..Count) and their neighbours need resetting, since Clear leaves the others as
// they were made.
void resetTable(quell::TProtocol& protocol)
{
    static const quell::TCommands fresh{};
    const int top = protocol.maxEntries();
    const int last = protocol.Count + 1 < top ? protocol.Count + 1 : top;
    for (int i = 0; i <= last; ++i) {
        protocol.Commands[i] = fresh;
    }
    protocol.Kind = quell::kKindNone;
    protocol.ProtocolName.clear();
    protocol.Section.clear();
    protocol.Count = 0;
    protocol.LineCount = 0;
}

// Inputs whose first line is this marker get plain entries inserted after it, so the rest of the
// input lands at the end of a nearly full table: a fuzzer never writes a thousand valid lines on
// its own, yet the table's limit is where a slip would write past its last slot.
constexpr std::string_view kFillMarker = "#fill\n";
constexpr int kFillEntries = quell::kMaxEntries - 3;

const std::string& fillLines()
{
    static const std::string lines = [] {
        std::string text;
        for (int i = 0; i < kFillEntries; ++i) {
            text += "VAR fill 1,1,rw,0,1,0,1,2,3,0,d\n";
        }
        return text;
    }();
    return lines;
}

void writeDescription(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (!input.starts_with(kFillMarker)) {
        quell::fuzz::writeFile(path, data, size);
        return;
    }
    std::string text(kFillMarker);
    text += fillLines();
    text += input.substr(kFillMarker.size());
    quell::fuzz::writeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = quell::fuzz::scratchPath("description.var");
    static const auto protocol = std::make_unique<quell::TProtocol>();
    writeDescription(path, data, size);

    for (const char* keyword : {"PROT", "SECTION", "VAR", ""}) {
        quell::TProtocol::FindKeyword(path, keyword);
    }

    bool loaded = false;
    try {
        loaded = protocol->LoadFromFile(path);
    } catch (const quell::ELoadError& error) {
        error.describe();
    } catch (const quell::EConvertError&) {
    }
    // Whatever the file holds, the table never grows past its slots, and a load that reports
    // success has a protocol and at least one entry.
    const bool usable =
        protocol->Count >= 1
        && (protocol->Kind == quell::kKindKestavin || protocol->Kind == quell::kKindEIBisynch);
    if (protocol->Count > protocol->maxEntries() || (loaded && !usable)) {
        std::fprintf(stderr, "fuzz: load %d left kind %d, count %d\n", loaded, protocol->Kind,
                     protocol->Count);
        std::abort();
    }

    // A failed load keeps the entries read before the faulty line, and the program goes on
    // using them. The first entries and the last ones (those of a filled table's input) are used.
    const int count = protocol->Count;
    for (int entry = 1; entry <= count; ++entry) {
        if (entry <= kEntriesExercised || entry > count - kEntriesExercised / 8) {
            exerciseEntry(*protocol, static_cast<std::uint16_t>(entry));
        }
    }
    protocol->SetAllEnabled(false);
    protocol->SetAllEnabled(true);
    resetTable(*protocol);
    return 0;
}
