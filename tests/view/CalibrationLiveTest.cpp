// Calibration from the page "Kalibracija" against quellgw with a simulated board in its
// calibrator: the channel button's handler changes the board's constants, a second run finds
// them right, and closing the program in the middle of a run leaves the board as it was.

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
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>

namespace quell {
namespace {

constexpr int kWaitMs = 15000;

// A settings file for quellcal over the example description; port 0: no server.
QString writeSettings(const QTemporaryDir& dir, const QString& name, int port, bool start)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return {};
    file.write(QStringLiteral("[Socket]\nHost=127.0.0.1\nPort=%1\n[Comm]\nMaxPacket=8\n"
                              "[Protocol]\nFile=%2/vrq-pb.var\nAddress=1\n[Action]\nStart=%3\n"
                              "[View]\nVisible=1\n")
                   .arg(port)
                   .arg(QStringLiteral(QUELL_EXAMPLES_DIR))
                   .arg(start ? 1 : 0)
                   .toUtf8());
    return path;
}

// quellcal's two windows, started up as the program starts them.
struct Station {
    explicit Station(const QString& settings)
    {
        main = std::make_unique<TClientMain>();
        main->FormCreate({QStringLiteral("quellcal"), settings});
        view = std::make_unique<TFormView>(main->link(), *main);
        view->FormCreate();
        main->setViewLink(view.get());
    }
    ~Station()
    {
        view.reset();
        main.reset();
    }
    std::int16_t value(std::uint16_t entry) const
    {
        return main->scheduler().withTable(
            [entry](const TProtocol& t) { return t.Commands[entry].Value; });
    }
    // Waits until the selectors, the EMC 1 constants, its filter and the swap period have all
    // been answered since now.
    bool freshAnswers()
    {
        std::set<std::uint16_t> missing{vrqpb::kFilterFirst, vrqpb::kSwapPeriod};
        for (std::uint16_t e = vrqpb::kSelectorFirst; e < vrqpb::kCalEmc1First + 8; ++e)
            missing.insert(e);
        const auto connection = QObject::connect(
            &main->link(), &LinkController::answerApplied, [&](const AnswerEffects& effects) {
                for (const std::uint16_t e : effects.answeredEntries)
                    missing.erase(e);
            });
        const bool done = QTest::qWaitFor([&] { return missing.empty(); }, kWaitMs);
        QObject::disconnect(connection);
        return done;
    }
    std::unique_ptr<TClientMain> main;
    std::unique_ptr<TFormView> view;
};

class CalibrationLiveTest : public ::testing::Test {
protected:
    CalibrationLiveTest() : cwd_(QDir::currentPath()) {}
    ~CalibrationLiveTest() override { QDir::setCurrent(cwd_); }

    RecordingDialogs dialogs_;
    QTemporaryDir dir_;
    QString cwd_;
};

TEST_F(CalibrationLiveTest, AChannelButtonWithoutALinkLogsItsChannelAndADurationOnly)
{
    Station station(writeSettings(dir_, QStringLiteral("quellcal.cli"), 0, false));
    station.view->ButtonIndexClickK(kTagEmc1);
    const QStringList lines = station.view->station().runLog()->lines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("Kalibracija - EMC 1"));
    EXPECT_EQ(lines.back(), QStringLiteral("- trajanje : 00:00:00"));
    EXPECT_EQ(dialogs_.texts().count(QStringLiteral("Client nije konektovan !!!")), 2);
    KalibracijaPage* page = station.view->kalibracijaPage();
    EXPECT_FALSE(station.view->runs().running());
    EXPECT_TRUE(page->calibrationButton(kTagEmc1)->isEnabled());
    EXPECT_TRUE(page->runProgressLabel()->text().startsWith(QStringLiteral("Završeno: 0 od 8")))
        << page->runProgressLabel()->text().toStdString();
}

class CalibrationOnTheSimulator : public CalibrationLiveTest {
protected:
    void SetUp() override
    {
        // A board whose analog parts read 3 % high: the factory constants are visibly off.
        ASSERT_TRUE(
            gateway_.start(QStringLiteral(QUELLGW_PATH), {QStringLiteral("vrq-pb@1:off=3")}))
            << gateway_.error().toStdString();
        settings_ = writeSettings(dir_, QStringLiteral("quellcal.cli"), gateway_.port(), true);
        station_ = std::make_unique<Station>(settings_);
        ASSERT_TRUE(station_->freshAnswers());
        // The swap cycle at its quickest, so that a swap-waited point takes a fraction of a second.
        station_->view->kalibracijaPage()->testSwap()->setChecked(true);
    }
    void TearDown() override
    {
        station_.reset();
        gateway_.stop();
    }
    std::array<std::int16_t, 8> emc1Constants() const
    {
        std::array<std::int16_t, 8> constants{};
        for (int k = 0; k < 8; ++k)
            constants[static_cast<std::size_t>(k)] =
                station_->value(static_cast<std::uint16_t>(vrqpb::kCalEmc1First + k));
        return constants;
    }

    testsupport::SimulatedGateway gateway_;
    QString settings_;
    std::unique_ptr<Station> station_;
};

TEST_F(CalibrationOnTheSimulator, EmcOneIsCalibratedAndASecondRunFindsItsConstantsRight)
{
    const auto before = emc1Constants();
    station_->view->ButtonIndexClickK(kTagEmc1);
    const RunOutcome first = station_->view->runs().outcome();
    ASSERT_EQ(first.channels.size(), 1U);
    EXPECT_TRUE(first.ok) << station_->view->station().runLog()->lines().join('\n').toStdString();
    const auto after = emc1Constants();
    int changed = 0;
    for (std::size_t k = 0; k < 8; ++k)
        changed += std::abs(after[k] - before[k]) > station_->view->different() ? 1 : 0;
    EXPECT_EQ(changed, 8) << "the board reads 3 % off its factory constants";
    KalibracijaPage* page = station_->view->kalibracijaPage();
    EXPECT_EQ(page->pointBox(3, 1)->styleSheet(), QStringLiteral("background-color: green"));

    station_->view->ButtonIndexClickK(kTagEmc1);
    EXPECT_TRUE(station_->view->runs().outcome().ok);
    const auto again = emc1Constants();
    for (std::size_t k = 0; k < 8; ++k)
        EXPECT_LE(std::abs(again[k] - after[k]), station_->view->different()) << k + 1;
    // Filter and swap period as they were, every reference out, as the board answered the writes.
    for (std::uint16_t e = vrqpb::kSelectorFirst; e <= vrqpb::kSelectorLast; ++e)
        EXPECT_EQ(station_->value(e), 0) << "selector " << e;
    EXPECT_EQ(station_->value(vrqpb::kFilterFirst), 8);
    EXPECT_EQ(station_->value(vrqpb::kSwapPeriod), 10);
}

TEST_F(CalibrationOnTheSimulator, ClosingDuringARunClearsTheReferencesAndRestoresTheFilter)
{
    bool closed = false;
    QObject::connect(station_->main.get(), &TClientMain::formClosed, [&] { closed = true; });
    // The close box while the second point of EMC 1 is being measured.
    QTimer::singleShot(1500, station_->main.get(), [this] { station_->main->close(); });
    station_->view->ButtonIndexClickK(kTagEmc1);
    EXPECT_FALSE(station_->view->runs().outcome().ok);
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed; }, kWaitMs));
    EXPECT_FALSE(station_->main->Started());

    // Another station on the same server sees the board as the run found it.
    QTemporaryDir otherDir;
    Station observer(
        writeSettings(otherDir, QStringLiteral("observer.cli"), gateway_.port(), true));
    ASSERT_TRUE(observer.freshAnswers());
    for (std::uint16_t e = vrqpb::kSelectorFirst; e <= vrqpb::kSelectorLast; ++e)
        EXPECT_EQ(observer.value(e), 0) << "selector " << e;
    EXPECT_EQ(observer.value(vrqpb::kFilterFirst), 8);
    EXPECT_EQ(observer.value(vrqpb::kSwapPeriod), 10);
}

} // namespace
} // namespace quell
