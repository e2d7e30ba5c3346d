#pragma once

#include <QString>

#include <cstdint>

namespace quell {

// What the measurement view asks of the parameter window, which lives in a lower layer than the
// view: where the settings file and its folder are, start or stop the link as the menu does,
// clear the value cells, select an entry's row and follow the view's visibility in the menu.
// GUI thread.
class ParameterWindow {
public:
    virtual ~ParameterWindow() = default;

    // The absolute settings file name.
    virtual const QString& SettingsFileName() const = 0;
    // The folder of the settings file (the working directory).
    virtual const QString& WorkDir() const = 0;
    // Whether the user has started the link (it may still be connecting).
    virtual bool Started() const = 0;
    // "Start"/"Stop" of the menu.
    virtual void MStartStopClick() = 0;
    // Empties every value cell ("Obriši sve vrednosti").
    virtual void MClearClick() = 0;
    // Selects the value cell of an entry's row (entries outside the table are ignored).
    virtual void SelectRow(std::uint16_t entry) = 0;
    // The text of an entry's value cell (empty beyond the table).
    virtual QString cellText(std::uint16_t entry) const = 0;
    // Puts a text into an entry's value cell without sending it (a value read from a file or the
    // database); entries beyond the table are ignored.
    virtual void setCellText(std::uint16_t entry, const QString& text) = 0;
    // Caption of the View item after the view was shown or hidden.
    virtual void ShowViewState(bool visible) = 0;
};

} // namespace quell
