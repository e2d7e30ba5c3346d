// Every caption of quellcal's main window is seen whole on each tab at the size the window opens
// at when the settings do not say, in the face a Debian desktop gives it.

#include "tests/support/CaptionFit.h"
#include "client/ClientCommunications.h"
#include "tests/support/RecordingDialogs.h"

#include <QApplication>
#include <QFontInfo>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace quell {
namespace {

struct TabCase {
    const char* tab; // object name of the page
};

void PrintTo(const TabCase& c, std::ostream* out)
{
    *out << c.tab;
}

class MainWindowCaptionFit : public ::testing::TestWithParam<TabCase> {};

TEST_P(MainWindowCaptionFit, EveryCaptionIsSeenWhole)
{
    const testing::DesktopFont font;
    ASSERT_EQ(QFontInfo(QApplication::font()).family(), QStringLiteral("DejaVu Sans"))
        << "scripts/setup installs fonts-dejavu-core";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const RecordingDialogs dialogs; // the description named by default is missing
    TClientMain window;
    window.FormCreate({QStringLiteral("quellcal"), folder.filePath(QStringLiteral("station.cli"))});
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    ASSERT_NE(pages, nullptr);
    QWidget* page = pages->findChild<QWidget*>(QLatin1String(GetParam().tab));
    ASSERT_NE(page, nullptr);
    pages->setCurrentWidget(page);
    window.show();
    QApplication::processEvents();
    const auto clipped = testing::ClippedCaptions(window);
    EXPECT_TRUE(clipped.empty()) << testing::Describe(QStringLiteral("quellcal %1x%2 %3")
                                                          .arg(window.width())
                                                          .arg(window.height())
                                                          .arg(QLatin1String(GetParam().tab)),
                                                      clipped)
                                        .toStdString();
}

INSTANTIATE_TEST_SUITE_P(Tabs, MainWindowCaptionFit,
                         ::testing::Values(TabCase{"Settings"}, TabCase{"Tabela"}),
                         [](const auto& info) { return std::string(info.param.tab); });

} // namespace
} // namespace quell
