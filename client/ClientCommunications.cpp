#include "client/ClientCommunications.h"

#include "client/ParameterTableModel.h"
#include "client/TClientHandleThread.h"
#include "client/UpDown.h"
#include "client/ValueCellDelegate.h"
#include "client/ValueSetFile.h"
#include "client/ViewLink.h"
#include "protocol/ConvertError.h"
#include "protocol/NumberText.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace quell {

namespace {

constexpr int kReconnectMs = 3000;
constexpr int kConnectTimeoutMs = 10000;
constexpr int kUserNameLength = 20;
constexpr int kRowHeight = 18;

const QString kProtocolFilter =
    QStringLiteral("Protocol descriptions|*.var|Values|*.val|All files|*.*");
const QString kValueFilter =
    QStringLiteral("Protocol description|*.var|Values|*.val|All files|*.*");

// Forwards the grid's mouse presses, so the window can open the entry menu on the name column.
class GridMouseFilter : public QObject {
public:
    GridMouseFilter(QObject* parent, std::function<void(const QPoint&, Qt::MouseButton)> onPress)
        : QObject(parent), onPress_(std::move(onPress))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            onPress_(mouse->position().toPoint(), mouse->button());
            if (mouse->button() == Qt::RightButton)
                return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(const QPoint&, Qt::MouseButton)> onPress_;
};

QLineEdit* namedEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QComboBox* namedCombo(QWidget* parent, const char* name, const QStringList& items)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    combo->addItems(items);
    return combo;
}

QString loginName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("LOGNAME");
    return name.left(kUserNameLength);
}

} // namespace

// The window's link as the view and the procedures see it.
class TClientMain::Link : public DeviceLink {
public:
    explicit Link(TClientMain& main) : main_(main) {}
    bool WriteParameter(std::uint16_t entry, const std::string& valueText) override
    {
        return main_.WriteParameter(entry, QString::fromStdString(valueText));
    }
    bool ReadParameter(std::uint16_t entry) override { return main_.ReadParameter(entry); }
    TSendCommand currentCommand() const override { return main_.currentCommand(); }
    LinkState linkState() const override
    {
        if (!main_.started_)
            return LinkState::Stopped;
        return main_.isConnected() ? LinkState::Connected : LinkState::Reconnecting;
    }
    void readTable(const std::function<void(const TProtocol&)>& read) const override
    {
        main_.scheduler_.withTable(read);
    }
    void readTableAndCells(
        const std::function<void(const TProtocol&, const std::vector<std::string>&)>& read)
        const override
    {
        main_.scheduler_.withTableAndCells(read);
    }
    void editTable(const std::function<void(TProtocol&)>& edit) override
    {
        main_.scheduler_.editTable(edit);
    }

private:
    TClientMain& main_;
};

DeviceLink& TClientMain::link()
{
    return *link_;
}

TClientMain::TClientMain(QWidget* parent) : QWidget(parent), link_(std::make_unique<Link>(*this))
{
    setObjectName(QStringLiteral("ClientMain"));
    setWindowTitle(QStringLiteral("Client"));
    setWindowFlag(Qt::Tool, false);
    senderTimer_ = new QTimer(this);
    senderTimer_->setObjectName(QStringLiteral("SenderTimer"));
    senderTimer_->setSingleShot(true);
    connect(senderTimer_, &QTimer::timeout, this, &TClientMain::SenderTimerTimer);
    buildControls();
    buildMenus();
}

TClientMain::~TClientMain()
{
    disconnectFromServer();
}

void TClientMain::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    pageControl_ = new QTabWidget(this);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(pageControl_);

    auto* settingsPage = new QWidget;
    settingsPage->setObjectName(QStringLiteral("Settings"));
    auto* settingsLayout = new QVBoxLayout(settingsPage);
    groupBoxSettings_ = new QGroupBox(QStringLiteral("Settings"), settingsPage);
    groupBoxSettings_->setObjectName(QStringLiteral("GroupBoxSettings"));
    settingsLayout->addWidget(groupBoxSettings_);
    settingsLayout->addStretch();
    auto* form = new QFormLayout(groupBoxSettings_);
    form->setVerticalSpacing(3);

    editHost_ = namedEdit(groupBoxSettings_, "LEditHost");
    editPort_ = namedEdit(groupBoxSettings_, "LEditPort");
    comboBaud_ = namedCombo(groupBoxSettings_, "ComboBoxBaud",
                            {"1200", "2400", "4800", "9600", "14400", "19200", "57600"});
    comboDataBits_ = namedCombo(groupBoxSettings_, "ComboBoxDataB", {"7", "8"});
    comboParity_ = namedCombo(groupBoxSettings_, "ComboBoxParity", {"None", "Odd", "Even"});
    comboStopBits_ = namedCombo(groupBoxSettings_, "ComboBoxStopB", {"1", "2"});
    form->addRow(QStringLiteral("Host:"), editHost_);
    form->addRow(QStringLiteral("Port:"), editPort_);
    form->addRow(QStringLiteral("Baud Rate:"), comboBaud_);
    form->addRow(QStringLiteral("Data Bits:"), comboDataBits_);
    form->addRow(QStringLiteral("Parity:"), comboParity_);
    form->addRow(QStringLiteral("Stop Bits:"), comboStopBits_);

    auto numberRow = [&](const char* label, const char* editName, const char* upDownName,
                         int minimum, int maximum, QLineEdit*& edit, UpDown*& upDown) {
        edit = namedEdit(groupBoxSettings_, editName);
        upDown = new UpDown(minimum, maximum, edit, groupBoxSettings_);
        upDown->setObjectName(QLatin1String(upDownName));
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        row->addWidget(edit);
        row->addWidget(upDown);
        form->addRow(QLatin1String(label), row);
    };
    numberRow("TimeOut:", "LEditTOut", "UpDownTOut", ClientSettings::kTimeOutMin,
              ClientSettings::kTimeOutMax, editTimeOut_, upDownTimeOut_);
    numberRow("Retrying:", "LEditRet", "UpDownRet", ClientSettings::kRetryingMin,
              ClientSettings::kRetryingMax, editRetries_, upDownRetries_);
    numberRow("Address:", "LEditAddr", "UpDownAddr", ClientSettings::kAddressMin,
              ClientSettings::kAddressMax, editAddress_, upDownAddress_);
    checkViaMc_ = new QCheckBox(QStringLiteral("Via MC:"), groupBoxSettings_);
    checkViaMc_->setObjectName(QStringLiteral("CBViaMC"));
    checkViaMc_->setLayoutDirection(Qt::RightToLeft);
    form->addRow(checkViaMc_);
    numberRow("MC Addr:", "LEditMCAddr", "UpDownMCAddr", ClientSettings::kAddressMin,
              ClientSettings::kAddressMax, editMcAddress_, upDownMcAddress_);

    auto* tablePage = new QWidget;
    tablePage->setObjectName(QStringLiteral("Tabela"));
    auto* tableLayout = new QVBoxLayout(tablePage);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    grid_ = new QTableView(tablePage);
    grid_->setObjectName(QStringLiteral("ValueListEditor"));
    model_ = new ParameterTableModel(scheduler_, this);
    grid_->setModel(model_);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                           | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    auto* delegate = new ValueCellDelegate(
        [this](int row) {
            const std::uint16_t entry = ParameterTableModel::entryOfRow(row);
            return scheduler_.withTable([&](const TProtocol& t) {
                QStringList items;
                const TCommands& c = t.Commands[entry];
                if (c.TypeCode == kTypePickList)
                    for (int i = 0; i <= c.Max; ++i)
                        items << QString::fromStdString(c.pickItem(i));
                return items;
            });
        },
        grid_);
    grid_->setItemDelegateForColumn(1, delegate);
    connect(delegate, &ValueCellDelegate::keyPressed, this, &TClientMain::ValueListEditorKeyDown);
    // A typed cell is no answer: the view reads all cells again, as the value column shows it.
    connect(delegate, &QAbstractItemDelegate::commitData, this, [this] {
        if (view_)
            view_->tableReset();
    });
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TClientMain::selectedCellChanged);
    grid_->viewport()->installEventFilter(new GridMouseFilter(
        this, [this](const QPoint& pos, Qt::MouseButton b) { gridMousePressed(pos, b); }));
    tableLayout->addWidget(grid_);

    pageControl_->addTab(settingsPage, QStringLiteral("Settings"));
    pageControl_->addTab(tablePage, QStringLiteral("Tabela"));
    pageControl_->setCurrentWidget(tablePage);

    // Settings-tab events: only what the user does marks a word for the server.
    connect(editTimeOut_, &QLineEdit::returnPressed, this,
            [this] { editEnterPressed(editTimeOut_, upDownTimeOut_); });
    connect(editRetries_, &QLineEdit::returnPressed, this,
            [this] { editEnterPressed(editRetries_, upDownRetries_); });
    connect(editAddress_, &QLineEdit::returnPressed, this,
            [this] { editEnterPressed(editAddress_, upDownAddress_); });
    connect(editMcAddress_, &QLineEdit::returnPressed, this,
            [this] { editEnterPressed(editMcAddress_, upDownMcAddress_); });
    connect(upDownTimeOut_, &UpDown::mouseReleased, this,
            [this] { setSettingsWordChanged(LineProtocol::SettingsWord::TimeOut); });
    connect(upDownRetries_, &UpDown::mouseReleased, this,
            [this] { setSettingsWordChanged(LineProtocol::SettingsWord::Retries); });
    connect(upDownAddress_, &UpDown::mouseReleased, this, &TClientMain::reloadForAddress);
    connect(upDownMcAddress_, &UpDown::mouseReleased, this, &TClientMain::pushLinkSettings);
    const std::pair<QComboBox*, LineProtocol::SettingsWord> combos[] = {
        {comboBaud_, LineProtocol::SettingsWord::Baud},
        {comboDataBits_, LineProtocol::SettingsWord::DataBits},
        {comboParity_, LineProtocol::SettingsWord::Parity},
        {comboStopBits_, LineProtocol::SettingsWord::StopBits},
    };
    for (const auto& [combo, word] : combos) {
        const LineProtocol::SettingsWord w = word;
        connect(combo, &QComboBox::textActivated, this, [this, w] { setSettingsWordChanged(w); });
        connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                [this, w] { setSettingsWordChanged(w); });
    }
    connect(checkViaMc_, &QCheckBox::clicked, this, [this] {
        applyViaMcRule();
        pushLinkSettings();
    });
    connect(editHost_, &QLineEdit::textEdited, this, &TClientMain::pushLinkSettings);
}

void TClientMain::buildMenus()
{
    auto action = [this](const char* name, const QString& text) {
        auto* a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    mLoadProtocol_ = action("MLoadProtocol", QStringLiteral("Load Protocol"));
    mClear_ = action("MClear", QStringLiteral("Obriši sve vrednosti"));
    mLoadValue_ = action("MLoadValue", QStringLiteral("Load Value"));
    mSaveValue_ = action("MSaveValue", QStringLiteral("Save Value"));
    mSendAll_ = action("MSendAll", QStringLiteral("Send all to target"));
    mRefresh_ = action("MRefresh", QStringLiteral("Refresh current"));
    mSuspendResume_ = action("MSuspendResume", QStringLiteral("Pauza"));
    mStartStop_ = action("MStartStop", QStringLiteral("Start"));
    mView_ = action("MView", QStringLiteral("View"));
    mHelp_ = action("MHelp", QStringLiteral("Help"));
    mExit_ = action("MExit", QStringLiteral("Exit"));
    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(QStringLiteral("PopupMenu"));
    popupMenu_->addActions({mLoadProtocol_, mClear_, mLoadValue_, mSaveValue_, mSendAll_, mRefresh_,
                            mSuspendResume_, mStartStop_, mView_, mHelp_, mExit_});
    for (QAction* a : {mLoadValue_, mSaveValue_, mSendAll_, mRefresh_, mSuspendResume_})
        a->setEnabled(false);
    connect(mLoadProtocol_, &QAction::triggered, this, &TClientMain::MLoadProtocolClick);
    connect(mClear_, &QAction::triggered, this, &TClientMain::MClearClick);
    connect(mLoadValue_, &QAction::triggered, this, &TClientMain::MLoadValueClick);
    connect(mSaveValue_, &QAction::triggered, this, &TClientMain::MSaveValueClick);
    connect(mSendAll_, &QAction::triggered, this, &TClientMain::MSendAllClick);
    connect(mRefresh_, &QAction::triggered, this, &TClientMain::MRefreshClick);
    connect(mSuspendResume_, &QAction::triggered, this, &TClientMain::MSuspendResumeClick);
    connect(mStartStop_, &QAction::triggered, this, &TClientMain::MStartStopClick);
    connect(mView_, &QAction::triggered, this, &TClientMain::MViewClick);
    connect(mExit_, &QAction::triggered, this, &QWidget::close);

    mEnable_ = action("MEnable", QStringLiteral("Enable"));
    mDisable_ = action("MDisable", QStringLiteral("Disable"));
    mEnableAll_ = action("MEnableAll", QStringLiteral("Enable All"));
    mDisableAll_ = action("MDisableAll", QStringLiteral("Disable All"));
    auto* radio = new QActionGroup(this);
    for (QAction* a : {mEnable_, mDisable_}) {
        a->setCheckable(true);
        radio->addAction(a);
    }
    selectMenu_ = new QMenu(this);
    selectMenu_->setObjectName(QStringLiteral("PMSelect"));
    selectMenu_->addAction(mEnable_);
    selectMenu_->addAction(mDisable_);
    selectMenu_->addSeparator();
    selectMenu_->addAction(mEnableAll_);
    selectMenu_->addAction(mDisableAll_);
    connect(mEnable_, &QAction::triggered, this, &TClientMain::MEnableClick);
    connect(mDisable_, &QAction::triggered, this, &TClientMain::MDisableClick);
    connect(mEnableAll_, &QAction::triggered, this, &TClientMain::MEnableAllClick);
    connect(mDisableAll_, &QAction::triggered, this, &TClientMain::MDisableAllClick);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenu_->popup(mapToGlobal(pos)); });
}

void TClientMain::FormCreate(const QStringList& arguments)
{
    // 1. The queue starts empty and no send-all is pending: the scheduler is new.
    // 2. The settings file and the working directory.
    // The program's own file, wherever it was started from, names the default settings file.
    QString program = QCoreApplication::applicationFilePath();
    if (program.isEmpty())
        program = arguments.isEmpty() ? QStringLiteral("quellcal") : arguments.first();
    settingsFileName_ =
        ClientSettings::settingsFileNameFor(arguments.mid(1), program, QDir::currentPath());
    workDir_ = ClientSettings::workDirOf(settingsFileName_);
    QDir().mkpath(workDir_);
    QDir::setCurrent(workDir_);
    // 3. No link, and nothing to start until a description loads.
    started_ = false;
    mStartStop_->setEnabled(false);
    // 4. Every setting, missing ones written with their defaults.
    QString error;
    if (!settings_.load(settingsFileName_, &error))
        showMessage(Dialogs::Kind::Error, error);
    applySettingsToControls();
    // 5. The protocol description named in the settings.
    LoadProtocolFile();
    // 6. The link, when it was running at the last close.
    if (settings_.start)
        MStartStopClick();
    // 7. The folder for value sets.
    QDir().mkpath(ClientSettings::valsDirOf(workDir_));
}

void TClientMain::setViewLink(ViewLink* view)
{
    view_ = view;
    if (view_)
        ShowViewState(view_->isViewVisible());
}

void TClientMain::applySettingsToControls()
{
    editHost_->setText(settings_.host);
    editPort_->setText(settings_.port);
    comboBaud_->setEditText(settings_.baud);
    comboDataBits_->setEditText(settings_.dataBits);
    comboParity_->setEditText(settings_.parity);
    comboStopBits_->setEditText(settings_.stopBits);
    upDownTimeOut_->setPosition(settings_.timeOut);
    upDownRetries_->setPosition(settings_.retrying);
    upDownAddress_->setPosition(settings_.address);
    checkViaMc_->setChecked(settings_.enableMc);
    upDownMcAddress_->setPosition(settings_.mcAddress);
    setGeometry(settings_.leftPos, settings_.topPos, settings_.width, settings_.height);
    grid_->setColumnWidth(0, settings_.colWidth);
    applyViaMcRule();
    // The View* keys come last, so a site's lock decides the final state.
    editPort_->setEnabled(settings_.viewPort);
    comboDataBits_->setEnabled(settings_.viewDataBits);
    comboParity_->setEnabled(settings_.viewParity);
    comboStopBits_->setEnabled(settings_.viewStopBits);
    editTimeOut_->setEnabled(settings_.viewTimeOut);
    editRetries_->setEnabled(settings_.viewRetrying);
    editAddress_->setEnabled(settings_.viewAddress);
    pushLinkSettings();
}

void TClientMain::collectControlsIntoSettings()
{
    settings_.host = editHost_->text();
    settings_.port = editPort_->text();
    settings_.baud = comboBaud_->currentText();
    settings_.dataBits = comboDataBits_->currentText();
    settings_.parity = comboParity_->currentText();
    settings_.stopBits = comboStopBits_->currentText();
    settings_.timeOut = upDownTimeOut_->position();
    settings_.retrying = upDownRetries_->position();
    settings_.address = upDownAddress_->position();
    settings_.enableMc = checkViaMc_->isChecked();
    settings_.mcAddress = upDownMcAddress_->position();
    const QRect frame = geometry();
    settings_.leftPos = frame.left();
    settings_.topPos = frame.top();
    settings_.width = frame.width();
    settings_.height = frame.height();
    settings_.colWidth = grid_->columnWidth(0);
    if (view_) {
        const QRect viewFrame = view_->viewGeometry();
        settings_.viewWindow = {viewFrame.left(), viewFrame.top(), viewFrame.width(),
                                viewFrame.height(), view_->isViewVisible()};
    }
}

void TClientMain::pushLinkSettings()
{
    LinkSettings s = scheduler_.settings();
    s.baud = comboBaud_->currentText().toStdString();
    s.parity = comboParity_->currentText().toStdString();
    s.dataBits = comboDataBits_->currentText().toStdString();
    s.stopBits = comboStopBits_->currentText().toStdString();
    s.timeOutPosition = upDownTimeOut_->position();
    s.retries = editRetries_->text().toStdString();
    s.viaMC = checkViaMc_->isChecked();
    s.deviceAddress = static_cast<std::uint8_t>(upDownAddress_->position());
    s.mcAddress = static_cast<std::uint8_t>(upDownMcAddress_->position());
    s.mask = settings_.mask;
    s.mcMask = settings_.mcMask;
    s.maxPacket = settings_.maxPacket;
    s.transmitDelay = settings_.transmitDelay;
    scheduler_.setSettings(s);
}

void TClientMain::applyViaMcRule()
{
    const bool viaMc = checkViaMc_->isChecked();
    editAddress_->setEnabled(!viaMc);
    upDownAddress_->setEnabled(!viaMc);
    editMcAddress_->setEnabled(viaMc);
    upDownMcAddress_->setEnabled(viaMc);
}

void TClientMain::setLinkControlsConnected(bool connected)
{
    if (connected) {
        for (QWidget* w :
             {static_cast<QWidget*>(editHost_), static_cast<QWidget*>(editPort_),
              static_cast<QWidget*>(editAddress_), static_cast<QWidget*>(upDownAddress_),
              static_cast<QWidget*>(checkViaMc_), static_cast<QWidget*>(editMcAddress_),
              static_cast<QWidget*>(upDownMcAddress_)})
            w->setEnabled(false);
        mSuspendResume_->setEnabled(true);
        mSuspendResume_->setText(QStringLiteral("Pauza"));
        mStartStop_->setText(QStringLiteral("Stop"));
        mLoadProtocol_->setEnabled(false);
    } else {
        editHost_->setEnabled(true);
        // A site's lock of the port or the address stays in force after a stop.
        editPort_->setEnabled(settings_.viewPort);
        checkViaMc_->setEnabled(true);
        applyViaMcRule();
        if (!settings_.viewAddress)
            editAddress_->setEnabled(false);
        mSuspendResume_->setEnabled(false);
        mStartStop_->setText(QStringLiteral("Start"));
        mLoadProtocol_->setEnabled(true);
    }
}

bool TClientMain::isConnected() const
{
    return worker_ && worker_->isConnected();
}

bool TClientMain::ConnectToServer(QString* reason)
{
    bool portOk = false;
    const uint port = editPort_->text().trimmed().toUInt(&portOk);
    if (!portOk || port > 65535) {
        *reason =
            QString::fromStdString(EConvertError::integer(editPort_->text().toStdString()).what());
        return false;
    }
    disconnectFromServer();
    LinkSettings s = scheduler_.settings();
    s.userName = loginName().toStdString();
    scheduler_.setSettings(s);
    auto* worker = new TClientHandleThread(scheduler_, editHost_->text().trimmed(),
                                           static_cast<quint16>(port), this);
    // Each signal names its worker, so that a late signal of an ended worker is told apart.
    connect(worker, &TClientHandleThread::answerReady, this,
            [this, worker] { answerReady(worker); });
    connect(worker, &TClientHandleThread::planReady, this, [this, worker] { planReady(worker); });
    connect(worker, &TClientHandleThread::connectionLost, this,
            [this, worker] { connectionLost(worker); });
    // The scheduler is fresh for this connection before the worker asks it for a line.
    scheduler_.connected();
    if (!worker->connectAndStart(kConnectTimeoutMs)) {
        worker->wait();
        delete worker;
        *reason = editHost_->text() + QLatin1Char(':') + QString::number(port)
                  + QStringLiteral(" does not answer");
        return false;
    }
    worker_ = worker;
    if (model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(0, 1));
    senderTimer_->stop();
    return true;
}

void TClientMain::disconnectFromServer()
{
    if (!worker_)
        return;
    TClientHandleThread* worker = worker_;
    worker_ = nullptr;
    worker->disconnect(this);
    worker->requestStop();
    worker->wait();
    delete worker;
}

void TClientMain::MStartStopClick()
{
    if (started_) {
        disconnectFromServer();
    } else {
        QString reason;
        if (!ConnectToServer(&reason))
            showMessage(Dialogs::Kind::Error, QStringLiteral("Error while connecting:\r") + reason);
    }
    started_ = isConnected();
    setLinkControlsConnected(started_);
    senderTimer_->stop();
    grid_->unsetCursor();
}

void TClientMain::StartReconnect()
{
    senderTimer_->setInterval(kReconnectMs);
    senderTimer_->start();
}

void TClientMain::SenderTimerTimer()
{
    senderTimer_->stop();
    if (started_ && !isConnected()) {
        QString reason;
        if (!ConnectToServer(&reason))
            StartReconnect();
    }
}

void TClientMain::connectionLost(TClientHandleThread* worker)
{
    if (worker != worker_)
        return;
    // The worker has ended; it is joined at once so that no thread outlives its connection.
    worker_ = nullptr;
    worker->wait();
    worker->deleteLater();
    if (started_)
        StartReconnect();
}

void TClientMain::MSuspendResumeClick()
{
    if (!worker_)
        return;
    const bool pause = !worker_->isPaused();
    worker_->setPaused(pause);
    mSuspendResume_->setText(pause ? QStringLiteral("Čitanje") : QStringLiteral("Pauza"));
}

void TClientMain::resumeIfPaused()
{
    if (worker_ && worker_->isPaused()) {
        worker_->setPaused(false);
        mSuspendResume_->setText(QStringLiteral("Pauza"));
    }
}

void TClientMain::MSendAllClick()
{
    // A new connection puts the poll cursor on entry 1, so the link is started before send-all
    // is armed: the first step must still take entry 1. The worker cannot overtake this, since
    // it waits for this thread to apply the answer to its first (settings) line.
    if (!started_)
        MStartStopClick();
    else
        resumeIfPaused();
    grid_->setCursor(Qt::WaitCursor);
    scheduler_.beginSendAll();
}

bool TClientMain::WriteParameter(std::uint16_t index, const QString& valueText)
{
    return queueDirectRequest(index, QStringLiteral("write"), [&] {
        return scheduler_.WriteParameter(index, valueText.toStdString());
    });
}

bool TClientMain::ReadParameter(std::uint16_t index)
{
    return queueDirectRequest(index, QStringLiteral("read"),
                              [&] { return scheduler_.ReadParameter(index); });
}

bool TClientMain::queueDirectRequest(std::uint16_t index, const QString& what,
                                     const std::function<bool()>& queue)
{
    if (!started_) {
        showMessage(Dialogs::Kind::Error, QStringLiteral("Client nije konektovan !!!"));
        return false;
    }
    bool queued = false;
    try {
        queued = queue();
    } catch (const EConvertError& error) {
        showMessage(Dialogs::Kind::Error, QString::fromStdString(error.what()));
        return false;
    }
    if (!queued) {
        // The request never reaches the device: say so rather than let the caller wait for it.
        showMessage(Dialogs::Kind::Error,
                    QStringLiteral("The command queue is full: the %1 of entry %2 was not sent.")
                        .arg(what)
                        .arg(index));
        return false;
    }
    resumeIfPaused();
    return true;
}

void TClientMain::answerReady(TClientHandleThread* worker)
{
    // A late signal of a worker that has been stopped meanwhile has nothing to apply.
    if (worker != worker_)
        return;
    const AnswerEffects effects = scheduler_.ProcessAnswerLine(worker->answerLine());
    using LineProtocol::SettingsWord;
    auto echoed = [&](SettingsWord w) { return effects.echo[LineProtocol::indexOf(w)]; };
    if (auto v = echoed(SettingsWord::Baud))
        comboBaud_->setEditText(QString::fromStdString(*v));
    if (auto v = echoed(SettingsWord::Parity))
        comboParity_->setEditText(QString::fromStdString(*v));
    if (auto v = echoed(SettingsWord::DataBits))
        comboDataBits_->setEditText(QString::fromStdString(*v));
    if (auto v = echoed(SettingsWord::StopBits))
        comboStopBits_->setEditText(QString::fromStdString(*v));
    if (effects.timeOutPosition)
        upDownTimeOut_->setPosition(*effects.timeOutPosition);
    if (!effects.error)
        if (auto v = echoed(SettingsWord::Retries))
            editRetries_->setText(QString::fromStdString(*v));
    model_->cellsChanged(effects.changedCells);
    if (effects.error)
        showMessage(Dialogs::Kind::Error, QString::fromStdString(*effects.error));
    if (view_)
        view_->answerApplied(effects.answeredEntries);
    // A message box above may have let a Stop run meanwhile.
    if (worker == worker_)
        worker->answerProcessed();
}

void TClientMain::SelectRow(std::uint16_t entry)
{
    if (entry >= 1 && entry <= model_->rowCount())
        grid_->setCurrentIndex(model_->index(ParameterTableModel::rowOfEntry(entry), 1));
}

void TClientMain::planReady(TClientHandleThread* worker)
{
    if (worker != worker_)
        return;
    for (const RequestPlan& plan : worker->takePlans()) {
        if (plan.selectRow)
            SelectRow(*plan.selectRow);
        if (plan.error)
            showMessage(Dialogs::Kind::Error, QString::fromStdString(*plan.error));
        if (plan.sendAllFinished) {
            grid_->unsetCursor();
            showMessage(Dialogs::Kind::Information, QStringLiteral("Parametri poslati u uređaj"));
        }
    }
}

void TClientMain::setSettingsWordChanged(LineProtocol::SettingsWord word)
{
    pushLinkSettings();
    scheduler_.markSettingsChanged(word);
}

void TClientMain::editEnterPressed(QLineEdit* edit, UpDown* upDown)
{
    int value = upDown->position();
    try {
        value = parseInteger(edit->text().toStdString());
    } catch (const EConvertError&) {
        // Text that is no number quietly gives way to the up-down's position.
    }
    upDown->setPosition(value);
    if (upDown == upDownTimeOut_)
        setSettingsWordChanged(LineProtocol::SettingsWord::TimeOut);
    else if (upDown == upDownRetries_)
        setSettingsWordChanged(LineProtocol::SettingsWord::Retries);
    else if (upDown == upDownAddress_)
        reloadForAddress();
    else
        pushLinkSettings();
}

void TClientMain::reloadForAddress()
{
    pushLinkSettings();
    // Every entry starts afresh and is read again at the new address; the rows stay.
    try {
        scheduler_.editTable(
            [&](TProtocol& t) { return t.LoadFromFile(settings_.protocolFile.toStdString()); });
    } catch (const std::exception&) {
        // Quiet by design: the user sees the entries come back as they are read.
    }
    if (view_)
        view_->tableReset();
}

bool TClientMain::LoadProtocolFile()
{
    bool loaded = false;
    QString error;
    try {
        loaded = scheduler_.editTable([&](TProtocol& t) {
            return t.LoadFromFile(QDir::toNativeSeparators(settings_.protocolFile).toStdString());
        });
    } catch (const ELoadError& e) {
        error = QString::fromStdString(e.what()) + QStringLiteral("\n")
                + QFileInfo(settings_.protocolFile).fileName() + QStringLiteral(", ")
                + QString::fromStdString(e.describe().substr(0, e.describe().find(':')));
    }
    if (!loaded) {
        const std::uint32_t lines =
            scheduler_.withTable([](const TProtocol& t) { return t.LineCount; });
        QString text = QStringLiteral("Error protocol line: ") + QString::number(lines);
        if (!error.isEmpty())
            text += QStringLiteral("\n") + error;
        showMessage(Dialogs::Kind::Error, text);
        return false;
    }
    scheduler_.clearCells();
    model_->reload();
    if (view_)
        view_->tableReset();
    const std::string section = scheduler_.withTable([](const TProtocol& t) { return t.Section; });
    setWindowTitle(settings_.caption + QStringLiteral("[") + QString::fromStdString(section)
                   + QStringLiteral("]"));
    if (model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(0, 1));
    grid_->scrollToTop();
    for (QAction* a : {mStartStop_, mLoadValue_, mSaveValue_, mSendAll_, mRefresh_})
        a->setEnabled(true);
    return true;
}

void TClientMain::MLoadProtocolClick()
{
    Dialogs::FileRequest request;
    request.folder = QDir::currentPath();
    request.filter = kProtocolFilter;
    request.filterIndex = 0;
    request.defaultExtension = QStringLiteral("var");
    request.fileName = settings_.protocolFile;
    const QString chosen = Dialogs::instance().openFileName(request, this);
    if (chosen.isEmpty())
        return;
    settings_.protocolFile = chosen;
    LoadProtocolFile();
    QString error;
    if (!ClientSettings::storeProtocolFile(settingsFileName_, settings_.protocolFile, &error))
        showMessage(Dialogs::Kind::Error, error);
}

void TClientMain::MClearClick()
{
    scheduler_.clearCells();
    model_->refreshAll();
    if (view_)
        view_->tableReset();
}

void TClientMain::MRefreshClick()
{
    const std::uint16_t entry = selectedEntry();
    if (entry != 0)
        scheduler_.editTable([&](TProtocol& t) { t.Commands[entry].Valid = false; });
    resumeIfPaused();
}

void TClientMain::MViewClick()
{
    if (!view_)
        return;
    view_->setViewVisible(!view_->isViewVisible());
    ShowViewState(view_->isViewVisible());
}

void TClientMain::ShowViewState(bool visible)
{
    mView_->setText(visible ? QStringLiteral("Sakrij pogled") : QStringLiteral("Prikaži pogled"));
}

void TClientMain::StoreBasePath(const QString& path)
{
    QString error;
    if (!ClientSettings::storeBasePath(settingsFileName_, path, &error))
        showMessage(Dialogs::Kind::Error, error);
}

void TClientMain::MEnableClick()
{
    const std::uint16_t entry = selectedEntry();
    if (entry != 0)
        scheduler_.editTable([&](TProtocol& t) { t.Commands[entry].Enabled = true; });
    model_->refreshAll();
}

void TClientMain::MDisableClick()
{
    const std::uint16_t entry = selectedEntry();
    if (entry != 0)
        scheduler_.editTable([&](TProtocol& t) { t.Commands[entry].Enabled = false; });
    model_->refreshAll();
}

void TClientMain::MEnableAllClick()
{
    scheduler_.editTable([](TProtocol& t) { t.SetAllEnabled(true); });
    model_->refreshAll();
}

void TClientMain::MDisableAllClick()
{
    scheduler_.editTable([](TProtocol& t) { t.SetAllEnabled(false); });
    model_->refreshAll();
}

Dialogs::FileRequest TClientMain::valueSetRequest()
{
    Dialogs::FileRequest request;
    request.folder = QDir::current().filePath(QStringLiteral("Vals"));
    request.filter = kValueFilter;
    request.filterIndex = 1;
    request.defaultExtension = QStringLiteral("val");
    return request;
}

QString TClientMain::rowNamesAndSection(QStringList& names) const
{
    return QString::fromStdString(scheduler_.withTable([&](const TProtocol& t) {
        for (int i = 1; i <= t.Count; ++i)
            names << QString::fromStdString(t.Commands[i].Name);
        return t.Section;
    }));
}

void TClientMain::MSaveValueClick()
{
    const QString chosen = Dialogs::instance().saveFileName(valueSetRequest(), this);
    if (chosen.isEmpty())
        return;
    QStringList names;
    const QString section = rowNamesAndSection(names);
    QStringList values;
    for (int i = 1; i <= names.size(); ++i)
        values << QString::fromStdString(scheduler_.cellText(static_cast<std::uint16_t>(i)));
    QString error;
    const int board = view_ ? view_->boardNumber() : 0;
    switch (ValueSetFile::save(chosen, section, board, names, values, &error)) {
    case ValueSetFile::SaveResult::BackupNotDeleted:
        showMessage(Dialogs::Kind::Error, QStringLiteral("Ne može da se obriše backup file."));
        return;
    case ValueSetFile::SaveResult::BackupNotCreated:
        showMessage(Dialogs::Kind::Error, QStringLiteral("Ne može da se kreira backup file."));
        return;
    case ValueSetFile::SaveResult::NotWritten:
        showMessage(Dialogs::Kind::Error, error);
        return;
    case ValueSetFile::SaveResult::Saved:
        break;
    }
    showMessage(Dialogs::Kind::Information, QStringLiteral("Vrednosti su snimljene u fajl: ")
                                                + QFileInfo(chosen).absoluteFilePath());
}

void TClientMain::MLoadValueClick()
{
    QStringList names;
    const QString section = rowNamesAndSection(names);
    if (section.isEmpty()) {
        showMessage(Dialogs::Kind::Warning, QStringLiteral("Prvo učitati protokol!"));
        return;
    }
    const QString chosen = Dialogs::instance().openFileName(valueSetRequest(), this);
    if (chosen.isEmpty())
        return;
    ValueSetFile::Loaded loaded;
    try {
        loaded = ValueSetFile::load(chosen, section, names);
    } catch (const EConvertError& error) {
        showMessage(Dialogs::Kind::Error, QString::fromStdString(error.what()));
        return;
    }
    if (loaded.boardNumber && view_)
        view_->setBoardNumber(*loaded.boardNumber);
    for (std::size_t i = 0; i < loaded.cells.size(); ++i)
        if (loaded.cells[i])
            scheduler_.setCellText(static_cast<std::uint16_t>(i + 1),
                                   loaded.cells[i]->toStdString());
    model_->refreshAll();
    if (view_)
        view_->tableReset();
    showMessage(Dialogs::Kind::Information, QStringLiteral("Vrednosti su učitane iz fajla: ")
                                                + QFileInfo(chosen).absoluteFilePath());
}

std::uint16_t TClientMain::selectedEntry() const
{
    const QModelIndex current = grid_->currentIndex();
    return current.isValid() ? ParameterTableModel::entryOfRow(current.row()) : 0;
}

void TClientMain::selectedCellChanged()
{
    if (!started_)
        return;
    const std::uint16_t entry = selectedEntry();
    if (entry == 0)
        return;
    const QString tip = scheduler_.withTable([&](const TProtocol& t) {
        const TCommands& c = t.Commands[entry];
        if (c.Access == kAccessReadOnly)
            return QStringLiteral("read_only");
        if (c.TypeCode == kTypePickList || c.TypeCode == kTypeIndex)
            return QString();
        return QStringLiteral("Min=") + QString::fromStdString(t.ValueToText(entry, c.Min, ""))
               + QStringLiteral("; Max=") + QString::fromStdString(t.ValueToText(entry, c.Max, ""));
    });
    grid_->setToolTip(tip);
}

void TClientMain::ValueListEditorKeyDown(int row, int key)
{
    const std::uint16_t entry = ParameterTableModel::entryOfRow(row);
    const auto [access, valueText] = scheduler_.withTable([&](const TProtocol& t) {
        return std::pair(t.Commands[entry].Access, t.Commands[entry].ValueText);
    });
    if (key == Qt::Key_Escape || (key == Qt::Key_Return && access == kAccessReadOnly)) {
        scheduler_.setCellText(entry, valueText);
        model_->cellsChanged({entry});
        if (view_)
            view_->tableReset();
        return;
    }
    if (key == Qt::Key_Return)
        WriteParameter(entry, QString::fromStdString(scheduler_.cellText(entry)));
}

void TClientMain::gridMousePressed(const QPoint& pos, Qt::MouseButton button)
{
    if (button != Qt::RightButton)
        return;
    const QModelIndex at = grid_->indexAt(pos);
    if (at.isValid())
        grid_->setCurrentIndex(at);
    const QPoint global = grid_->viewport()->mapToGlobal(pos);
    const QModelIndex current = grid_->currentIndex();
    if (current.isValid() && current.column() == 0) {
        const std::uint16_t entry = selectedEntry();
        const bool enabled =
            scheduler_.withTable([&](const TProtocol& t) { return t.Commands[entry].Enabled; });
        (enabled ? mEnable_ : mDisable_)->setChecked(true);
        selectMenu_->popup(global);
        return;
    }
    popupMenu_->popup(global);
}

void TClientMain::showMessage(Dialogs::Kind kind, const QString& text)
{
    Dialogs::instance().message(kind, text, this, frameGeometry().topLeft() + QPoint(20, 20));
}

void TClientMain::closeEvent(QCloseEvent* event)
{
    const bool wasStarted = started_;
    if (started_)
        MStartStopClick();
    collectControlsIntoSettings();
    settings_.start = wasStarted;
    QString error;
    if (!settings_.saveClosingState(settingsFileName_, &error))
        showMessage(Dialogs::Kind::Error, error);
    if (view_)
        view_->closeView();
    event->accept();
    emit formClosed();
}

} // namespace quell
