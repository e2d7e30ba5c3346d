// The view against quellgw with a simulated VRQ-PB board, started up as quellcal starts: live
// values reach both pages, the selectors follow what the board reports, and clicks and edits
// reach the board.

#include "client/ClientCommunications.h"
#include "client/RequestScheduler.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/SimulatedGateway.h"
#include "view/UView.h"
#include "widgets/VesmarLiquidIndicator.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace quell {
namespace {

constexpr int kWaitMs = 10000;

class ViewLiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cwd_ = QDir::currentPath();
        ASSERT_TRUE(gateway_.start(QStringLiteral(QUELLGW_PATH), {QStringLiteral("vrq-pb@1")}))
            << gateway_.error().toStdString();
        const int port = gateway_.port();

        const QString settings = dir_.filePath(QStringLiteral("quellcal.cli"));
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write(QStringLiteral("[Socket]\nHost=127.0.0.1\nPort=%1\n[Comm]\nMaxPacket=8\n"
                                  "[Protocol]\nFile=%2/vrq-pb.var\nAddress=1\n[Action]\nStart=1\n"
                                  "[View]\nVisible=1\n")
                       .arg(port)
                       .arg(QStringLiteral(QUELL_EXAMPLES_DIR))
                       .toUtf8());
        file.close();
        main_ = std::make_unique<TClientMain>();
        main_->FormCreate({QStringLiteral("quellcal"), settings});
        view_ = std::make_unique<TFormView>(main_->link(), *main_);
        view_->FormCreate();
        main_->setViewLink(view_.get());
        ASSERT_TRUE(main_->Started()) << dialogs_.texts().join('\n').toStdString();
        ASSERT_TRUE(view_->isVisible());
    }

    void TearDown() override
    {
        view_.reset();
        main_.reset();
        gateway_.stop();
        QDir::setCurrent(cwd_);
    }

    std::int16_t boardValue(std::uint16_t entry)
    {
        return main_->scheduler().withTable(
            [entry](const TProtocol& t) { return t.Commands[entry].Value; });
    }

    QRadioButton* radio(const char* name)
    {
        auto* found = view_->findChild<QRadioButton*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void showPage(int index)
    {
        view_->findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(index);
    }

    QTemporaryDir dir_;
    RecordingDialogs dialogs_;
    testsupport::SimulatedGateway gateway_;
    std::unique_ptr<TClientMain> main_;
    std::unique_ptr<TFormView> view_;

private:
    QString cwd_;
};

bool IsNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

TEST_F(ViewLiveTest, BothMeasuringPagesShowTheBoardsValues)
{
    showPage(0);
    auto* led = view_->findChild<TVesmarLiquidIndicator*>(QStringLiteral("LedEMC1"));
    ASSERT_NE(led, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return IsNumber(led->indicatorString()); }, kWaitMs))
        << led->indicatorString().toStdString();

    showPage(1);
    auto* value = view_->findChild<QLabel*>(QStringLiteral("Val_0"));
    ASSERT_NE(value, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return IsNumber(value->text()); }, kWaitMs))
        << value->text().toStdString();
}

TEST_F(ViewLiveTest, SelectorsFollowTheBoardAndClicksReachIt)
{
    showPage(0);
    // Written by another way than the selector: the group shows what the board then reports.
    ASSERT_TRUE(main_->WriteParameter(4, QStringLiteral("0004")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return radio("SlotEMC1_2")->isChecked(); }, kWaitMs));

    // A click writes the item's bit; the board's later answers keep it checked.
    radio("SlotEMC1_5")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return boardValue(4) == 0x20; }, kWaitMs)) << boardValue(4);
    ASSERT_TRUE(main_->ReadParameter(4));
    const int refreshes = view_->refreshCount();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view_->refreshCount() > refreshes + 20; }, kWaitMs));
    EXPECT_EQ(boardValue(4), 0x20);
    EXPECT_TRUE(radio("SlotEMC1_5")->isChecked());
    EXPECT_FALSE(radio("SlotEMC1_2")->isChecked());
}

TEST_F(ViewLiveTest, AnEditConfirmedWithEnterReachesTheBoard)
{
    showPage(1);
    auto* filter = view_->findChild<QLineEdit*>(QStringLiteral("Filt0"));
    ASSERT_NE(filter, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return boardValue(60) == 8; }, kWaitMs));
    filter->setText(QStringLiteral("5"));
    view_->EditKeyDown(filter, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return boardValue(60) == 5; }, kWaitMs)) << boardValue(60);

    // Read back from the board, not from what was sent: the table forgets it first.
    main_->scheduler().editTable([](TProtocol& t) { t.Commands[60].Value = 0; });
    ASSERT_EQ(boardValue(60), 0);
    ASSERT_TRUE(main_->ReadParameter(60));
    EXPECT_TRUE(QTest::qWaitFor([&] { return boardValue(60) == 5; }, kWaitMs)) << boardValue(60);
    EXPECT_TRUE(QTest::qWaitFor([&] { return filter->text() == "5"; }, kWaitMs))
        << filter->text().toStdString();
}

} // namespace
} // namespace quell
