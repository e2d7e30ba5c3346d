#pragma once

#include "compact/UCommands.h"
#include "tests/protocol/TestSupport.h"

#include <memory>
#include <string>
#include <string_view>

namespace quell::compact::test {

// The table is a few hundred kilobytes, so tests keep their engine on the heap.
inline std::unique_ptr<TProtocol> makeEngine()
{
    return std::make_unique<TProtocol>();
}

// Writes the text to a temporary description file and loads it.
inline bool loadText(TProtocol& engine, std::string_view text)
{
    const quell::test::TempVarFile file(text);
    return engine.LoadFromFile(file.path());
}

// The compact board's own description.
inline std::string exampleFile()
{
    return std::string(QUELL_EXAMPLES_DIR) + "/vrq-compact.var";
}

} // namespace quell::compact::test
