#pragma once

#include "protocol/UCommands.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

namespace quell::test {

// A description file holding exactly the given bytes, in a folder of its own that is removed when
// the object goes out of scope. The pid keeps parallel test processes apart.
class TempVarFile {
public:
    explicit TempVarFile(std::string_view bytes, std::string_view name = "device.var")
    {
        static std::atomic<unsigned> serial{0};
        dir_ = std::filesystem::temp_directory_path()
               / ("quell-protocol-test-" + std::to_string(::getpid()) + "-"
                  + std::to_string(serial++));
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / std::string(name)).string();
        std::ofstream out(path_, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempVarFile()
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TempVarFile(const TempVarFile&) = delete;
    TempVarFile& operator=(const TempVarFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::filesystem::path dir_;
    std::string path_;
};

// The table is close to a megabyte, so tests keep their engine on the heap.
inline std::unique_ptr<TProtocol> makeProtocol()
{
    return std::make_unique<TProtocol>();
}

// Writes the text to a temporary description file and loads it.
inline bool loadText(TProtocol& protocol, std::string_view text)
{
    TempVarFile file(text);
    return protocol.LoadFromFile(file.path());
}

// Sets up one table entry by hand, for tests that start from a chosen state instead of a file.
inline TCommands& defineEntry(TProtocol& protocol, std::uint16_t index, std::uint8_t code1,
                              std::uint8_t code2, std::uint8_t code3, std::uint8_t type)
{
    TCommands& entry = protocol.Commands[index];
    entry.Code1 = code1;
    entry.Code2 = code2;
    entry.Code3 = code3;
    entry.TypeCode = type;
    if (protocol.Count < index)
        protocol.Count = index;
    return entry;
}

// The bytes of a frame, written field by field as the frame tables list them.
inline std::string frame(std::initializer_list<std::string_view> fields)
{
    std::string bytes;
    for (std::string_view field : fields)
        bytes += field;
    return bytes;
}

} // namespace quell::test
