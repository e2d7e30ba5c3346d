#include "sim/VrqCompactBoard.h"

#include "protocol/NumberText.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quell::sim {

namespace {

constexpr SimTime kSamplePeriod{100'000};

std::uint8_t typeOf(const std::string& word)
{
    switch (word.empty() ? 'd' : word.back()) {
    case 'f':
        return kTypeFixed;
    case 's':
        return kTypePickList;
    case 'u':
        return kTypeUnsigned;
    case 'x':
        return kTypeBcd;
    case 'v':
        return kTypeBitFields;
    case 'a':
        return kTypeIndex;
    default:
        return kTypeDecimal;
    }
}

// The sensors the inputs see: EMC probes as log10 of ohms, temperatures in C, wood probes too.
constexpr double kEmcLog[2] = {9.3, 8.1};
constexpr double kTemp[2] = {21.5, 23.0};
constexpr double kWoodLog[8] = {6.2, 7.0, 7.7, 8.4, 9.1, 9.8, 10.4, 11.0};
constexpr double kEmcTable[8] = {4200, 3500, 2800, 2100, 1700, 1350, 1080, 740};
constexpr double kWoodTable[8] = {9820, 5430, 2880, 2230, 1830, 1480, 1190, 880};

double lookup(const double (&t)[8], double logR)
{
    const double x = std::clamp(logR - 4.0, 0.0, 6.999);
    const int i = static_cast<int>(x);
    return t[i] + (t[i + 1] - t[i]) * (x - i);
}

} // namespace

std::shared_ptr<const TProtocol> VrqCompactBoard::loadDescription(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw std::runtime_error(fileName + ": cannot be read");
    auto t = std::make_shared<TProtocol>();
    t->Kind = kKindKestavin;
    std::string line;
    while (std::getline(in, line) && t->Count < 255) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (TProtocol::IsCommentLine(line))
            continue;
        int at = 1;
        if (TProtocol::NextToken(line, at).Text != "VAR")
            continue;
        std::vector<std::string> f;
        for (TToken tok = TProtocol::NextToken(line, at); tok.Found && !tok.Text.empty();
             tok = TProtocol::NextToken(line, at))
            f.push_back(tok.Text);
        if (f.size() < 10)
            throw std::runtime_error(fileName + ": a VAR line has fewer than 10 fields");
        TCommands& c = t->Commands[++t->Count];
        c.Name = f[0];
        c.Access = f[2] == "rw"   ? kAccessReadWrite
                   : f[2] == "wo" ? kAccessWriteOnly
                                  : kAccessReadOnly;
        c.Min = static_cast<std::int16_t>(parseInteger(f[3]));
        c.Max = static_cast<std::int16_t>(parseInteger(f[4]));
        c.Default = static_cast<std::int16_t>(parseInteger(f[5]));
        c.Code1 = c.Code2 = static_cast<std::uint8_t>(parseInteger(f[6]));
        c.Code3 = static_cast<std::uint8_t>(parseInteger(f[7]));
        c.Offset = static_cast<std::int8_t>(parseInteger(f[8]));
        c.TypeCode = typeOf(f[9]);
        for (std::size_t i = 10; i < f.size() && i - 10 < c.PickList.size(); ++i)
            c.PickList[i - 10] = f[i];
    }
    if (t->Count == 0)
        throw std::runtime_error(fileName + ": no parameters loaded");
    return t;
}

VrqCompactBoard::VrqCompactBoard(std::shared_ptr<const TProtocol> description, std::uint8_t address)
    : KestavinDevice("vrq-compact", std::move(description), address)
{
    rawRef(1) = 0x5A02;
    rawRef(2) = 0x0103;
}

void VrqCompactBoard::advance(SimTime now)
{
    if (!started_) {
        started_ = true;
        now_ = now - kSamplePeriod;
    }
    if (now - now_ > 100 * kSamplePeriod)
        now_ = now - 100 * kSamplePeriod;
    while (now - now_ >= kSamplePeriod) {
        now_ += kSamplePeriod;
        sample();
    }
}

void VrqCompactBoard::sample()
{
    std::uniform_real_distribution<double> jitter(-2.0, 2.0);
    auto raw = [this](int e) {
        return static_cast<double>(this->raw(static_cast<std::uint16_t>(e)));
    };
    auto set = [this](int e, double v) {
        rawRef(static_cast<std::uint16_t>(e)) = static_cast<std::int32_t>(std::lround(v));
    };
    // Lin channels 0..3 and REF (5), GND (6): voltage in 0.1 mV, ADC counts 0..32767 for 0..3 V.
    const double volts[7] = {2600.0 - 300.0 * (kEmcLog[0] - 4.0),
                             1000.0 + 8.0 * kTemp[0],
                             2600.0 - 300.0 * (kEmcLog[1] - 4.0),
                             1000.0 + 8.0 * kTemp[1],
                             0.0,
                             2500.0,
                             3.0};
    for (int c : {0, 1, 2, 3, 5, 6}) {
        const double u = 10.0 * volts[c] + jitter(noise_);
        set(43 + c, u);
        set(33 + c, u * 32767.0 / 30000.0);
        set(57 + c, std::abs(jitter(noise_)));
    }
    // Values through the two-point constants: ground and reference ADC counts.
    for (int c = 0; c < 4; ++c) {
        const double gnd = raw(3 + c);
        const double ref = std::max(gnd + 1.0, raw(7 + c));
        const double u = 2500.0 * (raw(33 + c) - gnd) / (ref - gnd); // mV as the board sees it
        if (c % 2 == 0)
            set(66 + c, lookup(kEmcTable, 4.0 + (2600.0 - u) / 300.0));
        else
            set(66 + c, 100.0 * (u - 1000.0) / 8.0);
    }
    set(64, 0x6F);
    set(65, 0);
    set(70, 0x0F);
    set(71, 0);
    set(40, 0);
    // Wood: one swap cycle a second; the inputs present per the configuration bit 4 (MC7, MC8).
    const long long cycle = now_.count() / 1'000'000;
    const int phase = static_cast<int>(now_.count() / 100'000 % 10);
    set(41, phase < 4 ? 0 : phase < 8 ? 1 : 2);
    if (cycle != cycles_) {
        cycles_ = cycle;
        set(90, static_cast<double>(cycle % 32768));
        const int inputs = (static_cast<int>(raw(32)) & 0x10) ? 8 : 6;
        int done = 0;
        for (int i = 0; i < inputs; ++i) {
            const double u = 10.0 * (2800.0 - 280.0 * (kWoodLog[i] - 4.0)) + jitter(noise_);
            set(72 + i, u);
            set(80 + i, std::abs(jitter(noise_)));
            const double nominal = 10.0 * (2800.0 - 280.0 * i);
            const double corrected = u * nominal / std::max(1.0, raw(11 + i)) / 10.0;
            double mc = lookup(kWoodTable, 4.0 + (2800.0 - corrected) / 280.0);
            mc *= std::max(0.1, 1.0 - 0.006 * raw(109) / 10.0);
            set(91 + i, std::clamp(mc, 0.0, 10000.0));
            if ((static_cast<int>(raw(101 + i)) & 0xFF) != 0x80)
                done |= 1 << i;
        }
        set(88, done);
        set(89, 0);
        set(99, done);
        set(100, 0);
    }
}

} // namespace quell::sim
