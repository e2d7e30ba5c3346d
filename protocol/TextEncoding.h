#pragma once

#include <string>
#include <string_view>

namespace quell {

// Text files of the original stations are Windows-1250; newer ones are UTF-8.

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
bool isValidUtf8(std::string_view bytes);

// Windows-1250 bytes as UTF-8 (bytes the code page leaves undefined become U+FFFD).
std::string cp1250ToUtf8(std::string_view bytes);

// The bytes unchanged when they are UTF-8, else read as Windows-1250.
std::string toUtf8(std::string_view bytes);

} // namespace quell
