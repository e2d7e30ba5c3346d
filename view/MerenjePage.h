#pragma once

#include "view/MeasurementViewModel.h"

#include <QColor>
#include <QObject>

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

class QAbstractButton;
class QEvent;
class QMenu;
class QWidget;
class TVesmarLiquidIndicator;

namespace quell {

class ReferenceSelection;

// The page "Merenje": the eighteen indicators and the eight reference selector groups of the
// calibration board. It makes the controls with their names, draws the indicators the view model
// changed, mirrors selector values and turns clicks on the selectors into the writes of
// ReferenceSelection. The page owns its controls.
class MerenjePage : public QObject {
    Q_OBJECT
public:
    // Makes the controls on page; clicks write through selection (not owned).
    MerenjePage(QWidget* page, ReferenceSelection& selection);

    // Applies the indicators that changed (all of them when changed is all set).
    void applyIndicators(const std::array<IndicatorState, 18>& states,
                         const std::bitset<18>& changed);
    // Indicators whose values are not live (the link does not run, or their entry's last
    // answers failed) light in a colour close to their unlit segments; the text stays readable.
    void showStale(const std::bitset<18>& stale);
    const std::bitset<18>& stale() const { return stale_; }
    // Mirrors a selector group (0..7) from its entry's raw value without writing.
    void showSelection(int group, std::int16_t value);
    // Mirrors the selectors among the answered entries from the snapshot.
    void showAnswered(const ViewSnapshot& snapshot, const std::vector<std::uint16_t>& answered);
    // "Select All" of the check-box group whose popup opened last.
    void selectAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildIndicators(QWidget* page);
    void buildSelectors(QWidget* page);
    std::uint8_t selectorMask(int group) const;
    void selectorClicked(int group, int item);

    ReferenceSelection& selection_;
    void paintIndicator(std::size_t i);

    std::array<::TVesmarLiquidIndicator*, 18> indicators_{};
    // The colour each indicator's state asks for, and which ones are shown as old.
    std::array<QColor, 18> colours_{};
    std::bitset<18> stale_;
    std::array<std::array<QAbstractButton*, 9>, 8> selectorItems_{};
    // The items painted red, as a mask per group.
    std::array<std::uint8_t, 8> painted_{};
    QMenu* popupMenuGroupBoxCheckAll_ = nullptr;
    int selectAllGroup_ = 4;
};

} // namespace quell
