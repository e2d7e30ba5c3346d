#include "report/BoardReport.h"

#include "calibration/CalibrationRecipe.h"
#include "calibration/ScoreFile.h"
#include "client/IniFile.h"
#include "report/StationIdentity.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace quell {

namespace {

// The channels in the order of "Rezultat", with the recipe row tested and the row calibrated
// (the wood rows share one calibration, by either wood row; "Drvo sve" has none of its own).
struct ReportChannel {
    const char* name;
    int testRow;
    int calibrationRow;
};
constexpr std::array<ReportChannel, 6> kChannels = {{
    {"Temp 1", kRowTemp1, kRowTemp1},
    {"Temp 2", kRowTemp2, kRowTemp2},
    {"EMC 1", kRowEmc1, kRowEmc1},
    {"EMC 2", kRowEmc2, kRowEmc2},
    {"Drvo", kRowWood, kRowWood},
    {"Drvo sve", kRowWoodAll, -1},
}};

QString label(int row, int point)
{
    const std::string_view text = testPointLabel(row, point);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString fixed(double value, int decimals)
{
    // No "-0.00": a value that rounds to zero has no sign.
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && text.mid(1).remove(u'0').remove(u'.').isEmpty())
        text.remove(0, 1);
    return text;
}

// "tačka 3" or "tačke 3, 7".
QString pointList(const QStringList& points)
{
    return (points.size() == 1 ? QStringLiteral("tačka ") : QStringLiteral("tačke "))
           + points.join(QStringLiteral(", "));
}

// A calibration constant as the board shows it: tenths.
QString constantText(int raw)
{
    return fixed(raw / 10.0, 1);
}

const ChannelOutcome* calibrationOf(const std::vector<ChannelOutcome>& calibration, int row)
{
    // The deep wood run calibrates the wood inputs under the row of its own.
    const auto found =
        std::find_if(calibration.rbegin(), calibration.rend(), [row](const ChannelOutcome& c) {
            return c.row == row || (row == kRowWood && c.row == kRowWoodDeep);
        });
    return found == calibration.rend() ? nullptr : &*found;
}

CalibrationSection calibrationSection(const ChannelOutcome& outcome, const QString& channel)
{
    CalibrationSection section;
    section.row = outcome.row;
    section.channel = channel;
    QStringList failed;
    for (const PointOutcome& p : outcome.points) {
        CalibrationLine line;
        line.point = p.point;
        line.label = label(outcome.row, p.point);
        // A measured point's old constant counts as at least 1: both 0 means the run left it.
        const bool untouched = p.done && p.old == 0 && p.now == 0;
        line.asFound = untouched ? QStringLiteral("–") : constantText(p.old);
        line.asLeft = untouched ? QStringLiteral("–") : constantText(p.now);
        line.deviation = untouched ? QStringLiteral("–") : fixed(p.deviation, 3) + " %";
        line.failed = !p.done;
        line.verdict = untouched ? QStringLiteral("nije mereno")
                       : p.done  ? QStringLiteral("ispravno")
                                 : QStringLiteral("greška");
        if (line.failed)
            failed << QString::number(p.point);
        section.lines.push_back(line);
    }
    section.ok = outcome.ok && failed.isEmpty();
    if (section.ok)
        section.verdict = QStringLiteral("ispravno");
    else if (!failed.isEmpty())
        section.verdict = QStringLiteral("greška (") + pointList(failed) + u')';
    else
        section.verdict = QStringLiteral("greška: kanal nije kalibrisan do kraja");
    return section;
}

TestSection testSection(const ReportInputs& inputs, int row, const QString& channel)
{
    TestSection section;
    section.row = row;
    section.channel = channel;
    const bool temperature = limitKind(row) == LimitKind::Temperature;
    section.unit = temperature ? QStringLiteral("°C") : QStringLiteral("%");
    double limit = inputs.limits.wood;
    if (temperature)
        limit = inputs.limits.temperature;
    else if (limitKind(row) == LimitKind::Emc)
        limit = inputs.limits.emc;
    section.note = temperature
                       ? QStringLiteral("Vrednosti u °C; odstupanje = očekivano − izmereno, u °C.")
                       : QStringLiteral("Vrednosti u %; odstupanje = (očekivano − izmereno) / "
                                        "očekivano, u % očekivane vrednosti.");
    const QString limitText = u'±' + fixed(limit, 2) + u' ' + section.unit;

    TTestPoints points = inputs.testPoints;
    TestResultChart model; // "Line": measured against expected
    section.chart = model.ShowTestResult(points, row, inputs.limits);

    QStringList outside;
    QStringList unmeasured;
    for (int k = 1; k <= kTestPointsPerRow; ++k) {
        const TPointResult& q =
            points[static_cast<std::size_t>(row)][static_cast<std::size_t>(k - 1)];
        TestLine line;
        line.point = k;
        line.label = label(row, k);
        line.expected = fixed(q.Expected / 100.0, 2);
        line.limit = limitText;
        line.measuredPoint = q.Done != 0;
        if (!line.measuredPoint) {
            line.measured = QStringLiteral("–");
            line.deviation = QStringLiteral("–");
            line.verdict = QStringLiteral("nije mereno");
            unmeasured << QString::number(k);
        } else {
            line.measured = fixed(q.New / 100.0, 2);
            line.deviation = temperature ? fixed((q.Expected - q.New) / 100.0, 2) + " °C"
                                         : fixed(testDeviation(q.Expected, q.New), 2) + " %";
            line.outside = !withinLimits(row, q, inputs.limits);
            line.verdict =
                line.outside ? QStringLiteral("VAN GRANICA") : QStringLiteral("u granicama");
            // The channel's value error flags, which the limits do not judge.
            const int flags = static_cast<std::uint16_t>(q.Old) & 0xFF;
            if (flags != 0)
                line.verdict += QStringLiteral(", zastavice 0x") + QString::number(flags, 16);
            if (line.outside)
                outside << QString::number(k);
        }
        section.lines.push_back(line);
    }
    section.pass = outside.isEmpty() && unmeasured.isEmpty();
    QStringList findings;
    if (!outside.isEmpty())
        findings << QStringLiteral("van granica (") + pointList(outside) + u')';
    if (!unmeasured.isEmpty())
        findings << QStringLiteral("nije mereno (") + pointList(unmeasured) + u')';
    section.verdict =
        findings.isEmpty() ? QStringLiteral("ispravno") : findings.join(QStringLiteral(", "));
    return section;
}

bool anyMeasured(const TTestPoints& points, int row)
{
    const auto& line = points[static_cast<std::size_t>(row)];
    return std::any_of(line.begin(), line.end(), [](const TPointResult& p) { return p.Done != 0; });
}

} // namespace

BoardReport makeBoardReport(const ReportInputs& inputs)
{
    BoardReport report;
    report.title = QStringLiteral("Izveštaj o kalibraciji i testiranju VRQ-PB ploče");
    const auto orDash = [](const QString& text) {
        return text.trimmed().isEmpty() ? QStringLiteral("nije zadato") : text;
    };
    report.header = {
        {QStringLiteral("Ploča"), QString::number(inputs.board)},
        {QStringLiteral("Opis"), orDash(inputs.description)},
        {QStringLiteral("Datum i vreme"),
         inputs.time.toString(QStringLiteral("dd.MM.yyyy. HH:mm:ss"))},
        {QStringLiteral("Stanica"), orDash(inputs.identity.station)},
        {QStringLiteral("Tester"), orDash(inputs.identity.tester)},
        {QStringLiteral("Program"), orDash(inputs.program)},
        {QStringLiteral("Opis protokola"), orDash(inputs.descriptionFile)},
        {QStringLiteral("Rezultati testa"),
         inputs.testSource.isEmpty() ? QStringLiteral("nema") : inputs.testSource},
    };

    QStringList why;
    bool failed = false;
    bool untested = false;
    bool anything = false;
    for (const ReportChannel& c : kChannels) {
        const QString channel = QString::fromLatin1(c.name);
        QString calibrationText = QStringLiteral("nema sopstvenu (deli konstante kanala Drvo)");
        if (c.calibrationRow >= 0) {
            const ChannelOutcome* outcome = calibrationOf(inputs.calibration, c.calibrationRow);
            if (outcome == nullptr) {
                calibrationText = QStringLiteral("nije kalibrisan u ovom radu programa");
            } else {
                anything = true;
                CalibrationSection section = calibrationSection(*outcome, channel);
                calibrationText = section.verdict;
                if (!section.ok) {
                    failed = true;
                    why << QStringLiteral("Kalibracija ") + channel + QStringLiteral(": ")
                               + section.verdict;
                }
                report.calibration.push_back(std::move(section));
            }
        }
        QString testText = QStringLiteral("nije testiran");
        if (anyMeasured(inputs.testPoints, c.testRow)) {
            anything = true;
            TestSection section = testSection(inputs, c.testRow, channel);
            testText = section.verdict;
            if (!section.pass) {
                failed = true;
                why << QStringLiteral("Test ") + channel + QStringLiteral(": ") + section.verdict;
            }
            report.tests.push_back(std::move(section));
        } else {
            untested = true;
        }
        report.summary.push_back({channel, calibrationText, testText});
    }
    for (const QString& failure : inputs.failures) {
        failed = true;
        why << failure;
    }
    // The deviation is the run log's own: how far the constant found was from the one left,
    // relative to the one found.
    report.calibrationNote =
        report.calibration.empty()
            ? QStringLiteral("Kalibracija nije rađena u ovom radu programa: nema tabela konstanti.")
            : QStringLiteral("Konstante kalibracije; odstupanje = (zatečeno − ostavljeno) / "
                             "zatečeno, u %.");
    if (report.tests.empty())
        report.testNote = QStringLiteral("Nijedan kanal nije testiran: nema izmerenih tačaka.");
    else
        report.testNote =
            QStringLiteral("Rezultati testa: ")
            + (inputs.testSource.isEmpty() ? QStringLiteral("nepoznat izvor") : inputs.testSource)
            + u'.';

    if (failed) {
        report.verdict = ReportVerdict::Fail;
        report.verdictText = QStringLiteral("Ploča NIJE ispravna.");
    } else if (!anything) {
        report.verdict = ReportVerdict::None;
        report.verdictText = QStringLiteral("Nema ocene: ploča nije ni kalibrisana ni testirana.");
    } else if (untested) {
        report.verdict = ReportVerdict::Incomplete;
        report.verdictText = QStringLiteral("Ocena nije potpuna: nisu testirani svi kanali.");
        for (const auto& [channel, calibration, test] : report.summary)
            if (test == QLatin1String("nije testiran"))
                why << QStringLiteral("Test ") + channel + QStringLiteral(": nije testiran");
    } else {
        report.verdict = ReportVerdict::Pass;
        report.verdictText = QStringLiteral("Ploča je ispravna: svi kanali su u granicama.");
    }
    report.verdictWhy = why;
    return report;
}

ReportInputs startReportInputs(const QString& settingsFileName, int board, const QDateTime& time)
{
    ReportInputs inputs;
    inputs.board = board;
    inputs.time = time;
    inputs.identity = readStationIdentity(settingsFileName);
    inputs.program = QStringLiteral("quellcal " QUELL_VERSION);
    inputs.descriptionFile =
        IniFile(settingsFileName)
            .readString(QStringLiteral("Protocol"), QStringLiteral("File"), {});
    return inputs;
}

QString ProposedReportName(int boardNumber, const QDateTime& time)
{
    return QStringLiteral("VRQ-08_Report_") + QString::number(boardNumber) + u'_'
           + TimeStampText(time) + QStringLiteral(".pdf");
}

} // namespace quell
