#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

namespace quell::tools::test {

// A file holding exactly the given bytes, in a folder of its own that is removed with the
// object. The pid keeps test processes that ctest runs side by side apart.
class TempFile {
public:
    explicit TempFile(std::string_view bytes, std::string_view name = "device.var")
    {
        static std::atomic<unsigned> serial{0};
        dir_ =
            std::filesystem::temp_directory_path()
            / ("quell-tools-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / std::string(name)).string();
        std::ofstream out(path_, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile()
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    // A further path in the same folder, for output the test wants removed too.
    std::string sibling(std::string_view name) const { return (dir_ / std::string(name)).string(); }

private:
    std::filesystem::path dir_;
    std::string path_;
};

} // namespace quell::tools::test
