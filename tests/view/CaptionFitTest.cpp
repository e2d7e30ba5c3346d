// Every caption of the measurement view is seen whole on each page at the size the view opens at
// when the settings do not say (936 by 465, the layout's drawn size with its frame and strip): in
// the narrow face the view asks for, and in DejaVu Sans, which fontconfig gives it on a desktop
// that lacks the narrow face.

#include "tests/support/CaptionFit.h"
#include "client/ClientCommunications.h"
#include "view/UView.h"

#include <QApplication>
#include <QFontInfo>

#include <gtest/gtest.h>

#include <ostream>

namespace quell {
namespace {

struct ViewCase {
    const char* name;
    int page;         // 0 "Merenje", 1 "Detalji", 2 "Kalibracija"
    const char* face; // the face the view is given; null: the one it asks for
};

void PrintTo(const ViewCase& c, std::ostream* out)
{
    *out << c.name;
}

const QSize kDefaultSize(936, 465);

class ViewCaptionFit : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ViewCaptionFit, EveryCaptionIsSeenWhole)
{
    const ViewCase& c = GetParam();
    const testing::DesktopFont font;
    TClientMain main;
    TFormView view(main.link(), main);
    if (c.face != nullptr) {
        QFont face = view.font();
        face.setFamilies({QLatin1String(c.face)});
        view.setFont(face);
    }
    view.resize(kDefaultSize);
    view.show();
    view.showPage(c.page);
    QApplication::processEvents();
    const QString shown = QFontInfo(view.font()).family();
    ASSERT_TRUE(shown.startsWith(QStringLiteral("DejaVu Sans")))
        << shown.toStdString() << ": scripts/setup installs the DejaVu faces";
    const auto clipped = testing::ClippedCaptions(view);
    EXPECT_TRUE(clipped.empty()) << testing::Describe(QStringLiteral("view %1x%2 %3 in %4")
                                                          .arg(view.width())
                                                          .arg(view.height())
                                                          .arg(QLatin1String(c.name), shown),
                                                      clipped)
                                        .toStdString();
}

const ViewCase kCases[] = {
    {"Merenje", 0, nullptr},
    {"Detalji", 1, nullptr},
    {"Kalibracija", 2, nullptr},
    {"MerenjeDejaVuSans", 0, "DejaVu Sans"},
    {"DetaljiDejaVuSans", 1, "DejaVu Sans"},
    {"KalibracijaDejaVuSans", 2, "DejaVu Sans"},
};

INSTANTIATE_TEST_SUITE_P(Pages, ViewCaptionFit, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quell
