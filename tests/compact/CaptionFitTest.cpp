// Every caption of quellcfg's main window and of its view is seen whole on each tab at the size
// they open at when the settings do not say, in the face a Debian desktop gives them. What lies in
// a scroll area counts as seen: the technician scrolls to it.

#include "tests/support/CaptionFit.h"
#include "compact/CompactClientMain.h"
#include "compact/CompactFormView.h"
#include "tests/support/RecordingDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace quell::compact {
namespace {

struct TabCase {
    const char* name;
    bool view; // the view, else the main window
    int tab;
};

void PrintTo(const TabCase& c, std::ostream* out)
{
    *out << c.name;
}

class CompactCaptionFit : public ::testing::TestWithParam<TabCase> {};

TEST_P(CompactCaptionFit, EveryCaptionIsSeenWhole)
{
    const TabCase& c = GetParam();
    const quell::testing::DesktopFont font;
    ASSERT_EQ(QFontInfo(QApplication::font()).family(), QStringLiteral("DejaVu Sans"))
        << "scripts/setup installs fonts-dejavu-core";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile settings(folder.filePath(QStringLiteral("site.cli")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Protocol]\nFile=" QUELL_EXAMPLES_DIR "/vrq-compact.var\n");
    settings.close();
    // quellcfg keeps "Vals" in the folder it starts in.
    const QString started = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const RecordingDialogs dialogs;
    TClientMain main;
    main.FormCreate({QStringLiteral("quellcfg"), settings.fileName()});
    TFormView view(main);
    QWidget& window = c.view ? static_cast<QWidget&>(view) : main;
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    ASSERT_NE(pages, nullptr);
    pages->setCurrentIndex(c.tab);
    window.show();
    QApplication::processEvents();
    const auto clipped = quell::testing::ClippedCaptions(window);
    EXPECT_TRUE(clipped.empty()) << quell::testing::Describe(QStringLiteral("quellcfg %1x%2 %3")
                                                                 .arg(window.width())
                                                                 .arg(window.height())
                                                                 .arg(QLatin1String(c.name)),
                                                             clipped)
                                        .toStdString();
    QDir::setCurrent(started);
}

const TabCase kCases[] = {
    {"MainSettings", false, 0},
    {"MainTable", false, 1},
    {"ViewLEDMeasure", true, 0},
    {"ViewSumarum", true, 1},
};

INSTANTIATE_TEST_SUITE_P(Windows, CompactCaptionFit, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quell::compact
