#pragma once

#include "client/ClientSettings.h"
#include "client/DeviceLink.h"
#include "client/Dialogs.h"
#include "client/LinkController.h"
#include "client/ParameterWindow.h"
#include "client/RequestScheduler.h"

#include "protocol/UCommands.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class QAction;
class QMenu;
class QTabWidget;

namespace quell {

class LinkStatusBar;
class ParameterGrid;
class ParameterTableModel;
class SettingsTab;
class ViewLink;

// The main window of the calibration station: the settings tab, the parameter grid, the context
// menu, and the owner of the settings file and the link. Controls carry their names as object
// names. The window maps its controls to the settings and calls on the link controller; what a
// line carries, how an answer is applied and when to reconnect live there.
class TClientMain : public QWidget, public ParameterWindow {
    Q_OBJECT
public:
    // The window with its controls; FormCreate() then reads the settings and starts up.
    explicit TClientMain(QWidget* parent = nullptr);
    ~TClientMain() override;

    // Start-up: settings file from the arguments (program name first), working directory,
    // settings, protocol description, link, folder "Vals".
    void FormCreate(const QStringList& arguments);
    // Connects the measurement view (not owned; nullptr for none).
    void setViewLink(ViewLink* view);

    // Queues a write of a value text to an entry; false (with a message) when the link is not
    // started, the text is not a number or the queue is full.
    bool WriteParameter(std::uint16_t index, const QString& valueText);
    // Queues a one-off read of an entry; false (with a message) as for WriteParameter.
    bool ReadParameter(std::uint16_t index);
    // The direct request last queued or taken from the queue.
    TSendCommand currentCommand() const { return link_->currentCommand(); }
    // The link as the view and the procedures see it: the controller.
    LinkController& link() { return *link_; }

    // The parameter table. Lock it through scheduler() while the link runs.
    const TProtocol& protocol() const { return link_->protocol(); }
    // The scheduler of the link, which also guards the table.
    RequestScheduler& scheduler() { return link_->scheduler(); }
    const QString& SettingsFileName() const override { return settingsFileName_; }
    const QString& WorkDir() const override { return workDir_; }
    bool Started() const override { return link_->started(); }
    // Whether the link is connected now.
    bool isConnected() const { return link_->isConnected(); }

    // Menu and link operations, named as the operators know them.
    void MStartStopClick() override;
    void MSuspendResumeClick();
    void MSendAllClick();
    void MLoadProtocolClick();
    void MClearClick() override;
    void MLoadValueClick();
    void MSaveValueClick();
    void MRefreshClick();
    void MViewClick();
    void MEnableClick();
    void MDisableClick();
    void MEnableAllClick();
    void MDisableAllClick();
    // Loads ProtocolFileName into the table and rebuilds the rows; false with a message.
    bool LoadProtocolFile();
    void ShowViewState(bool visible) override;
    void SelectRow(std::uint16_t entry) override;
    QString cellText(std::uint16_t entry) const override;
    void setCellText(std::uint16_t entry, const QString& text) override;
    // A key in a row's value cell (Enter writes, Esc restores); row 0 is entry 1.
    void ValueListEditorKeyDown(int row, int key);

signals:
    // The window has closed: the link is stopped and the settings are written.
    void formClosed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Warns once of description lines the loader skipped as unknown.
    void warnOfUnknownLines();
    void buildControls();
    void buildMenus();
    void wireLink();
    void settingsEdited();
    void linkStateChanged(LinkState state);
    // The grid and the status bar follow whether values arrive now.
    void showLiveness();
    // The empty grid says why no description is loaded and how to load one.
    void showLoadFailure(const QString& why);
    void answerApplied(const AnswerEffects& effects);
    void reloadForAddress();
    void gridMousePressed(const QPoint& pos, Qt::MouseButton button);
    void showMessage(Dialogs::Kind kind, const QString& text);
    void editEntries(const std::function<void(TProtocol&)>& edit);

    LinkController* link_ = nullptr;
    ClientSettings settings_;
    QString settingsFileName_;
    QString workDir_;
    ViewLink* view_ = nullptr;
    LinkState shownState_ = LinkState::Stopped;
    // A view reset after cells put in from outside is on its way.
    bool viewResetPending_ = false;

    QTabWidget* pageControl_ = nullptr;
    SettingsTab* settingsTab_ = nullptr;
    ParameterGrid* grid_ = nullptr;
    ParameterTableModel* model_ = nullptr;
    LinkStatusBar* statusBar_ = nullptr;

    QMenu* popupMenu_ = nullptr;
    QMenu* selectMenu_ = nullptr;
    QAction* mLoadProtocol_ = nullptr;
    QAction* mClear_ = nullptr;
    QAction* mLoadValue_ = nullptr;
    QAction* mSaveValue_ = nullptr;
    QAction* mSendAll_ = nullptr;
    QAction* mRefresh_ = nullptr;
    QAction* mSuspendResume_ = nullptr;
    QAction* mStartStop_ = nullptr;
    QAction* mView_ = nullptr;
    QAction* mHelp_ = nullptr;
    QAction* mExit_ = nullptr;
    QAction* mEnable_ = nullptr;
    QAction* mDisable_ = nullptr;
    QAction* mEnableAll_ = nullptr;
    QAction* mDisableAll_ = nullptr;
};

} // namespace quell
