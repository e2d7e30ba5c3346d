#pragma once

#include "view/DisplayHelpers.h"
#include "view/MeasurementViewModel.h"

#include <QObject>

#include <array>
#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPoint;
class QWidget;

namespace quell {

class TrendChart;

// The page "Detalji": group "Lin" (the ten linear channels), group "Wood" (the eight moisture
// channels and the wood input's header line) and the trend chart Chart1. It makes the controls
// with their names, draws what a refresh of the view model changed and reports the operator's
// actions as signals; what they do is the window's business. The page owns its controls.
class DetaljiPage : public QObject {
    Q_OBJECT
public:
    // Makes the controls on page (the layout places them later).
    explicit DetaljiPage(QWidget* page);

    QGroupBox* lin() const { return lin_; }
    QGroupBox* wood() const { return wood_; }
    TrendChart* chart() const { return chart1_; }
    QLineEdit* compTemp() const { return compTemp_; }
    // "Keep zero compensation" and "Beep".
    QCheckBox* keepZero() const { return keepZero_; }
    QCheckBox* beep() const { return beep_; }
    // The Calib edit of a wood channel and the probe label LST of a wood channel.
    QLineEdit* calW(int woodChannel) const;
    QLabel* probeLabel(int woodChannel) const;

    // Puts the state of the page's groups and boxes a refresh depends on into controls.
    void readControls(ViewControls& controls) const;
    // Sets the texts a refresh changed; edits with the keyboard focus keep what is typed.
    void apply(const ViewRefresh& refresh);
    // The read-outs are drawn in grey text while values do not arrive; the texts stay.
    void showLive(bool live);
    // Entry edits whose value waits to be sent to the board (loaded from a value set or the
    // database) are drawn like the grid draws such cells.
    void showUnsent(const std::function<bool(vrqpb::Entry)>& unsent);
    // Whether an edit is drawn as waiting to be sent.
    bool showsUnsent() const { return unsentShown_ > 0; }
    bool live() const { return live_; }

signals:
    // Enter in one of the entry edits.
    void entryEditReturn(QLineEdit* edit);
    // Right click on a Cal or CalW edit, before its popup PopupMenuCal opens.
    void calEditMenu(QLineEdit* edit);
    // "Get Cal" of that popup.
    void getCalChosen();
    // Right click on LST0..LST7, before the popup PopupMenuWoodState opens.
    void probeMenu(int woodChannel);
    // An item of that popup.
    void probeStateChosen(ProbeStateItem item);
    // Right click on the chart.
    void chartMenu(const QPoint& global);
    // "GetCalW" and "Keep zero compensation" clicked.
    void getCalWClicked();
    void keepZeroClicked();

private:
    QLabel* label(QWidget* box, const QString& name);
    QLineEdit* entryEdit(QWidget* box, const QString& name, const QString& hint = {});
    QLineEdit* calEdit(QWidget* box, const QString& name, const QString& hint);
    void buildLin();
    void buildWood();
    void buildMenus(QWidget* page);

    struct LinRowControls {
        QLabel *adcError, *voltage, *voltDone, *voltError, *value, *valueDone, *valueError;
        QLineEdit* filter;
        std::vector<QLineEdit*> cal;
    };
    struct WoodRowControls {
        QLabel *voltage, *voltDone, *voltError, *value, *valueDone, *valueError, *config,
            *deviation;
        QLineEdit* calib;
    };

    bool live_ = true;
    int unsentShown_ = 0;
    // Every edit that writes an entry, with that entry.
    std::vector<std::pair<QLineEdit*, vrqpb::Entry>> entryEdits_;
    QGroupBox* lin_ = nullptr;
    QGroupBox* wood_ = nullptr;
    TrendChart* chart1_ = nullptr;
    std::array<LinRowControls, 10> linRows_{};
    std::array<WoodRowControls, vrqpb::kWoodChannels> woodRows_{};
    QLabel* adcE4_ = nullptr;
    QLabel* select_ = nullptr;
    QLabel* swap_ = nullptr;
    QLabel* count_ = nullptr;
    QLineEdit* compTemp_ = nullptr;
    QCheckBox* keepZero_ = nullptr;
    QCheckBox* beep_ = nullptr;
    QLineEdit* filtMC_ = nullptr;
    QMenu* popupMenuCal_ = nullptr;
    QMenu* popupMenuWoodState_ = nullptr;
};

} // namespace quell
