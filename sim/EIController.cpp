#include "sim/EIController.h"

#include "protocol/ControlChars.h"
#include "protocol/EIBisynchFrames.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace quell::sim {

namespace {

using namespace quell::eibisynch;

double scale(const TCommands& c)
{
    return c.TypeCode == kTypeFixed ? std::pow(10.0, c.Decimals) : 1.0;
}

char bcc(std::string_view afterStx)
{
    char x = 0;
    for (char c : afterStx)
        x = static_cast<char>(x ^ c);
    return x;
}

} // namespace

EIController::EIController(std::shared_ptr<const TProtocol> description, std::uint8_t address)
    : description_(std::move(description)), address_(address),
      values_(description_->Commands.size(), 0)
{
    for (std::uint16_t e = 1; e <= description_->Count; ++e)
        values_[e] = description_->Commands[e].Default;
    if (const std::uint16_t ii = byName('I', 'I'))
        values_[ii] = 2408;
}

std::string EIController::label() const
{
    return "ei-controller@" + std::to_string(address_);
}

std::int32_t EIController::raw(std::uint16_t entry) const
{
    return entry < values_.size() ? values_[entry] : 0;
}

std::uint16_t EIController::byName(char c1, char c2, char channel) const
{
    for (std::uint16_t e = 1; e <= description_->Count; ++e) {
        const TCommands& c = description_->Commands[e];
        if (c.Code1 == static_cast<std::uint8_t>(c1) && c.Code2 == static_cast<std::uint8_t>(c2)
            && c.Code3 == static_cast<std::uint8_t>(channel))
            return e;
    }
    return 0;
}

std::uint16_t EIController::find(char c1, char c2, char channel) const
{
    return byName(c1, c2, channel);
}

std::optional<Reply> EIController::respond(std::string_view request, SimTime now)
{
    const char g = static_cast<char>('0' + address_ / 10);
    const char u = static_cast<char>('0' + address_ % 10);
    if (request.size() < 8 || request[0] != kEot || request[1] != g || request[2] != g
        || request[3] != u || request[4] != u)
        return std::nullopt;
    advance(now);
    std::string_view body = request.substr(5);
    if (body.front() == kStx) {
        // Selection: STX [channel] mnemonic data ETX BCC.
        const std::size_t etx = body.find(kEtx);
        if (etx == std::string_view::npos || etx + 2 != body.size()
            || bcc(body.substr(1, etx)) != body[etx + 1])
            return Reply{std::string(1, kNak)};
        std::string_view inner = body.substr(1, etx - 1);
        char channel = kNoChannel;
        if (!inner.empty() && inner.front() >= '1' && inner.front() <= '9') {
            channel = inner.front();
            inner.remove_prefix(1);
        }
        if (inner.size() < 2)
            return Reply{std::string(1, kNak)};
        const std::uint16_t e = find(inner[0], inner[1], channel);
        const bool ok = e != 0 && select(e, inner.substr(2));
        return Reply{std::string(1, ok ? kAck : kNak)};
    }
    // Poll: [channel] mnemonic ENQ.
    if (body.back() != kEnq || (body.size() != 3 && body.size() != 4))
        return Reply{std::string(1, kEot)};
    const char channel = body.size() == 4 ? body[0] : kNoChannel;
    const std::string_view mnemonic = body.substr(body.size() - 3, 2);
    const std::uint16_t e = find(mnemonic[0], mnemonic[1], channel);
    if (e == 0 || description_->Commands[e].Access == kAccessWriteOnly)
        return Reply{std::string(1, kEot)};
    std::string block;
    if (channel != kNoChannel)
        block += channel;
    block += mnemonic;
    block += poll(e);
    block += kEtx;
    return Reply{std::string(1, kStx) + block + bcc(block)};
}

std::string EIController::poll(std::uint16_t entry) const
{
    const TCommands& c = description_->Commands[entry];
    const std::int32_t v = values_[entry];
    if (c.TypeCode != kTypeFixed)
        return std::to_string(v);
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(c.Decimals), v / scale(c));
    return text;
}

bool EIController::select(std::uint16_t entry, std::string_view data)
{
    const TCommands& c = description_->Commands[entry];
    if (c.Access == kAccessReadOnly)
        return false;
    while (!data.empty() && data.front() == ' ')
        data.remove_prefix(1);
    std::int32_t v = 0;
    if (c.TypeCode == kTypePickList) {
        const auto item = std::find(c.PickList.begin(), c.PickList.begin() + c.Max + 1, data);
        if (item != c.PickList.begin() + c.Max + 1) {
            v = static_cast<std::int32_t>(item - c.PickList.begin());
        } else if (std::from_chars(data.data(), data.data() + data.size(), v).ec != std::errc{}) {
            return false;
        }
    } else {
        double d = 0;
        const auto [end, ec] = std::from_chars(data.data(), data.data() + data.size(), d);
        if (ec != std::errc{} || end != data.data() + data.size())
            return false;
        v = static_cast<std::int32_t>(std::lround(d * scale(c)));
    }
    if (v < c.Min || v > c.Max)
        return false;
    values_[entry] = v;
    return true;
}

void EIController::advance(SimTime now)
{
    if (!started_) {
        started_ = true;
        now_ = now;
    }
    const std::uint16_t mode = byName('M', 'D');
    const std::uint16_t op = byName('O', 'P');
    const std::uint16_t pv = byName('P', 'V');
    const std::uint16_t pv2 = byName('P', 'V', '2');
    const std::uint16_t sl = byName('S', 'L');
    const std::uint16_t pb = byName('X', 'P');
    const std::uint16_t ti = byName('T', 'I');
    const std::uint16_t er = byName('E', 'R');
    const std::uint16_t ha = byName('H', 'A');
    const std::uint16_t la = byName('L', 'A');
    const double step = 0.1;
    // Integrate in fixed steps; after a long pause the process has long reached equilibrium.
    if (now - now_ > SimTime{600'000'000})
        now_ = now - SimTime{600'000'000};
    while ((now - now_).count() >= 100'000) {
        now_ += SimTime{100'000};
        double out = op ? values_[op] / 10.0 : 0.0;
        if (mode && values_[mode] == 0 && sl && pb) {
            const double gain = 100.0 / std::max(0.1, values_[pb] / 10.0);
            const double error = values_[sl] / 10.0 - pv_;
            const double tiSeconds = ti ? std::max(1, values_[ti]) : 240;
            integral_ = std::clamp(integral_ + gain * error * step / tiSeconds, 0.0, 100.0);
            out = std::clamp(gain * error + integral_, 0.0, 100.0);
            if (op)
                values_[op] = static_cast<std::int32_t>(std::lround(out * 10.0));
        }
        // The process: 20 C ambient plus one degree per percent of output, 5 s lag.
        pv_ += (20.0 + out - pv_) * step / 5.0;
    }
    if (pv)
        values_[pv] = static_cast<std::int32_t>(std::lround(pv_ * 10.0));
    if (pv2)
        values_[pv2] = static_cast<std::int32_t>(std::lround((pv_ * 0.9 + 2.0) * 10.0));
    if (er && pv) {
        values_[er] =
            (ha && values_[pv] > values_[ha] ? 1 : 0) | (la && values_[pv] < values_[la] ? 2 : 0);
    }
}

} // namespace quell::sim
