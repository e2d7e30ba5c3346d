#pragma once

#include "client/DeviceLink.h"
#include "client/Dialogs.h"
#include "compact/CompactScheduler.h"
#include "compact/CompactSettings.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QAction;
class QMenu;
class QTabWidget;

namespace quell {
class GridView;
class LinkStatusBar;
class SettingsTab;
} // namespace quell

namespace quell::compact {

class CompactLink;
class CompactTableModel;

// The compact configurator's main window: the settings tab (no MC controls), the grid, the
// context menu, and the owner of the settings file and the link. Controls carry their names as
// object names. It maps controls to settings and calls on CompactLink; what a line carries and
// how an answer is decoded live in CompactScheduler.
class TClientMain : public QWidget {
    Q_OBJECT
public:
    // The window with its controls; FormCreate() then reads the settings and starts up.
    explicit TClientMain(QWidget* parent = nullptr);
    ~TClientMain() override;

    // Start-up: settings file from the arguments (program name first), settings, protocol
    // description, link, folder "Vals" in the working directory (which stays where it was).
    void FormCreate(const QStringList& arguments);

    // The link, its table and the value cells.
    CompactLink& link() { return *link_; }
    const QString& SettingsFileName() const { return settingsFileName_; }
    const QString& WorkDir() const { return workDir_; }

    // Queues a write of the entry's current Value (the view's and the grid's way to the board).
    bool WriteParameter(std::uint8_t entry);
    // Takes a typed text into the entry for a write: false, with a message that says why, when
    // it is no number the entry takes or lies outside the entry's limits (nothing changes then).
    bool takeTypedText(std::uint8_t entry, const std::string& text);
    // The text of an entry's value cell.
    QString cellText(std::uint8_t entry) const;
    // Selects the value cell of an entry's row.
    void SelectRow(std::uint8_t entry);

    // Places the view window from [View] and shows or hides it (called by the view when it is
    // made; not owned).
    void ReadViewPlacement(QWidget* view);
    // The caption of "View": "Hide view" while the view is shown, "View" while it is hidden.
    void ShowViewState(bool visible);

    // Menu operations, named as the technicians know them.
    void MLoadProtocolClick();
    void MLoadValueClick();
    void MSaveValueClick();
    void MRefreshClick();
    void MSuspendResumeClick();
    void MStartStopClick();
    void MViewClick();
    // Loads ProtocolFileName into the table and rebuilds the rows; false with "Error protocol".
    bool LoadProtocolFile();
    // A key in a row's value cell: Enter writes the typed text when the entry takes it.
    void ValueListEditorKeyDown(int row, int key);

signals:
    // An answer line was applied (the view refreshes).
    void answerApplied();
    // "View" changed the view's visibility.
    void viewToggled(bool visible);
    // The link started, stopped, connected, was lost, paused or resumed: whether values arrive.
    void valuesLiveChanged(bool live);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void settingsEdited();
    void linkStateChanged(LinkState state);
    // The grid, the status bar and the view follow whether values arrive now.
    void showLiveness();
    void showAnswer(const CompactAnswerEffects& effects);
    void reloadForAddress();
    void fillEmptyCell(std::uint8_t entry);
    void showMessage(Dialogs::Kind kind, const QString& text);
    Dialogs::FileRequest valueFileRequest() const;

    CompactLink* link_ = nullptr;
    CompactSettings settings_;
    QString settingsFileName_;
    QString workDir_;
    QPointer<QWidget> view_;

    QTabWidget* pageControl_ = nullptr;
    SettingsTab* settingsTab_ = nullptr;
    GridView* grid_ = nullptr;
    CompactTableModel* model_ = nullptr;
    LinkStatusBar* statusBar_ = nullptr;

    QMenu* popupMenu_ = nullptr;
    QAction* mLoadProtocol_ = nullptr;
    QAction* mLoadValue_ = nullptr;
    QAction* mSaveValue_ = nullptr;
    QAction* mRefresh_ = nullptr;
    QAction* mSuspendResume_ = nullptr;
    QAction* mStartStop_ = nullptr;
    QAction* mView_ = nullptr;
    QAction* mHelp_ = nullptr;
    QAction* mExit_ = nullptr;
};

} // namespace quell::compact
