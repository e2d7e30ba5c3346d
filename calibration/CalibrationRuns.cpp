#include "calibration/CalibrationRuns.h"

#include "calibration/CalibrationStation.h"
#include "protocol/UCommands.h"

#include <array>

namespace quell {

namespace {

using Paint = CalibrationHost::PointPaint;
using Method = CalibrationHost::Method;

// The filters the quick pass sets, in the order it sets and restores them.
constexpr std::array<std::uint16_t, 5> kQuickFilters{61, 63, 60, 62, 64};
// The analog rows the quick pass measures together.
constexpr std::array<int, 4> kAnalogRows{kRowEmc1, kRowTemp1, kRowEmc2, kRowTemp2};

QString decimal(long long value)
{
    return QString::number(value);
}

QString resultLine(std::int16_t old, std::int16_t now, double deviation)
{
    return QStringLiteral("- staro: ") + decimal(old) + QStringLiteral(", novo: ") + decimal(now)
           + QStringLiteral(", odstup: ") + QString::number(deviation, 'f', 4)
           + QStringLiteral(" %");
}

} // namespace

CalibrationRuns::CalibrationRuns(CalibrationStation& station) : station_(station), board_(station)
{
}

QString CalibrationRuns::elapsedText(std::chrono::steady_clock::duration elapsed)
{
    const long long seconds =
        std::max<long long>(0, std::chrono::duration_cast<std::chrono::seconds>(elapsed).count());
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void CalibrationRuns::log(const QString& line)
{
    station_.host().AddLogLine(line);
}

bool CalibrationRuns::running() const
{
    return station_.procedureRunning();
}

bool CalibrationRuns::beginProcedure()
{
    if (!board_.BeginProcedure())
        return false;
    outcome_ = {};
    return true;
}

void CalibrationRuns::endProcedure()
{
    board_.EndProcedure();
}

int CalibrationRuns::plannedPoints(int tag) const
{
    const CalibrationHost& host = station_.host();
    if (!host.channelChecked(tag))
        return 0;
    const int row = ProcedureTable[static_cast<std::size_t>(tag)].Row;
    int points = 0;
    for (int k = 1; k <= kCalPoints; ++k)
        if (recipeStep(row, k).CalEntry != 0 && host.pointChecked(row, k))
            ++points;
    // The deep wood run measures every checked input at each of the eight references.
    if (row == kRowWood && host.method() == Method::Deep)
        points *= kCalPoints;
    return points;
}

void CalibrationRuns::reportChannel(int row, const QString& channel, bool ok)
{
    ChannelOutcome result;
    result.row = row;
    result.name = channel;
    result.ok = ok;
    for (int k = 1; k <= kCalPoints; ++k) {
        if (recipeStep(row, k).CalEntry == 0)
            continue;
        const TPointResult& p = station_.calPoint(row, k);
        result.points.push_back({k, p.Done != 0, p.Old, p.New, p.Deviation});
    }
    outcome_.channels.push_back(std::move(result));
}

bool CalibrationRuns::CalibrateChannel(int row)
{
    CalibrationHost& host = station_.host();
    bool result = true;
    const TCalib& h = recipeStep(row, 1);
    const std::int16_t savedFilter = board_.entryValue(h.FilterEntry);
    if (!board_.TransactEntry(h.FilterEntry, true, "1")) {
        log(QStringLiteral("- greška filter ") + decimal(savedFilter));
        return false;
    }
    log(QStringLiteral("- filter: 1"));

    std::int16_t savedSwap = 0;
    if (host.swapPeriod() && h.SwapAllowed == 1) {
        savedSwap = board_.entryValue(kSwapPeriodEntry);
        if (host.method() == Method::Fast || host.method() == Method::Normal) {
            board_.TransactEntry(kSwapPeriodEntry, true, "3");
            log(QStringLiteral("- swap: 3"));
        } else {
            savedSwap = 0;
        }
    }

    station_.StopRequested = false;
    for (int k = 1; k <= kCalPoints; ++k) {
        const TCalib& s = recipeStep(row, k);
        bool pass = true;
        if (s.CalEntry != 0 && host.pointChecked(row, k)) {
            host.paintPoint(row, k, Paint::Working);
            log(QStringLiteral("- tačka: ") + decimal(k) + QStringLiteral(": ")
                + QStringLiteral("    merenje..."));
            if (board_.MeasurePoint(row, false, k, k)) {
                TPointResult& p = station_.calPoint(row, k);
                p.Deviation = deviationPercent(p.Old, p.New);
                log(resultLine(p.Old, p.New, p.Deviation));
                pass = board_.TransactEntry(s.CalEntry, true, constantText(p.New));
                log(pass ? QStringLiteral("- ok") : QStringLiteral("- greška !!! "));
            } else {
                pass = false;
            }
            host.paintPoint(row, k, pass ? Paint::Passed : Paint::Failed);
            board_.pointFinished(pass);
        }
        station_.calPoint(row, k).Done = pass ? 1 : 0;
        result = result && pass;
        if (station_.StopRequested)
            break;
    }

    if (savedSwap > 0) {
        board_.TransactEntry(kSwapPeriodEntry, true, std::to_string(savedSwap));
        log(QStringLiteral("- swap: ") + decimal(savedSwap));
    }
    board_.TransactEntry(h.FilterEntry, true, std::to_string(savedFilter));
    log(QStringLiteral("- filter: ") + decimal(savedFilter));
    return result;
}

bool CalibrationRuns::CalibrateChannelDeep(int row)
{
    CalibrationHost& host = station_.host();
    bool result = true;
    const TCalib& h = recipeStep(row, 1);
    const std::int16_t savedFilter = board_.entryValue(h.FilterEntry);
    if (!board_.TransactEntry(h.FilterEntry, true, "1")) {
        log(QStringLiteral("- greška filter") + decimal(savedFilter));
        return false;
    }
    log(QStringLiteral("- filter: 1"));
    station_.StopRequested = false;

    for (int j = 1; j <= kCalPoints; ++j) {
        const TCalib& reference = recipeStep(row, j);
        board_.progress().point = j;
        long long sum = 0;
        int passed = 0;
        // Every input measured at this reference starts from the reference's constant.
        const std::int16_t referenceOld = board_.entryValue(reference.CalEntry);
        if (board_.TransactEntry(kRouteResistorEntry, true, std::string(reference.SelectCode))) {
            for (int i = 1; i <= kCalPoints; ++i) {
                const TCalib& s = recipeStep(row, i);
                bool pass = true;
                if (s.CalEntry != 0 && host.pointChecked(row, i)) {
                    host.paintPoint(row, i, Paint::Working);
                    log(QStringLiteral("- tačka: ") + decimal(i) + QStringLiteral(": ")
                        + QStringLiteral("    merenje..."));
                    if (board_.MeasurePoint(row, false, j, i)) {
                        TPointResult& p = station_.calPoint(row, i);
                        p.Deviation = deviationPercent(p.Old, p.New);
                        log(resultLine(p.Old, p.New, p.Deviation));
                        sum += p.New;
                        ++passed;
                    } else {
                        pass = false;
                    }
                    host.paintPoint(row, i, pass ? Paint::Passed : Paint::Failed);
                    board_.pointFinished(pass);
                }
                station_.calPoint(row, i).Done = pass ? 1 : 0;
                result = result && pass;
                if (station_.StopRequested)
                    break;
            }
        }
        // The reference's constant is the mean of the inputs that agreed at it in this pass;
        // inputs not measured now hold readings of another reference and stay out of it.
        if (passed > 0) {
            const auto average = static_cast<std::int16_t>(sum / passed);
            std::int16_t old = referenceOld;
            const double deviation = deviationPercent(old, average);
            log(resultLine(old, average, deviation));
            const bool written =
                board_.TransactEntry(reference.CalEntry, true, constantText(average));
            log(written ? QStringLiteral("- ok") : QStringLiteral(" - greška !!! "));
        } else {
            log(QStringLiteral(" - greška !!! "));
        }
        if (station_.StopRequested)
            break;
    }

    board_.TransactEntry(kRouteResistorEntry, true, "0");
    board_.TransactEntry(h.FilterEntry, true, std::to_string(savedFilter));
    log(QStringLiteral("- filter: ") + decimal(savedFilter));
    return result;
}

bool CalibrationRuns::CalibrateQuick()
{
    CalibrationHost& host = station_.host();
    station_.StableDelta = station_.different();
    for (const int row : kAnalogRows)
        board_.ResetPointColors(row);

    const std::int16_t savedSwap = board_.entryValue(kSwapPeriodEntry);
    board_.TransactEntry(kSwapPeriodEntry, true, "3");
    std::array<std::int16_t, kQuickFilters.size()> savedFilters{};
    for (std::size_t f = 0; f < kQuickFilters.size(); ++f)
        savedFilters[f] = board_.entryValue(kQuickFilters[f]);
    for (const std::uint16_t filter : kQuickFilters)
        board_.TransactEntry(filter, true, "1");

    // Per row and point: measured in this pass, passed, the constant before, the reading.
    struct QuickPoint {
        bool measured = false;
        bool done = false;
        std::int16_t old = 0;
        std::int16_t now = 0;
    };
    std::array<std::array<QuickPoint, kCalPoints>, kRowWood + 1> points{};
    const auto takes = [&host](int row, int k) {
        return recipeStep(row, k).CalEntry != 0 && host.pointChecked(row, k);
    };
    // Reads the point's voltage and writes it as its constant, unless its flag says busy.
    const auto measure = [&](int row, int k, int busy) {
        const TCalib& s = recipeStep(row, k);
        QuickPoint& q = points[static_cast<std::size_t>(row)][static_cast<std::size_t>(k - 1)];
        q.measured = true;
        q.old = board_.entryValue(s.CalEntry);
        q.now = q.old;
        if ((busy & s.ReadyMask) == 0 && board_.TransactEntry(s.ValueEntry, false)) {
            q.now = board_.answeredValue();
            board_.TransactEntry(s.CalEntry, true, constantText(q.now));
            q.done = true;
        }
        host.paintPoint(row, k, q.done ? Paint::Passed : Paint::Failed);
        board_.pointFinished(q.done);
    };
    const auto readFlags = [this](std::uint16_t entry) {
        return board_.TransactEntry(entry, false)
                   ? static_cast<std::uint16_t>(board_.answeredValue()) & 0xFF
                   : 0xFF;
    };

    unsigned woodMask = 0;
    for (int k = 1; k <= kCalPoints; ++k) {
        if (takes(kRowWood, k)) {
            woodMask |= TProtocol::HexToWord(recipeStep(kRowWood, k).SelectCode);
            host.paintPoint(kRowWood, k, Paint::Working);
        }
    }
    board_.TransactEntry(recipeStep(kRowWood, 1).SelectEntry, true,
                         TProtocol::ByteToHex(static_cast<std::uint8_t>(woodMask)));

    for (int k = 1; k <= kCalPoints && !station_.StopRequested; ++k) {
        board_.progress().point = k;
        for (const int row : kAnalogRows) {
            if (takes(row, k)) {
                const TCalib& s = recipeStep(row, k);
                board_.TransactEntry(s.SelectEntry, true, std::string(s.SelectCode));
                host.paintPoint(row, k, Paint::Working);
            }
        }
        int state = 255;
        while (state != 2 && !station_.StopRequested && !board_.swapSilent())
            state = board_.PollMeasureStatus(state);
        if (state != 2)
            break; // stopped, or the board went silent: nothing more is measured
        const int busy = readFlags(kVoltageFlagsEntry);
        for (const int row : kAnalogRows)
            if (takes(row, k))
                measure(row, k, busy);
    }
    // The wood inputs have been on their references throughout; a stopped pass leaves them.
    if (!station_.StopRequested && !board_.swapSilent()) {
        const int busy = readFlags(kWoodFlagsEntry);
        for (int k = 1; k <= kCalPoints; ++k)
            if (takes(kRowWood, k))
                measure(kRowWood, k, busy);
    }

    for (std::size_t f = 0; f < kQuickFilters.size(); ++f)
        board_.TransactEntry(kQuickFilters[f], true, std::to_string(savedFilters[f]));
    board_.TransactEntry(kSwapPeriodEntry, true, std::to_string(savedSwap));

    // Every channel of the pass, ok exactly when each of its checked points passed.
    bool result = true;
    for (int row = kRowEmc1; row <= kRowWood; ++row) {
        ChannelOutcome channel;
        channel.row = row;
        for (int tag = 1; tag <= kLastCalibrationTag; ++tag)
            if (ProcedureTable[static_cast<std::size_t>(tag)].Row == row)
                channel.name =
                    recipeText(ProcedureTable[static_cast<std::size_t>(tag)].ChannelName);
        channel.ok = true;
        for (int k = 1; k <= kCalPoints; ++k) {
            if (!takes(row, k))
                continue;
            QuickPoint q = points[static_cast<std::size_t>(row)][static_cast<std::size_t>(k - 1)];
            if (!q.measured) {
                q.old = board_.entryValue(recipeStep(row, k).CalEntry);
                q.now = q.old;
            }
            channel.ok = channel.ok && q.done;
            std::int16_t old = q.old;
            const double deviation = deviationPercent(old, q.now);
            channel.points.push_back({k, q.done, q.old, q.now, deviation});
        }
        result = result && channel.ok;
        outcome_.channels.push_back(std::move(channel));
    }
    return result;
}

void CalibrationRuns::runChannel(int tag)
{
    CalibrationHost& host = station_.host();
    const TConfig& config = ProcedureTable[static_cast<std::size_t>(tag)];
    board_.ResetPointColors(config.Row);
    const Method method = host.method();
    const QString channel = board_.beginChannel(tag);

    if (host.channelChecked(tag)) {
        const auto start = station_.clock();
        station_.StopRequested = false;
        if (board_.DeselectAllPoints()) {
            if (config.Row == kRowWood) {
                const bool deep = method == Method::Deep;
                const int row = deep ? kRowWoodDeep : kRowWood;
                const bool ok = deep ? CalibrateChannelDeep(row) : CalibrateChannel(row);
                log(ok ? QStringLiteral("- ok") : QStringLiteral("- greška !!!"));
                reportChannel(row, channel, ok);
            } else {
                const bool ok = CalibrateChannel(config.Row);
                log(ok ? QStringLiteral("- OK") : QStringLiteral("- error !!!"));
                reportChannel(config.Row, channel, ok);
            }
        } else {
            reportChannel(config.Row, channel, false);
        }
        log(QStringLiteral("- trajanje : ") + elapsedText(station_.clock() - start));
    } else {
        log(QStringLiteral("- preskočeno"));
    }
    board_.DeselectAllPoints();
}

bool CalibrationRuns::ButtonIndexClickK(int tag)
{
    if (tag < 1 || tag > kLastCalibrationTag || !beginProcedure())
        return false;
    board_.progress().pointsPlanned = plannedPoints(tag);
    runChannel(tag);
    outcome_.ok = !station_.abandoned();
    for (const ChannelOutcome& channel : outcome_.channels)
        outcome_.ok = outcome_.ok && channel.ok;
    endProcedure();
    return true;
}

bool CalibrationRuns::ButtonAllClick()
{
    if (!beginProcedure())
        return false;
    CalibrationHost& host = station_.host();
    const Method method = host.method();
    const auto start = station_.clock();
    log(QStringLiteral("Start kalibracije VRQ-PB:") + decimal(host.boardNumber()));
    station_.StopRequested = false;
    bool ok = false;
    if (board_.DeselectAllPoints()) {
        if (method == Method::Fast) {
            log(QStringLiteral("- brzo"));
            int planned = 0;
            for (int row = kRowEmc1; row <= kRowWood; ++row)
                for (int k = 1; k <= kCalPoints; ++k)
                    if (recipeStep(row, k).CalEntry != 0 && host.pointChecked(row, k))
                        ++planned;
            board_.progress().pointsPlanned = planned;
            board_.progress().channel = QStringLiteral("Sve");
            ok = CalibrateQuick();
        } else {
            log(method == Method::Deep ? QStringLiteral("- duboko") : QStringLiteral("- normalno"));
            int planned = 0;
            for (int tag = 1; tag <= kLastCalibrationTag; ++tag)
                planned += plannedPoints(tag);
            board_.progress().pointsPlanned = planned;
            for (int tag = 1; tag <= kLastCalibrationTag && !station_.abandoned(); ++tag)
                runChannel(tag);
            ok = true;
            for (const ChannelOutcome& channel : outcome_.channels)
                ok = ok && channel.ok;
        }
    }
    log(QStringLiteral("- trajanje kalibracije: ") + elapsedText(station_.clock() - start));
    board_.DeselectAllPoints();
    outcome_.ok = ok && !station_.abandoned();
    endProcedure();
    return true;
}

} // namespace quell
