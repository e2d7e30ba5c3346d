#include "protocol/ConvertError.h"

#include <utility>

namespace quell {

EConvertError EConvertError::integer(std::string_view text)
{
    return EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

EConvertError EConvertError::floating(std::string_view text)
{
    return EConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

ELoadError::ELoadError(const std::string& message, unsigned line, std::string field,
                       bool conversion)
    : std::runtime_error(message), line_(line), field_(std::move(field)), conversion_(conversion)
{
}

std::string ELoadError::describe() const
{
    return "line " + std::to_string(line_) + ", field " + field_ + ": " + what();
}

} // namespace quell
