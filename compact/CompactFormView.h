#pragma once

#include "view/Stopwatch.h"

#include <QHash>
#include <QString>
#include <QWidget>

#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QTimer;
class TVesmarLiquidIndicator;

namespace quell::compact {

class TClientMain;

// The compact configurator's view "View": the live values of the board on indicators
// ("LEDMeasure") and its analog and wood channels in detail ("Sumarum"), where filters and
// calibration constants are typed or taken from the measured voltages. What each control shows
// comes from CompactViewModel; writes go through the main window's WriteParameter. Controls carry
// their names as object names. GUI thread.
class TFormView : public QWidget {
    Q_OBJECT
public:
    // The view over the main window's link (not owned; it outlives the view). Placed and shown
    // by the main window's ReadViewPlacement.
    explicit TFormView(TClientMain& main, QWidget* parent = nullptr);

    // Refreshes the tab in view from the table (after every answer line).
    void RefreshView();
    // While values do not arrive (stopped, lost, paused) the indicators light dimmed.
    void showLive(bool live);
    // Enter in an edit: the entry takes the text, then it is written.
    void EditKeyDown(QLineEdit* edit);
    // "GetCal0", "GetCal1", "GetCalW": the measured voltages become the calibration constants.
    void ButtonCal0Click();
    void ButtonCal1Click();
    void ButtonCalWClick();
    // "Get Cal" of the edit whose menu was opened last.
    void GetCal1Click();
    // The wood-state menu of the input whose label was clicked last.
    void WoodStateClick(int item);
    // One stopwatch tick.
    void TimerStopTimer();
    // The stopwatch back to zero.
    void Reset1Click();
    // The entry the last popup menu refers to (256: none).
    std::uint16_t contextEntry() const { return contextEntry_; }

private:
    QWidget* buildMeasure();
    QWidget* buildSumarum();
    QLabel* label(const QString& name, QWidget* parent);
    QLineEdit* edit(const QString& name, std::uint8_t entry, QWidget* parent);
    void calibrateFrom(std::uint8_t firstTarget, std::uint8_t firstSource, int count);
    bool takeText(std::uint8_t entry, const QString& text);

    TClientMain& main_;
    QTabWidget* pages_ = nullptr;
    QCheckBox* checkLin_ = nullptr;
    QCheckBox* checkWood_ = nullptr;
    QCheckBox* checkCompTemp_ = nullptr;
    QGroupBox* groupLin_ = nullptr;
    QGroupBox* groupWood_ = nullptr;
    TVesmarLiquidIndicator* ledTime_ = nullptr;
    QHash<QString, TVesmarLiquidIndicator*> indicators_;
    QHash<QString, QLabel*> labels_;
    QHash<QString, QLineEdit*> edits_;
    QMenu* popupCal_ = nullptr;
    QMenu* popupWoodState_ = nullptr;
    QMenu* popupStoper_ = nullptr;
    QTimer* timerStop_ = nullptr;
    Stopwatch stopwatch_;
    std::uint16_t contextEntry_ = 256;
    bool live_ = false;
};

} // namespace quell::compact
