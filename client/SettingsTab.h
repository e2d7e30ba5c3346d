#pragma once

#include "client/LineProtocol.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace quell {

class ClientSettings;
class UpDown;
struct AnswerEffects;

// The "Settings" page of the main window: host and port, the serial settings the server uses,
// the device and MC addresses. It shows a ClientSettings record and collects the user's changes
// back into one; it never talks to the link itself. Controls carry their names as object names.
class SettingsTab : public QWidget {
    Q_OBJECT
public:
    explicit SettingsTab(QWidget* parent = nullptr);

    // Shows the values of settings; the Via-MC rule, then the site's View* locks decide which
    // controls are enabled.
    void showSettings(const ClientSettings& settings);
    // Copies what the controls show into settings (host, port, serial words, addresses).
    void collect(ClientSettings& settings) const;
    // Shows the settings words the server echoed in an answer line.
    void showEcho(const AnswerEffects& effects);
    // While the link is started, host, port and addresses are locked; after a stop they follow
    // the Via-MC rule and the site's locks in settings again.
    void setLinkStarted(bool started, const ClientSettings& settings);
    // Takes the "Via MC:" box and the MC address row off the page, for a program that never
    // routes through an MC.
    void hideMcControls();

signals:
    // The user changed a value the link uses but the server is not told about (host, port, MC
    // address, Via MC).
    void edited();
    // The user changed a serial setting: the word goes to the server with the next line.
    void wordEdited(quell::LineProtocol::SettingsWord word);
    // The user changed the device address: every entry is to be read again there.
    void addressEdited();

private:
    void applyViaMcRule();
    void editEnterPressed(QLineEdit* edit, UpDown* upDown);

    QLineEdit* editHost_ = nullptr;
    QLineEdit* editPort_ = nullptr;
    QComboBox* comboBaud_ = nullptr;
    QComboBox* comboDataBits_ = nullptr;
    QComboBox* comboParity_ = nullptr;
    QComboBox* comboStopBits_ = nullptr;
    QLineEdit* editTimeOut_ = nullptr;
    UpDown* upDownTimeOut_ = nullptr;
    QLineEdit* editRetries_ = nullptr;
    UpDown* upDownRetries_ = nullptr;
    QLineEdit* editAddress_ = nullptr;
    UpDown* upDownAddress_ = nullptr;
    QCheckBox* checkViaMc_ = nullptr;
    QLineEdit* editMcAddress_ = nullptr;
    UpDown* upDownMcAddress_ = nullptr;
};

} // namespace quell
