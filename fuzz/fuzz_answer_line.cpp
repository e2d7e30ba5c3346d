// Bytes from the communication server as the client reads them: cut into answer lines by the
// link's line reader (in chunks of the size byte 0 gives), and each line applied by the request
// scheduler to the VRQ-PB board's table, after the scheduler built the request it answers (so
// queued writes, the poll cursor and the entry searched from move as in a real exchange).
// Byte 1 chooses what the worker has asked for: bits 0-1 a queued write, a queued read or polls
// only, bits 2-7 the entry. Checks that whatever the line holds, the scheduler reports only
// entries that exist, and the cells it says it changed show the entries' texts.
#include "client/AnswerLineReader.h"
#include "client/LineProtocol.h"
#include "client/RequestScheduler.h"
#include "protocol/ConvertError.h"
#include "protocol/UCommands.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

// A short line limit keeps the over-long path reachable for a fuzzer's short inputs; the
// reader's logic does not depend on the figure.
constexpr std::size_t kLineLimit = 512;

void fail(const char* what, std::size_t entry)
{
    std::fprintf(stderr, "fuzz: %s (entry %zu)\n", what, entry);
    std::abort();
}

const quell::TProtocol& board()
{
    static const auto table = [] {
        auto t = std::make_unique<quell::TProtocol>();
        const std::string path = QUELL_EXAMPLES_DIR "/vrq-pb.var";
        if (!t->LoadFromFile(path)) {
            std::fprintf(stderr, "fuzz: %s did not load\n", path.c_str());
            std::abort();
        }
        return t;
    }();
    return *table;
}

// The table an input works on; only the entries a load fills are put back between inputs,
// since copying every slot would cost more than the parsing.
quell::TProtocol& freshTable()
{
    static const auto work = std::make_unique<quell::TProtocol>(board());
    const quell::TProtocol& pristine = board();
    for (int i = 0; i <= pristine.Count; ++i)
        work->Commands[i] = pristine.Commands[i];
    return *work;
}

void apply(quell::RequestScheduler& scheduler, const quell::TProtocol& table, std::string_view line)
{
    scheduler.BuildRequestLine();
    const quell::AnswerEffects effects = scheduler.ProcessAnswerLine(line);
    for (std::uint16_t entry : effects.answeredEntries) {
        if (entry < 1 || entry > table.Count)
            fail("an answer was taken for an entry that does not exist", entry);
    }
    for (std::uint16_t entry : effects.changedCells) {
        if (entry < 1 || entry > table.Count)
            fail("a cell changed for an entry that does not exist", entry);
        if (scheduler.cellText(entry) != table.Commands[entry].ValueText)
            fail("a changed cell does not show its entry's text", entry);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t chunk = 1 + data[0] % 64;
    const std::uint8_t ask = data[1];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

    quell::TProtocol& table = freshTable();
    quell::RequestScheduler scheduler(table);
    quell::LinkSettings settings;
    settings.transmitDelay = 0; // no pacing pause between the lines of one input
    settings.maxPacket = 4;
    scheduler.setSettings(settings);
    scheduler.connected();
    scheduler.BuildRequestLine(); // the settings line a new connection starts with

    const auto entry = static_cast<std::uint16_t>(1 + (ask >> 2) % table.Count);
    try {
        if ((ask & 3) == 1)
            scheduler.WriteParameter(entry, table.Commands[entry].PickList[1]);
        else if ((ask & 3) == 2)
            scheduler.ReadParameter(entry);
    } catch (const quell::EConvertError&) {
        // An item text for a numeric entry: the window reports it and nothing is queued.
    }

    quell::AnswerLineReader reader(kLineLimit);
    std::string line;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        reader.append(bytes.substr(at, chunk));
        for (;;) {
            const auto result = reader.next(line);
            if (result == quell::AnswerLineReader::Result::NeedMore)
                break;
            if (result == quell::AnswerLineReader::Result::TooLong)
                continue;
            if (line.size() > kLineLimit || line.find("\r\n") != std::string::npos)
                fail("the line reader handed on more than a line", line.size());
            apply(scheduler, table, line);
        }
    }
    return 0;
}
