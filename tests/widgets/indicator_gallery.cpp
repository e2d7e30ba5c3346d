// Renders every look of the indicator onto one sheet, for a person to review.
// Usage: indicator_gallery <output.png>

#include "widgets/VesmarLiquidIndicator.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QWidget>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A sheet with a patterned background, so that transparent read-outs show what they let through.
class Sheet : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, width(), height());
        gradient.setColorAt(0, QColor(236, 238, 242));
        gradient.setColorAt(1, QColor(200, 206, 214));
        painter.fillRect(rect(), gradient);
        painter.setPen(QColor(180, 186, 196));
        for (int x = 0; x < width(); x += 16)
            painter.drawLine(x, 0, x, height());
        for (int y = 0; y < height(); y += 16)
            painter.drawLine(0, y, width(), y);
    }
};

QImage brushedMetal()
{
    QImage image(160, 60, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        const int base = 150 + int(random.bounded(40));
        for (int x = 0; x < image.width(); ++x) {
            const int v = std::clamp(base + int(random.bounded(21)) - 10, 0, 255);
            image.setPixelColor(x, y, QColor(v, v, v + 6 > 255 ? 255 : v + 6));
        }
    }
    return image;
}

QImage wood()
{
    QImage image(48, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double ring = std::sin((std::hypot(x - 10.0, y * 0.3 - 60.0)) * 0.9);
            image.setPixelColor(x, y, QColor(150 + int(ring * 25), 100 + int(ring * 18), 55));
        }
    return image;
}

QImage gold()
{
    QImage image(100, 40, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, 40);
    gradient.setColorAt(0, QColor(255, 236, 140));
    gradient.setColorAt(0.5, QColor(214, 160, 30));
    gradient.setColorAt(1, QColor(120, 80, 10));
    painter.fillRect(image.rect(), gradient);
    return image;
}

struct Cursor {
    QWidget* sheet;
    int x = 16;
    int y = 12;
    int rowHeight = 0;

    void title(const QString& text)
    {
        newRow();
        auto* label = new QLabel(text, sheet);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        label->move(16, y);
        label->adjustSize();
        label->show();
        y += label->height() + 4;
    }

    // Places an indicator configured by setup, with a caption under it.
    TVesmarLiquidIndicator* add(const QString& caption,
                                const std::function<void(TVesmarLiquidIndicator&)>& setup)
    {
        auto* indicator = new TVesmarLiquidIndicator(sheet);
        setup(*indicator);
        indicator->finishLoading();
        indicator->move(x, y);
        auto* label = new QLabel(caption, sheet);
        label->adjustSize();
        const int w = std::max(indicator->width(), label->width());
        label->move(x, y + indicator->height() + 2);
        label->show();
        indicator->show();
        x += w + 18;
        rowHeight = std::max(rowHeight, indicator->height() + label->height() + 10);
        return indicator;
    }

    void newRow()
    {
        if (rowHeight > 0)
            y += rowHeight + 6;
        x = 16;
        rowHeight = 0;
    }
};

void hoverOver(TVesmarLiquidIndicator* indicator)
{
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(indicator, &enter);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: indicator_gallery <output.png>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    Sheet sheet;
    sheet.resize(1300, 1060);
    Cursor at{&sheet};

    at.title("Seven segments, the colour schemes");
    const std::pair<Vm::TVMColorScheme, const char*> schemes[] = {
        {Vm::csSilver, "csSilver"}, {Vm::csInvSilver, "csInvSilver"},
        {Vm::csWhite, "csWhite"},   {Vm::csBlack, "csBlack"},
        {Vm::csPlasma, "csPlasma"}, {Vm::csInvPlasma, "csInvPlasma"},
        {Vm::csVORN, "csVORN"}};
    const char* values[] = {"-12.50", "273.1", "0.008", "1234.5", "-40.0", "88.88", "Err 1"};
    int i = 0;
    for (const auto& [scheme, name] : schemes) {
        const QString value = QString::fromLatin1(values[i++]);
        at.add(QString::fromLatin1(name), [&](TVesmarLiquidIndicator& w) {
            w.setColorScheme(scheme);
            w.setSignNumber(6);
            w.setIndicatorWidth(140);
            w.setIndicatorHeight(46);
            w.setIndicatorString(value);
        });
    }

    at.title("The measurement view's read-outs (5 cells, 100 x 40; clock 6 cells, 100 x 24)");
    const std::pair<QColor, const char*> views[] = {
        {Qt::red, "12.5"}, {QColor(0, 0, 128), "-3.75"}, {QColor(128, 128, 0), "18.0"},
        {Qt::red, "1..2"}, {QColor(0, 0, 128), ".5"},    {QColor(128, 128, 0), "123456"},
        {Qt::red, "HELP"}};
    std::vector<TVesmarLiquidIndicator*> magnified;
    for (const auto& [color, text] : views)
        magnified.push_back(at.add(QStringLiteral("\"%1\"").arg(QString::fromLatin1(text)),
                                   [&](TVesmarLiquidIndicator& w) {
                                       w.setSignNumber(5);
                                       w.setIndicatorWidth(100);
                                       w.setIndicatorHeight(40);
                                       w.setNumberForeColor(color);
                                       w.setIndicatorString(QString::fromLatin1(text));
                                   }));
    magnified.push_back(at.add("clock", [](TVesmarLiquidIndicator& w) {
        w.setSignNumber(6);
        w.setIndicatorWidth(100);
        w.setIndicatorHeight(24);
        w.setIndicatorString("123507");
    }));

    at.title("Nine segments with colon, and every seven-segment character");
    at.add("12:34:56", [](TVesmarLiquidIndicator& w) {
        w.setColorScheme(Vm::csBlack);
        w.setIndicatorKind(Vm::ik9segment);
        w.setSignNumber(8);
        w.setIndicatorWidth(220);
        w.setIndicatorHeight(56);
        w.setIndicatorString("12:34:56");
    });
    at.add("09:05 in csVORN", [](TVesmarLiquidIndicator& w) {
        w.setColorScheme(Vm::csVORN);
        w.setIndicatorKind(Vm::ik9segment);
        w.setSignNumber(5);
        w.setIndicatorWidth(140);
        w.setIndicatorHeight(56);
        w.setIndicatorString("09:05");
    });
    at.add("all patterns", [](TVesmarLiquidIndicator& w) {
        w.setSignNumber(36);
        w.setIndicatorWidth(680);
        w.setIndicatorHeight(44);
        w.setIndicatorString("-0123456789ACEFGHJLPUY_bcdhijlnortu.");
    });

    at.title("5 x 7 dot matrix: the whole font");
    const char* lines[] = {"!\"#$%&'()*+,-./0123456789:;<=>?@", "ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_",
                           "abcdefghijklmnopqrstuvwxyz{|}~ Quell"};
    for (const char* line : lines) {
        const QString text = QString::fromLatin1(line);
        at.add(QString(), [&](TVesmarLiquidIndicator& w) {
            w.setColorScheme(Vm::csPlasma);
            w.setIndicatorKind(Vm::ik5x7matrix);
            w.setSignNumber(int(text.size()));
            w.setIndicatorWidth(int(text.size()) * 22 + 14);
            w.setIndicatorHeight(44);
            w.setIndicatorString(text);
        });
        at.newRow();
    }

    at.title("Thin, normal, thick; then hovered with maColor, maWidth, maBoth");
    const std::pair<Vm::TVMIndicatorStyle, const char*> styles[] = {
        {Vm::isThin, "isThin"}, {Vm::isNormal, "isNormal"}, {Vm::isThick, "isThick"}};
    for (const auto& [style, name] : styles)
        at.add(QString::fromLatin1(name), [&](TVesmarLiquidIndicator& w) {
            w.setSignNumber(4);
            w.setIndicatorWidth(110);
            w.setIndicatorHeight(44);
            w.setIndicatorStyle(style);
            w.setIndicatorString("20.8");
        });
    at.add("dots isThick", [](TVesmarLiquidIndicator& w) {
        w.setIndicatorKind(Vm::ik5x7matrix);
        w.setSignNumber(4);
        w.setIndicatorWidth(110);
        w.setIndicatorHeight(44);
        w.setIndicatorStyle(Vm::isThick);
        w.setIndicatorString("Temp");
    });
    const std::pair<Vm::TVMMouseAction, const char*> actions[] = {{Vm::maColor, "hover maColor"},
                                                                  {Vm::maWidth, "hover maWidth"},
                                                                  {Vm::maBoth, "hover maBoth"}};
    for (const auto& [action, name] : actions)
        hoverOver(at.add(QString::fromLatin1(name), [&](TVesmarLiquidIndicator& w) {
            w.setSignNumber(4);
            w.setIndicatorWidth(110);
            w.setIndicatorHeight(44);
            w.setMouseAction(action);
            w.setIndicatorString("20.8");
        }));
    hoverOver(at.add("dots maBoth", [](TVesmarLiquidIndicator& w) {
        w.setIndicatorKind(Vm::ik5x7matrix);
        w.setSignNumber(4);
        w.setIndicatorWidth(110);
        w.setIndicatorHeight(44);
        w.setMouseAction(Vm::maBoth);
        w.setIndicatorString("Temp");
    }));

    at.title("Angles 30, 45, 90, 180, 270 degrees; bevels up/down/none");
    for (int angle : {300, 450, 900, 1800, 2700})
        at.add(QStringLiteral("%1").arg(angle), [&](TVesmarLiquidIndicator& w) {
            w.setColorScheme(Vm::csInvSilver);
            w.setSignNumber(4);
            w.setIndicatorWidth(110);
            w.setIndicatorHeight(40);
            w.setIndicatorAngle(angle);
            w.setIndicatorString("-7.5");
        });
    const std::pair<Vm::TVMBevelKind, const char*> bevels[] = {
        {Vm::bkUP, "bkUP"}, {Vm::bkDown, "bkDown"}, {Vm::bkNone, "bkNone"}};
    for (const auto& [kind, name] : bevels)
        at.add(QStringLiteral("outer %1, width 4").arg(QString::fromLatin1(name)),
               [&](TVesmarLiquidIndicator& w) {
                   w.setSignNumber(3);
                   w.setIndicatorWidth(90);
                   w.setIndicatorHeight(44);
                   w.setOuterBevel(kind);
                   w.setOuterBevelWidth(4);
                   w.setInnerBevelWidth(3);
                   w.setBevelColor(QColor(150, 160, 175));
                   w.setIndicatorString("42");
               });

    at.title("Transparency over the sheet: tmNone, tmBackOnly, tmAll (also turned 30 degrees)");
    const std::pair<Vm::TVMTransparentMode, const char*> modes[] = {
        {Vm::tmNone, "tmNone"}, {Vm::tmBackOnly, "tmBackOnly"}, {Vm::tmAll, "tmAll"}};
    for (int angle : {0, 300})
        for (const auto& [mode, name] : modes)
            at.add(QString::fromLatin1(name), [&](TVesmarLiquidIndicator& w) {
                w.setColorScheme(Vm::csBlack);
                w.setNumberBackColor(QColor(40, 40, 40));
                w.setSignNumber(4);
                w.setIndicatorWidth(120);
                w.setIndicatorHeight(44);
                w.setIndicatorAngle(angle);
                w.setTransparentMode(mode);
                w.setIndicatorString("31.4");
            });

    at.title("Materials: metal stretched, wood tiled (shadow dark/light/none), gold lit segments");
    const QImage metal = brushedMetal(), grain = wood(), foil = gold();
    at.add("metal stretched", [&](TVesmarLiquidIndicator& w) {
        w.setSignNumber(5);
        w.setIndicatorWidth(130);
        w.setIndicatorHeight(46);
        w.setBackMaterial(metal);
        w.setIndicatorString("56.78");
    });
    const std::pair<Vm::TVMMaterialShadowMode, const char*> shadows[] = {
        {Vm::msmDark, "wood tiled, msmDark"}, {Vm::msmLight, "msmLight"}, {Vm::msmNone, "msmNone"}};
    for (const auto& [shadow, name] : shadows)
        at.add(QString::fromLatin1(name), [&](TVesmarLiquidIndicator& w) {
            w.setSignNumber(4);
            w.setIndicatorWidth(110);
            w.setIndicatorHeight(46);
            w.setMaterialMode(Vm::mmTile);
            w.setBackMaterial(grain);
            w.setMaterialShadowMode(shadow);
            w.setNumberForeColor(QColor(40, 20, 0));
            w.setIndicatorString("9.81");
        });
    at.add("gold on black", [&](TVesmarLiquidIndicator& w) {
        w.setColorScheme(Vm::csBlack);
        w.setNumberBackColor(QColor(30, 30, 30));
        w.setSignNumber(5);
        w.setIndicatorWidth(130);
        w.setIndicatorHeight(46);
        w.setIndicatorStyle(Vm::isThick);
        w.setForeMaterial(foil);
        w.setIndicatorString("-8.88");
    });
    at.newRow();

    // The small read-outs once more, three times larger, to judge them pixel by pixel.
    sheet.show();
    QCoreApplication::processEvents();
    at.title("The measurement view's read-outs magnified 3 x");
    for (std::size_t k = 0; k < magnified.size(); ++k) {
        if (k == 4)
            at.newRow();
        const QPixmap shot = magnified[k]->grab();
        auto* label = new QLabel(&sheet);
        label->setPixmap(
            shot.scaled(shot.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        label->adjustSize();
        label->move(at.x, at.y);
        label->show();
        at.x += label->width() + 18;
        at.rowHeight = std::max(at.rowHeight, label->height() + 6);
    }
    at.newRow();

    sheet.resize(sheet.width(), at.y + 8);
    QCoreApplication::processEvents();
    if (!sheet.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "indicator_gallery: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
