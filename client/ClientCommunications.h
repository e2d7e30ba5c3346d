#pragma once

#include "client/ClientSettings.h"
#include "client/DeviceLink.h"
#include "client/Dialogs.h"
#include "client/ParameterWindow.h"
#include "client/RequestScheduler.h"

#include "protocol/UCommands.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QTabWidget;
class QTableView;
class QTimer;

namespace quell {

class ParameterTableModel;
class TClientHandleThread;
class UpDown;
class ViewLink;

// The main window of the calibration station: the settings tab, the parameter grid, the context
// menu, and the owner of the parameter table, the settings file and the link. Controls carry
// their names as object names. The window turns events into calls on the scheduler and the
// worker; what a line carries and how an answer is applied live there.
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
    TSendCommand currentCommand() const { return scheduler_.currentCommand(); }
    // The link as the view and the procedures see it.
    DeviceLink& link();

    // The parameter table. Lock it through scheduler() while the link runs.
    const TProtocol& protocol() const { return protocol_; }
    // The scheduler of the link, which also guards the table.
    RequestScheduler& scheduler() { return scheduler_; }
    const QString& SettingsFileName() const override { return settingsFileName_; }
    const QString& WorkDir() const override { return workDir_; }
    bool Started() const override { return started_; }
    // Whether the link is connected now.
    bool isConnected() const;

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
    // Writes [Base] Path for the database window.
    void StoreBasePath(const QString& path);
    // A key in a row's value cell (Enter writes, Esc restores); row 0 is entry 1.
    void ValueListEditorKeyDown(int row, int key);

signals:
    // The window has closed: the link is stopped and the settings are written.
    void formClosed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void applySettingsToControls();
    void collectControlsIntoSettings();
    void pushLinkSettings();
    void applyViaMcRule();
    void updateLinkControls();
    void setLinkControlsConnected(bool connected);
    bool ConnectToServer(QString* reason);
    void disconnectFromServer();
    void StartReconnect();
    void SenderTimerTimer();
    void reloadForAddress();
    void setSettingsWordChanged(LineProtocol::SettingsWord word);
    void editEnterPressed(QLineEdit* edit, UpDown* upDown);
    void answerReady(TClientHandleThread* worker);
    void planReady(TClientHandleThread* worker);
    void connectionLost(TClientHandleThread* worker);
    void selectedCellChanged();
    void gridMousePressed(const QPoint& pos, Qt::MouseButton button);
    bool queueDirectRequest(std::uint16_t index, const QString& what,
                            const std::function<bool()>& queue);
    void resumeIfPaused();
    void showMessage(Dialogs::Kind kind, const QString& text);
    std::uint16_t selectedEntry() const;
    static Dialogs::FileRequest valueSetRequest();
    QString rowNamesAndSection(QStringList& names) const;

    class Link;
    std::unique_ptr<Link> link_;
    TProtocol protocol_;
    RequestScheduler scheduler_{protocol_};
    ClientSettings settings_;
    QString settingsFileName_;
    QString workDir_;
    bool started_ = false;
    ViewLink* view_ = nullptr;
    QPointer<TClientHandleThread> worker_;
    QTimer* senderTimer_ = nullptr;

    QTabWidget* pageControl_ = nullptr;
    QGroupBox* groupBoxSettings_ = nullptr;
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
    QTableView* grid_ = nullptr;
    ParameterTableModel* model_ = nullptr;

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
