#pragma once

// Reads a PDF back with poppler's tools (poppler-utils): its text, and its pages as images.

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace quell::reporttest {

// The text of every page, laid out as on the page.
inline QString pdfText(const QString& file)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext (poppler-utils) failed on " << file.toStdString() << ": "
                      << tool.errorString().toStdString()
                      << tool.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// Every page as an image at 40 dots per inch, in order; the images are made in folder.
inline std::vector<QImage> pdfPages(const QString& file, const QString& folder)
{
    const QString prefix = QDir(folder).filePath(QStringLiteral("page"));
    QDir dir(folder);
    for (const QString& old : dir.entryList({QStringLiteral("page*.png")}))
        dir.remove(old);
    QProcess tool;
    tool.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"), file, prefix});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        ADD_FAILURE() << "pdftoppm (poppler-utils) failed on " << file.toStdString() << ": "
                      << tool.errorString().toStdString()
                      << tool.readAllStandardError().toStdString();
        return {};
    }
    // page-1.png ... page-N.png, the number padded to the width of the last.
    QStringList names = dir.entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    std::vector<QImage> pages;
    for (const QString& name : names)
        pages.emplace_back(dir.filePath(name));
    return pages;
}

// The pixels of image within tolerance of colour in each channel.
inline int countColour(const QImage& image, const QColor& colour, int tolerance)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance
                && std::abs(c.green() - colour.green()) <= tolerance
                && std::abs(c.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    return count;
}

} // namespace quell::reporttest
