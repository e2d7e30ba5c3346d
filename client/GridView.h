#pragma once

#include <QString>
#include <QTableView>

namespace quell {

// The table view both programs' parameter grids are: a name column and a value column, rows of
// one height without row headers, one cell selected at a time, value cells edited in place.
// While it has no rows it says in its empty area why (a description that did not load), and it
// starts its name column wide enough for the longest name unless the user left a width. GUI
// thread.
class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(QWidget* parent = nullptr);

    // What the grid says while it has no rows (why, and what to do); empty for nothing.
    void setEmptyText(const QString& text);
    const QString& emptyText() const { return emptyText_; }
    // The width of the name column that shows the longest name whole (with its cell margins).
    int nameColumnWidthForLongest() const;
    // Sizes the name column: a width the settings file kept (within 30..2000, so that a damaged
    // file neither hides the value column nor leaves a sliver), or without one the width that
    // shows the longest name whole.
    void startNameColumn(bool stored, int storedWidth);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString emptyText_;
};

// What an empty grid says when the description did not load: that none is loaded, the file, why
// (the loader's words), and how to load another through the context menu's action loadCaption;
// the chosen file is kept in settingsFile.
QString noDescriptionText(const QString& file, const QString& why, const QString& loadCaption,
                          const QString& settingsFile);

} // namespace quell
