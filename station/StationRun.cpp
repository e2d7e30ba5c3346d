#include "station/StationRun.h"

#include "calibration/CalibrationRecipe.h"
#include "calibration/ScoreFile.h"
#include "client/ClientCommunications.h"
#include "database/RecordLayout.h"
#include "database/UBase.h"
#include "report/ReportPdf.h"
#include "view/UView.h"

#include <QTimer>

#include <cstdio>

namespace quell {

namespace {

// A step of --run: how it runs (exactly as its button does) and how its result is reported.
struct StationStep {
    const char* name;
    void (*run)(TFormView& view);
    StepReport (*report)(const QString& name, const TFormView& view);
};

StepReport calibrationResult(const QString& name, const TFormView& view)
{
    return StepReport::calibration(name, view.runs().outcome());
}

StepReport testResult(const QString& name, const TFormView& view)
{
    return StepReport::test(name, view.testRuns().outcome());
}

void printError(const QString& text)
{
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

// What "Save and Close" or "Load and Close" does on the board's record of one table, without the
// question; a failure's reason goes to standard error.
template <RecordStep Step> void recordStep(TFormView& view)
{
    TFormBase* base = view.formBase();
    if (base == nullptr)
        return;
    const RecordStepOutcome& outcome = base->runStep(Step, view.boardNumber(), view.opisText());
    if (!outcome.ok)
        printError(QStringLiteral("quellcal: ") + outcome.error);
}

StepReport recordResult(const QString& name, const TFormView& view)
{
    const TFormBase* base = view.formBase();
    return StepReport::record(name, base ? base->lastStep() : RecordStepOutcome{});
}

// Other kinds of steps join this table with a report of their own.
const StationStep kSteps[] = {
    {"calibrate", [](TFormView& view) { view.ButtonAllClick(); }, calibrationResult},
    {"calibrate-temp1", [](TFormView& view) { view.ButtonIndexClickK(kTagTemp1); },
     calibrationResult},
    {"calibrate-temp2", [](TFormView& view) { view.ButtonIndexClickK(kTagTemp2); },
     calibrationResult},
    {"calibrate-emc1", [](TFormView& view) { view.ButtonIndexClickK(kTagEmc1); },
     calibrationResult},
    {"calibrate-emc2", [](TFormView& view) { view.ButtonIndexClickK(kTagEmc2); },
     calibrationResult},
    {"calibrate-drvo", [](TFormView& view) { view.ButtonIndexClickK(kTagWood); },
     calibrationResult},
    {"test", [](TFormView& view) { view.ButtonTestAllClick(); }, testResult},
    {"test-temp1", [](TFormView& view) { view.ButtonIndexClick(kTagTestTemp1); }, testResult},
    {"test-temp2", [](TFormView& view) { view.ButtonIndexClick(kTagTestTemp2); }, testResult},
    {"test-emc1", [](TFormView& view) { view.ButtonIndexClick(kTagTestEmc1); }, testResult},
    {"test-emc2", [](TFormView& view) { view.ButtonIndexClick(kTagTestEmc2); }, testResult},
    {"test-drvo", [](TFormView& view) { view.ButtonIndexClick(kTagTestWood); }, testResult},
    {"test-drvo-sve", [](TFormView& view) { view.ButtonIndexClick(kTagTestWoodAll); }, testResult},
    {"save-product", recordStep<RecordStep::SaveProduct>, recordResult},
    {"save-test", recordStep<RecordStep::SaveTest>, recordResult},
    {"load-product", recordStep<RecordStep::LoadProduct>, recordResult},
    {"load-test", recordStep<RecordStep::LoadTest>, recordResult},
};

const StationStep* findStep(const QString& name)
{
    for (const StationStep& step : kSteps) {
        if (name == QLatin1String(step.name))
            return &step;
    }
    return nullptr;
}

// How long the steps wait for the first reading of the entries they start from.
constexpr int kFirstReadWaitMs = 10000;

} // namespace

StationRun::StationRun(TClientMain& window, TFormView& view, StationCommandLine line,
                       QObject* parent)
    : QObject(parent), window_(window), view_(view), line_(std::move(line)),
      connectTimer_(new QTimer(this)), firstReadTimer_(new QTimer(this))
{
    // A station follows the run on standard error while standard output keeps the summary.
    view_.setLogEcho(printError);
    connectTimer_->setSingleShot(true);
    connectTimer_->setInterval(StationCommandLine::kConnectWaitSeconds * 1000);
    connect(connectTimer_, &QTimer::timeout, this, [this] {
        printError(QStringLiteral("quellcal: no connection to the communication server within "
                                  "%1 s")
                       .arg(StationCommandLine::kConnectWaitSeconds));
        writeReport();
        finish();
    });
    firstReadTimer_->setSingleShot(true);
    firstReadTimer_->setInterval(kFirstReadWaitMs);
    connect(firstReadTimer_, &QTimer::timeout, this, [this] {
        printError(QStringLiteral("quellcal: %1 entries were not read within %2 s; the steps start "
                                  "from what the table holds")
                       .arg(unread_.size())
                       .arg(kFirstReadWaitMs / 1000));
        unread_.clear();
        answersApplied({});
    });
    connect(&window_, &TClientMain::formClosed, this, &StationRun::windowClosed);
}

QStringList StationRun::stepNames()
{
    QStringList names;
    for (const StationStep& step : kSteps)
        names << QLatin1String(step.name);
    return names;
}

void StationRun::applyChoices(TFormView& view, const StationCommandLine& line)
{
    if (line.method)
        view.setMethod(*line.method);
    if (line.board)
        view.setBoardNumber(*line.board);
}

void StationRun::start()
{
    QTimer::singleShot(0, this, &StationRun::begin);
}

void StationRun::begin()
{
    if (closed_)
        return;
    board_ = view_.boardNumber();
    // Whoever looks at the station sees the run's points, log and progress.
    view_.showPage(2);
    method_ = StationCommandLine::methodName(view_.method());
    LinkController& link = window_.link();
    connect(&link, &LinkController::stateChanged, this, &StationRun::linkStateChanged);
    if (!window_.Started())
        window_.MStartStopClick();
    if (link.linkState() == LinkState::Connected)
        linkStateChanged(LinkState::Connected);
    else
        connectTimer_->start();
}

void StationRun::linkStateChanged(LinkState state)
{
    if (state != LinkState::Connected || connected_ || closed_)
        return;
    connected_ = true;
    connectTimer_->stop();
    unread_.clear();
    for (int row = 0; row < kRecipeRows; ++row)
        for (int column = 1; column <= kRecipeSteps; ++column) {
            const TCalib& step = recipeStep(row, column);
            if (step.CalEntry != 0)
                unread_.insert(step.CalEntry);
            unread_.insert(step.FilterEntry);
        }
    unread_.insert(kSwapPeriodEntry);
    // A product record holds the board's configured parameters: they are saved as read.
    if (line_.steps.contains(QStringLiteral("save-product")))
        for (const int entry : records::productEntries())
            unread_.insert(static_cast<std::uint16_t>(entry));
    connect(&window_.link(), &LinkController::answerApplied, this,
            [this](const AnswerEffects& effects) { answersApplied(effects.answeredEntries); });
    // Entries the description never polls would hold the run for ever: it goes ahead after a
    // while with what the table has.
    firstReadTimer_->start();
}

void StationRun::answersApplied(const std::vector<std::uint16_t>& answered)
{
    for (const std::uint16_t entry : answered)
        unread_.erase(entry);
    if (unread_.empty() && !stepsStarted_) {
        stepsStarted_ = true;
        firstReadTimer_->stop();
        // The steps wait for the board in event loops of their own; they start once the link
        // has finished applying this answer.
        QTimer::singleShot(0, this, &StationRun::runSteps);
    }
}

void StationRun::windowClosed()
{
    closed_ = true;
    connectTimer_->stop();
    firstReadTimer_->stop();
}

void StationRun::runSteps()
{
    for (const QString& name : line_.steps) {
        // A close during the last step waits for it to clean up and then goes ahead: no step
        // starts after it.
        if (closed_ || view_.closeHeld())
            break;
        const StationStep* step = findStep(name);
        if (step == nullptr)
            break;
        step->run(view_);
        StepReport result = step->report(name, view_);
        if (closed_ || view_.closeHeld())
            result.ok = false;
        steps_.push_back(std::move(result));
    }
    writeRecord();
    writeReport();
    finish();
}

void StationRun::writeRecord()
{
    if (line_.record.isEmpty())
        return;
    // Whatever the steps found is written, also after a failed or interrupted one: the file is
    // the record of this board's test.
    const CalibrationStation& station = view_.station();
    QString error;
    recordWritten_ = WriteScore(line_.record, station.TestPoints, station.TestRecordBytes, error);
    if (!recordWritten_)
        printError(QStringLiteral("quellcal: ") + error);
}

void StationRun::writeReport()
{
    if (line_.report.isEmpty())
        return;
    // Written whatever the steps found, also after a failed one: the report says what failed.
    ReportInputs inputs = view_.reportInputs();
    if (!connected_)
        inputs.failures << QStringLiteral("Nema veze sa komunikacionim serverom: nijedan korak "
                                          "nije pokrenut");
    for (qsizetype i = 0; connected_ && i < line_.steps.size(); ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (k >= steps_.size())
            inputs.failures << QStringLiteral("Korak %1 nije pokrenut").arg(line_.steps[i]);
        else if (!steps_[k].ok)
            inputs.failures << QStringLiteral("Korak %1 nije uspeo").arg(line_.steps[i]);
    }
    QString error;
    reportWritten_ = WriteReportPdf(makeBoardReport(inputs), line_.report, error);
    if (!reportWritten_)
        printError(QStringLiteral("quellcal: ") + error);
}

void StationRun::finish()
{
    // A close held back by a step is already on its way; closing again would save twice.
    if (!closed_ && !view_.closeHeld())
        window_.close();
}

RunReport StationRun::report() const
{
    RunReport report;
    report.ok = exitStatus() == StationExit::Ok;
    report.board = board_;
    report.method = method_;
    report.log = view_.savedLogPath();
    report.steps = steps_;
    if (reportWritten_)
        report.report = line_.report;
    return report;
}

StationExit StationRun::exitStatus() const
{
    if (!connected_)
        return StationExit::NoConnection;
    bool ok = steps_.size() == static_cast<std::size_t>(line_.steps.size())
              && (line_.record.isEmpty() || recordWritten_)
              && (line_.report.isEmpty() || reportWritten_);
    for (const StepReport& step : steps_)
        ok = ok && step.passed();
    return ok ? StationExit::Ok : StationExit::StepFailed;
}

} // namespace quell
