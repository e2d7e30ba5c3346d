// Testing from the page "Kalibracija" against quellgw with a simulated board in its calibrator:
// a channel calibrated through its button passes its test, and a channel whose constants were
// spoiled after its calibration is measured at every point but judged outside its limits.

#include "calibration/BoardPrimitives.h"
#include "calibration/CalibrationRecipe.h"
#include "client/ClientCommunications.h"
#include "client/RequestScheduler.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/SimulatedGateway.h"
#include "view/KalibracijaPage.h"
#include "view/UView.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace quell {
namespace {

constexpr int kWaitMs = 15000;

class TestingOnTheSimulator : public ::testing::Test {
protected:
    void SetUp() override
    {
        cwd_ = QDir::currentPath();
        ASSERT_TRUE(gateway_.start(QStringLiteral(QUELLGW_PATH), {QStringLiteral("vrq-pb@1")}))
            << gateway_.error().toStdString();
        const QString settings = dir_.filePath(QStringLiteral("quellcal.cli"));
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write(QStringLiteral("[Socket]\nHost=127.0.0.1\nPort=%1\n[Comm]\nMaxPacket=8\n"
                                  "[Protocol]\nFile=%2/vrq-pb.var\nAddress=1\n[Action]\nStart=1\n"
                                  "[View]\nVisible=1\n")
                       .arg(gateway_.port())
                       .arg(QStringLiteral(QUELL_EXAMPLES_DIR))
                       .toUtf8());
        file.close();
        main_ = std::make_unique<TClientMain>();
        main_->FormCreate({QStringLiteral("quellcal"), settings});
        view_ = std::make_unique<TFormView>(main_->link(), *main_);
        view_->FormCreate();
        main_->setViewLink(view_.get());
        ASSERT_TRUE(main_->Started()) << dialogs_.texts().join('\n').toStdString();
        // The constants, filters and swap period the runs start from.
        std::set<std::uint16_t> entries{kSwapPeriodEntry};
        for (const int row : {kRowEmc1, kRowEmc2})
            for (int k = 1; k <= kCalPoints; ++k) {
                entries.insert(recipeStep(row, k).CalEntry);
                entries.insert(recipeStep(row, k).FilterEntry);
            }
        ASSERT_TRUE(answered(entries));
        // The swap cycle at its quickest (300 ms), so that a swap-waited point is quick.
        view_->kalibracijaPage()->testSwap()->setChecked(true);
    }

    void TearDown() override
    {
        view_.reset();
        main_.reset();
        gateway_.stop();
        QDir::setCurrent(cwd_);
    }

    std::int16_t value(std::uint16_t entry) const
    {
        return main_->scheduler().withTable(
            [entry](const TProtocol& t) { return t.Commands[entry].Value; });
    }

    // Waits until the board has answered for every one of entries.
    bool answered(std::set<std::uint16_t> entries)
    {
        const auto connection = QObject::connect(
            &main_->link(), &LinkController::answerApplied, [&](const AnswerEffects& effects) {
                for (const std::uint16_t e : effects.answeredEntries)
                    entries.erase(e);
            });
        const bool done = QTest::qWaitFor([&] { return entries.empty(); }, kWaitMs);
        QObject::disconnect(connection);
        return done;
    }

    QString log() const { return view_->station().runLog()->lines().join('\n'); }

    // The lines the last test of a channel logged, from its header on.
    QStringList testLines(const QString& channel) const
    {
        const QStringList lines = view_->station().runLog()->lines();
        const qsizetype start = lines.lastIndexOf(QStringLiteral("Testiranje - ") + channel);
        return start < 0 ? QStringList() : lines.mid(start);
    }

    QTemporaryDir dir_;
    RecordingDialogs dialogs_;
    testsupport::SimulatedGateway gateway_;
    std::unique_ptr<TClientMain> main_;
    std::unique_ptr<TFormView> view_;

private:
    QString cwd_;
};

TEST_F(TestingOnTheSimulator, ACalibratedChannelIsMeasuredAtEveryPointAndPasses)
{
    view_->ButtonIndexClickK(kTagEmc1);
    ASSERT_TRUE(view_->runs().outcome().ok) << log().toStdString();

    view_->ButtonIndexClick(kTagTestEmc1);
    const TestOutcome& outcome = view_->testRuns().outcome();
    ASSERT_EQ(outcome.channels.size(), 1U);
    const TestChannelOutcome& channel = outcome.channels.front();
    EXPECT_EQ(channel.name, "EMC 1");
    EXPECT_TRUE(channel.ok);
    EXPECT_TRUE(channel.pass) << log().toStdString();
    EXPECT_TRUE(outcome.ok && outcome.pass);
    const QStringList lines = testLines(QStringLiteral("EMC 1"));
    EXPECT_TRUE(lines.contains(QStringLiteral("- OK"))) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("- ocena: ispravno")))
        << lines.join('\n').toStdString();
    for (const TestPointOutcome& point : channel.points) {
        EXPECT_TRUE(point.done) << point.point;
        EXPECT_TRUE(point.within) << point.point << ": " << point.measured << " for "
                                  << point.expected;
    }
    // The window's results are what the outcome reports.
    for (int k = 1; k <= kTestPointsPerRow; ++k)
        EXPECT_EQ(view_->testPoints()[kRowEmc1][static_cast<std::size_t>(k - 1)].New,
                  channel.points[static_cast<std::size_t>(k - 1)].measured)
            << k;
    EXPECT_FALSE(view_->testRuns().running());
    EXPECT_TRUE(view_->kalibracijaPage()->testButton(0)->isEnabled());
}

TEST_F(TestingOnTheSimulator, ConstantsSpoiledAfterTheCalibrationAreMeasuredButJudgedOutside)
{
    view_->ButtonIndexClickK(kTagEmc2);
    ASSERT_TRUE(view_->runs().outcome().ok) << log().toStdString();

    // Every constant of EMC 2 ten per cent off what the calibration found.
    std::set<std::uint16_t> spoiled;
    std::map<std::uint16_t, std::int16_t> wrong;
    for (int k = 1; k <= kCalPoints; ++k) {
        const std::uint16_t entry = recipeStep(kRowEmc2, k).CalEntry;
        wrong[entry] = static_cast<std::int16_t>(std::lround(value(entry) * 1.1));
        // As the calibration writes a constant: the entry's text has one decimal.
        ASSERT_TRUE(
            main_->WriteParameter(entry, QString::fromStdString(constantText(wrong[entry]))));
        spoiled.insert(entry);
    }
    ASSERT_TRUE(answered(spoiled));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const auto& [entry, constant] : wrong)
                if (value(entry) != constant)
                    return false;
            return true;
        },
        kWaitMs));

    view_->ButtonIndexClick(kTagTestEmc2);
    const TestOutcome& outcome = view_->testRuns().outcome();
    ASSERT_EQ(outcome.channels.size(), 1U);
    const TestChannelOutcome& channel = outcome.channels.front();
    EXPECT_EQ(channel.name, "EMC 2");
    EXPECT_TRUE(channel.ok) << "every point measured";
    EXPECT_FALSE(channel.pass);
    EXPECT_TRUE(outcome.ok);
    EXPECT_FALSE(outcome.pass);
    const QStringList lines = testLines(QStringLiteral("EMC 2"));
    EXPECT_TRUE(lines.contains(QStringLiteral("- OK"))) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.filter(QStringLiteral("- ocena: van granica")).size() == 1)
        << lines.join('\n').toStdString();
    int outside = 0;
    for (const TestPointOutcome& point : channel.points) {
        EXPECT_TRUE(point.done) << point.point;
        outside += point.within ? 0 : 1;
    }
    EXPECT_GE(outside, 4) << "the constants are off everywhere";
}

TEST_F(TestingOnTheSimulator, ClosingDuringATestEndsItCleanlyAndThenCloses)
{
    bool closed = false;
    QObject::connect(main_.get(), &TClientMain::formClosed, [&] { closed = true; });
    // The close box while a point of EMC 1 is being measured: the test ends as after Stop,
    // restores what it changed and only then lets the program close.
    QTimer::singleShot(1500, main_.get(), [this] { main_->close(); });
    view_->ButtonIndexClick(kTagTestEmc1);
    EXPECT_TRUE(view_->closeHeld());
    EXPECT_FALSE(view_->testRuns().outcome().ok);
    EXPECT_FALSE(view_->testRuns().outcome().pass);
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed; }, kWaitMs));
    const QStringList lines = testLines(QStringLiteral("EMC 1"));
    EXPECT_TRUE(lines.contains(QStringLiteral("- filter: 8"))) << lines.join('\n').toStdString();
    EXPECT_LT(lines.filter(QStringLiteral("- tačka: ")).size(), 9) << "the points after the close";
}

} // namespace
} // namespace quell
