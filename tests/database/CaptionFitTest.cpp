// Every caption of the window "Base" is seen whole at the size it opens at, with a database and
// without one, in the face a Debian desktop gives it.

#include "tests/support/CaptionFit.h"
#include "database/UBase.h"
#include "tests/database/ParameterCells.h"
#include "tests/support/RecordingDialogs.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace quell {
namespace {

struct BaseCase {
    const char* name;
    const char* settings; // the settings file's text
};

void PrintTo(const BaseCase& c, std::ostream* out)
{
    *out << c.name;
}

class BaseCaptionFit : public ::testing::TestWithParam<BaseCase> {};

TEST_P(BaseCaptionFit, EveryCaptionIsSeenWhole)
{
    const testing::DesktopFont font;
    ASSERT_EQ(QFontInfo(QApplication::font()).family(), QStringLiteral("DejaVu Sans"))
        << "scripts/setup installs fonts-dejavu-core";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    testsupport::ParameterCells cells(folder.path());
    QFile settings(cells.SettingsFileName());
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(GetParam().settings);
    settings.close();
    const RecordingDialogs dialogs;
    TTestPoints points{};
    TFormBase form(cells, cells.link, points);
    form.setPathPrompt([](QString&) { return false; });
    form.setBoardNumber(1234); // the longest number a board has
    form.show();
    QApplication::processEvents();
    const auto clipped = testing::ClippedCaptions(form);
    EXPECT_TRUE(clipped.empty()) << testing::Describe(QStringLiteral("Base %1x%2 %3")
                                                          .arg(form.width())
                                                          .arg(form.height())
                                                          .arg(QLatin1String(GetParam().name)),
                                                      clipped)
                                        .toStdString();
}

// A new database file beside the settings (both tables open, the board has no record yet), and a
// database that cannot be opened (both tables closed).
const BaseCase kCases[] = {
    {"NewDatabase", ""},
    {"NoDatabase", "[Base]\nPath=/nonexistent/folder/BORAN.db\n"},
};

INSTANTIATE_TEST_SUITE_P(Tables, BaseCaptionFit, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quell
