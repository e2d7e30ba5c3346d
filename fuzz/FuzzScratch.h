#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quell {
class TProtocol;
}

namespace quell::fuzz {

// A file path of this process's own scratch directory (in /dev/shm when it exists, so writing a
// file per input costs no disk I/O); the directory is made on first use and removed at exit.
// Each process has its own, so parallel fuzzing jobs never share files.
std::string scratchPath(std::string_view fileName);

// Replaces the file's content with the bytes; aborts when the file cannot be written, because a
// fuzzer that silently loads an old file would report coverage it never reached.
void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// Loads a description file given as text; aborts when the load fails, since every input of the
// calling fuzzer would then exercise an empty table.
std::unique_ptr<TProtocol> loadEmbedded(std::string_view fileName, std::string_view text);

} // namespace quell::fuzz
