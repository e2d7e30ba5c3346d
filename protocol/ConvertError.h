#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace quell {

// The one error raised when a text is not the number it should be. Its message is exactly
// "'<text>' is not a valid integer value" or "'<text>' is not a valid floating point value";
// the programs show it in their general error box.
class EConvertError : public std::runtime_error {
public:
    // The error for text that should have been an integer.
    static EConvertError integer(std::string_view text);
    // The error for text that should have been a floating point number.
    static EConvertError floating(std::string_view text);

private:
    explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

// A description file that cannot be loaded: what() is the cause's own text (for a number, the
// conversion error's exact message); line() and field() say where it happened.
class ELoadError : public std::runtime_error {
public:
    // message: the cause's own text; line: 1-based line of the file; field: the field's name.
    ELoadError(const std::string& message, unsigned line, std::string field, bool conversion);

    // The 1-based physical line of the file that failed.
    unsigned line() const { return line_; }
    // The name of the field that failed ("Min", "Code1", ...).
    const std::string& field() const { return field_; }
    // True when the cause was a number that did not convert (an EConvertError).
    bool isConversion() const { return conversion_; }
    // "line 12, field Min: '1x' is not a valid integer value"
    std::string describe() const;

private:
    unsigned line_;
    std::string field_;
    bool conversion_;
};

} // namespace quell
