#include "report/ReportPdf.h"

#include "view/ResultChartDrawing.h"

#include <QChart>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QLegend>
#include <QLineSeries>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>

#include <algorithm>
#include <functional>
#include <numeric>
#include <vector>

namespace quell {

namespace {

const QColor kPassColour(0, 120, 0);
const QColor kFailColour(190, 0, 0);
const QColor kOpenColour(170, 110, 0);
const QColor kRuleColour(150, 150, 150);
const QColor kHeaderFill(228, 228, 228);

// One table: relative column widths, a header row and the rows; alert rows are drawn red.
struct Table {
    std::vector<double> widths;
    QStringList header;
    std::vector<QStringList> rows;
    std::vector<bool> alert;
};

// A piece of a page that is never split: its height, and how it paints itself from a top edge.
struct Block {
    double height = 0;
    std::function<void(QPainter&, double top)> paint;
};

// Lays out the report in device units of the writer: fonts, measures, and the blocks in order.
class Layout {
public:
    explicit Layout(QPdfWriter& writer) : writer_(writer)
    {
        const QString family = QStringLiteral("DejaVu Sans");
        body_ = QFont(family, 9);
        small_ = QFont(family, 8);
        bold_ = body_;
        bold_.setBold(true);
        heading_ = QFont(family, 12, QFont::Bold);
        title_ = QFont(family, 15, QFont::Bold);
        verdict_ = QFont(family, 13, QFont::Bold);
        chartFont_ = QFont(family, 8);
        width_ = writer.width();
    }

    double mm(double millimetres) const { return millimetres * writer_.resolution() / 25.4; }
    double width() const { return width_; }
    const QFont& body() const { return body_; }
    const QFont& small() const { return small_; }
    const QFont& bold() const { return bold_; }
    const QFont& heading() const { return heading_; }
    const QFont& title() const { return title_; }
    const QFont& verdict() const { return verdict_; }
    const QFont& chartFont() const { return chartFont_; }

    // The height text takes in width with font, wrapped at words (and anywhere when a word is
    // longer than the width, as a path is).
    double textHeight(const QFont& font, double width, const QString& text) const
    {
        const QFontMetricsF metrics(font, &writer_);
        return metrics
            .boundingRect(QRectF(0, 0, width, 1e6),
                          Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::AlignLeft, text)
            .height();
    }

    // A block of one paragraph.
    Block paragraph(const QFont& font, const QString& text, QColor colour = Qt::black) const
    {
        const double height = textHeight(font, width_, text);
        const double width = width_;
        return {height + mm(1.5), [font, text, colour, width, height](QPainter& p, double top) {
                    p.setFont(font);
                    p.setPen(colour);
                    p.drawText(QRectF(0, top, width, height),
                               Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::AlignLeft, text);
                }};
    }

    // The height of each row of a table (the header first).
    std::vector<double> rowHeights(const Table& table) const
    {
        const double sum = std::accumulate(table.widths.begin(), table.widths.end(), 0.0);
        const double pad = mm(0.7);
        std::vector<double> heights;
        const auto measure = [&](const QStringList& cells, const QFont& font) {
            double tallest = 0;
            for (qsizetype c = 0; c < cells.size(); ++c) {
                const double w = width_ * table.widths[static_cast<std::size_t>(c)] / sum - 2 * pad;
                tallest = std::max(tallest, textHeight(font, w, cells[c]));
            }
            heights.push_back(tallest + 2 * pad);
        };
        measure(table.header, bold8());
        for (const QStringList& row : table.rows)
            measure(row, small_);
        return heights;
    }

    // A block holding a whole table.
    Block table(const Table& table) const
    {
        const std::vector<double> heights = rowHeights(table);
        const double total = std::accumulate(heights.begin(), heights.end(), 0.0);
        const double width = width_;
        const double pad = mm(0.7);
        const QFont header = bold8();
        const QFont cells = small_;
        return {total + mm(2), [=](QPainter& p, double top) {
                    const double sum =
                        std::accumulate(table.widths.begin(), table.widths.end(), 0.0);
                    double y = top;
                    for (std::size_t r = 0; r <= table.rows.size(); ++r) {
                        const bool isHeader = r == 0;
                        const QStringList& row = isHeader ? table.header : table.rows[r - 1];
                        const double h = heights[r];
                        if (isHeader)
                            p.fillRect(QRectF(0, y, width, h), kHeaderFill);
                        const bool alert =
                            !isHeader && r - 1 < table.alert.size() && table.alert[r - 1];
                        p.setFont(isHeader ? header : cells);
                        p.setPen(alert ? kFailColour : QColor(Qt::black));
                        double x = 0;
                        for (qsizetype c = 0; c < row.size(); ++c) {
                            const double w =
                                width * table.widths[static_cast<std::size_t>(c)] / sum;
                            p.drawText(QRectF(x + pad, y + pad, w - 2 * pad, h - 2 * pad),
                                       Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::AlignLeft
                                           | Qt::AlignVCenter,
                                       row[c]);
                            x += w;
                        }
                        p.setPen(QPen(kRuleColour, 0));
                        p.drawLine(QPointF(0, y + h), QPointF(width, y + h));
                        y += h;
                    }
                    p.drawLine(QPointF(0, top), QPointF(width, top));
                }};
    }

    QFont bold8() const
    {
        QFont font = small_;
        font.setBold(true);
        return font;
    }

private:
    QPdfWriter& writer_;
    QFont body_;
    QFont small_;
    QFont bold_;
    QFont heading_;
    QFont title_;
    QFont verdict_;
    QFont chartFont_;
    double width_ = 0;
};

QColor verdictColour(ReportVerdict verdict)
{
    switch (verdict) {
    case ReportVerdict::Pass:
        return kPassColour;
    case ReportVerdict::Fail:
        return kFailColour;
    case ReportVerdict::Incomplete:
    case ReportVerdict::None:
        break;
    }
    return kOpenColour;
}

// Draws a test result into target exactly as Chart2 draws it, in a scene of its own: the chart is
// laid out in the writer's units, which are the screen's, so its fonts keep their sizes.
void paintChart(QPainter& painter, const QRectF& target, const ResultChart& result,
                const QFont& font)
{
    QGraphicsScene scene;
    auto* drawing = new ResultChartDrawing; // the scene owns its chart, and the chart the drawing
    QChart* chart = drawing->chart();
    scene.addItem(chart);
    // Chart2's legend keeps the names of its series from the window's history; on paper they
    // say what they are.
    drawing->measured()->setName(QStringLiteral("Izmereno"));
    drawing->expected()->setName(QStringLiteral("Očekivano"));
    // The table says which points were not measured; on paper a reading left from before must
    // not look like one.
    drawing->setLeaveOutUnmeasured(true);
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    drawing->setFont(font);
    const QRectF area(QPointF(0, 0), target.size());
    chart->setGeometry(area);
    drawing->draw(result);
    // The window lays the legend out again from its event loop; the page is drawn now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    chart->legend()->layout()->activate();
    chart->layout()->activate();
    scene.setSceneRect(area);
    scene.render(&painter, target, area);
}

std::vector<Block> layoutReport(const BoardReport& report, const Layout& l)
{
    std::vector<Block> blocks;
    const double width = l.width();
    const auto space = [&l](double millimetres) {
        return Block{l.mm(millimetres), [](QPainter&, double) {}};
    };

    blocks.push_back(l.paragraph(l.title(), report.title));
    blocks.push_back(space(2));
    {
        // The header: label and value in two columns, the value wrapped.
        const double labelWidth = l.mm(38);
        std::vector<double> heights;
        for (const auto& [label, value] : report.header)
            heights.push_back(std::max(l.textHeight(l.bold(), labelWidth, label),
                                       l.textHeight(l.body(), width - labelWidth, value))
                              + l.mm(0.8));
        const double total = std::accumulate(heights.begin(), heights.end(), 0.0);
        const auto fields = report.header;
        const QFont& label = l.bold();
        const QFont& value = l.body();
        blocks.push_back({total + l.mm(3), [=](QPainter& p, double top) {
                              double y = top;
                              for (std::size_t i = 0; i < fields.size(); ++i) {
                                  p.setPen(Qt::black);
                                  p.setFont(label);
                                  p.drawText(QRectF(0, y, labelWidth, heights[i]),
                                             Qt::AlignLeft | Qt::AlignTop, fields[i].first);
                                  p.setFont(value);
                                  p.drawText(QRectF(labelWidth, y, width - labelWidth, heights[i]),
                                             Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::AlignLeft
                                                 | Qt::AlignTop,
                                             fields[i].second);
                                  y += heights[i];
                              }
                          }});
    }
    {
        // The verdict, framed in its colour, with the findings behind it.
        const double pad = l.mm(3);
        const double inner = width - 2 * pad;
        const QString why = report.verdictWhy.join(u'\n');
        const double verdictHeight = l.textHeight(l.verdict(), inner, report.verdictText);
        const double whyHeight = why.isEmpty() ? 0 : l.textHeight(l.body(), inner, why) + l.mm(1);
        const QColor colour = verdictColour(report.verdict);
        const QString text = report.verdictText;
        const QFont& big = l.verdict();
        const QFont& body = l.body();
        const double height = verdictHeight + whyHeight + 2 * pad;
        blocks.push_back(
            {height + l.mm(4), [=](QPainter& p, double top) {
                 p.setPen(QPen(colour, pad / 4));
                 p.setBrush(Qt::NoBrush);
                 p.drawRect(QRectF(0, top, width, height));
                 p.setFont(big);
                 p.drawText(QRectF(pad, top + pad, inner, verdictHeight),
                            Qt::TextWordWrap | Qt::AlignLeft, text);
                 if (!why.isEmpty()) {
                     p.setFont(body);
                     p.setPen(Qt::black);
                     p.drawText(QRectF(pad, top + pad + verdictHeight + l.mm(1), inner, whyHeight),
                                Qt::TextWordWrap | Qt::AlignLeft, why);
                 }
             }});
    }

    Table summary{{16, 42, 42}, {"Kanal", "Kalibracija", "Test"}, {}, {}};
    for (const auto& [channel, calibration, test] : report.summary) {
        summary.rows.push_back({channel, calibration, test});
        const bool bad =
            calibration.startsWith(QLatin1String("greška"))
            || (test != QLatin1String("ispravno") && test != QLatin1String("nije testiran"));
        summary.alert.push_back(bad);
    }
    blocks.push_back(l.paragraph(l.heading(), QStringLiteral("Pregled po kanalima")));
    blocks.push_back(l.table(summary));
    blocks.push_back(space(3));

    blocks.push_back(l.paragraph(l.heading(), QStringLiteral("Kalibracija")));
    if (!report.calibrationNote.isEmpty())
        blocks.push_back(l.paragraph(l.body(), report.calibrationNote));
    for (const CalibrationSection& section : report.calibration) {
        Table table{{10, 14, 22, 22, 16, 16},
                    {"Tačka", "Referenca", "Zatečeno (as found)", "Ostavljeno (as left)",
                     "Odstupanje", "Ocena"},
                    {},
                    {}};
        for (const CalibrationLine& line : section.lines) {
            table.rows.push_back({QString::number(line.point), line.label, line.asFound,
                                  line.asLeft, line.deviation, line.verdict});
            table.alert.push_back(line.failed);
        }
        Block title =
            l.paragraph(l.bold(), section.channel + QStringLiteral(" – ") + section.verdict,
                        section.ok ? QColor(Qt::black) : kFailColour);
        Block body = l.table(table);
        // A channel's title stays with its table.
        blocks.push_back({title.height + body.height, [title, body](QPainter& p, double top) {
                              title.paint(p, top);
                              body.paint(p, top + title.height);
                          }});
    }
    blocks.push_back(space(3));

    blocks.push_back(l.paragraph(l.heading(), QStringLiteral("Test")));
    blocks.push_back(l.paragraph(l.body(), report.testNote));
    for (const TestSection& section : report.tests) {
        Table table{{9, 12, 15, 15, 16, 14, 19},
                    {"Tačka", "Referenca", "Izmereno [" + section.unit + "]",
                     "Očekivano [" + section.unit + "]", "Odstupanje", "Granica", "Ocena"},
                    {},
                    {}};
        for (const TestLine& line : section.lines) {
            table.rows.push_back({QString::number(line.point), line.label, line.measured,
                                  line.expected, line.deviation, line.limit, line.verdict});
            table.alert.push_back(line.outside);
        }
        Block title =
            l.paragraph(l.bold(), section.channel + QStringLiteral(" – ") + section.verdict,
                        section.pass ? QColor(Qt::black) : kFailColour);
        const double chartHeight = l.mm(55);
        const ResultChart chart = section.chart;
        const QFont& chartFont = l.chartFont();
        Block note = l.paragraph(l.small(), section.note);
        Block body = l.table(table);
        const double gap = l.mm(1.5);
        blocks.push_back({title.height + chartHeight + gap + note.height + body.height + l.mm(2),
                          [=](QPainter& p, double top) {
                              title.paint(p, top);
                              double y = top + title.height;
                              paintChart(p, QRectF(0, y, width, chartHeight), chart, chartFont);
                              y += chartHeight + gap;
                              note.paint(p, y);
                              body.paint(p, y + note.height);
                          }});
    }
    return blocks;
}

} // namespace

bool WriteReportPdf(const BoardReport& report, const QString& fileName, QString& errorText)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        errorText =
            QStringLiteral("Cannot write the report \"%1\": %2").arg(fileName, file.errorString());
        return false;
    }
    QPdfWriter writer(&file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(16, 14, 16, 14), QPageLayout::Millimeter);
    // The charts are laid out by the screen's font metrics: the page's units are made the
    // screen's, so text on the page and in the charts keeps its size.
    const QScreen* screen = QGuiApplication::primaryScreen();
    writer.setResolution(screen != nullptr ? qRound(screen->logicalDotsPerInchY()) : 96);
    writer.setTitle(report.title);
    writer.setCreator(QStringLiteral("quellcal"));

    const Layout layout(writer);
    const std::vector<Block> blocks = layoutReport(report, layout);
    const Block footer = layout.paragraph(layout.small(), QStringLiteral("x"));
    const double bottom = writer.height() - footer.height - layout.mm(2);

    // Pages: each block where it starts, a block that does not fit on a fresh page.
    std::vector<std::vector<std::pair<const Block*, double>>> pages(1);
    double y = 0;
    for (const Block& block : blocks) {
        if (y + block.height > bottom && y > 0) {
            pages.emplace_back();
            y = 0;
        }
        pages.back().emplace_back(&block, y);
        y += block.height;
    }

    QPainter painter;
    if (!painter.begin(&writer)) {
        errorText = QStringLiteral("Cannot write the report \"%1\"").arg(fileName);
        file.cancelWriting();
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    QString board;
    for (const auto& [label, value] : report.header)
        if (label == QLatin1String("Ploča"))
            board = value;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (page > 0)
            writer.newPage();
        for (const auto& [block, top] : pages[page])
            block->paint(painter, top);
        const Block pageFooter =
            layout.paragraph(layout.small(),
                             QStringLiteral("VRQ-PB ploča %1 · strana %2 od %3")
                                 .arg(board)
                                 .arg(page + 1)
                                 .arg(pages.size()),
                             kRuleColour);
        pageFooter.paint(painter, writer.height() - footer.height);
    }
    if (!painter.end() || !file.commit()) {
        errorText =
            QStringLiteral("Cannot write the report \"%1\": %2").arg(fileName, file.errorString());
        return false;
    }
    errorText.clear();
    return true;
}

} // namespace quell
