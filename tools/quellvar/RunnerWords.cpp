#include "tools/quellvar/RunnerWords.h"

#include "protocol/NumberText.h"
#include "tools/quellvar/HexText.h"
#include "tools/quellvar/JsonWriter.h"

namespace quell::tools {

std::string_view Arguments::word()
{
    while (pos_ < line_.size() && line_[pos_] == ' ')
        ++pos_;
    const std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ' ')
        ++pos_;
    return line_.substr(start, pos_ - start);
}

std::string_view Arguments::required(const char* what)
{
    const std::string_view w = word();
    if (w.empty())
        throw CommandError(std::string("missing ") + what);
    return w;
}

std::string_view Arguments::rest()
{
    if (pos_ < line_.size())
        ++pos_; // the separating blank
    const std::string_view text = line_.substr(pos_);
    pos_ = line_.size();
    return text;
}

void Arguments::finish()
{
    const std::string_view extra = word();
    if (!extra.empty())
        throw CommandError("unexpected argument '" + std::string(extra) + "'");
}

std::int64_t numberIn(std::string_view text, std::int64_t min, std::int64_t max, const char* what)
{
    const std::int64_t n = parseInteger(text);
    if (n < min || n > max)
        throw CommandError(std::string(what) + " " + std::to_string(n) + " is outside "
                           + std::to_string(min) + ".." + std::to_string(max));
    return n;
}

std::string frameObject(const std::string& frame)
{
    JsonWriter json;
    json.beginObject().key("frame").string(bytesToHex(frame)).endObject();
    return json.text();
}

} // namespace quell::tools
