#include "fuzz/FuzzScratch.h"

#include "protocol/ConvertError.h"
#include "protocol/UCommands.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace quell::fuzz {

namespace {

std::filesystem::path g_scratchDir;

void removeScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(g_scratchDir, ignored);
}

const std::filesystem::path& scratchDir()
{
    if (g_scratchDir.empty()) {
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base)) {
            base = std::filesystem::temp_directory_path();
        }
        g_scratchDir = base / ("quell-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(g_scratchDir);
        std::atexit(removeScratchDir);
    }
    return g_scratchDir;
}

} // namespace

std::string scratchPath(std::string_view fileName)
{
    return (scratchDir() / fileName).string();
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (size > 0) {
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    out.close();
    if (!out) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
}

std::unique_ptr<TProtocol> loadEmbedded(std::string_view fileName, std::string_view text)
{
    const std::string path = scratchPath(fileName);
    writeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    auto protocol = std::make_unique<TProtocol>();
    bool loaded = false;
    try {
        loaded = protocol->LoadFromFile(path);
    } catch (const ELoadError& error) {
        std::fprintf(stderr, "fuzz: embedded table: %s\n", error.describe().c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fuzz: embedded table: %s\n", error.what());
    }
    if (!loaded) {
        std::fprintf(stderr, "fuzz: the embedded table %s did not load\n", path.c_str());
        std::abort();
    }
    return protocol;
}

} // namespace quell::fuzz
