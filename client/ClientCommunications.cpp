#include "client/ClientCommunications.h"

#include "client/LinkStatusBar.h"
#include "client/ParameterGrid.h"
#include "client/ParameterTableModel.h"
#include "client/ScreenArea.h"
#include "client/SettingsTab.h"
#include "client/ValueSetMenu.h"
#include "client/ViewLink.h"
#include "protocol/ConvertError.h"
#include "protocol/DescriptionFile.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace quell {

namespace {

const QString kProtocolFilter =
    QStringLiteral("Protocol descriptions|*.var|Values|*.val|All files|*.*");

} // namespace

TClientMain::TClientMain(QWidget* parent) : QWidget(parent), link_(new LinkController(this))
{
    setObjectName(QStringLiteral("ClientMain"));
    setWindowTitle(QStringLiteral("Client"));
    setWindowFlag(Qt::Tool, false);
    buildControls();
    buildMenus();
    wireLink();
}

TClientMain::~TClientMain()
{
    // The view may already be gone (it is made after this window, so it ends first), and there
    // is nothing left to show: the link stops without telling anyone.
    view_ = nullptr;
    link_->disconnect(this);
    link_->stop();
}

void TClientMain::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    pageControl_ = new QTabWidget(this);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(pageControl_);
    settingsTab_ = new SettingsTab;

    auto* tablePage = new QWidget;
    tablePage->setObjectName(QStringLiteral("Tabela"));
    auto* tableLayout = new QVBoxLayout(tablePage);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    grid_ = new ParameterGrid(scheduler(), tablePage);
    model_ = &grid_->rows();
    connect(grid_, &ParameterGrid::valueKeyPressed, this, &TClientMain::ValueListEditorKeyDown);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (link_->started())
            grid_->showLimitsOfSelected();
    });
    connect(grid_, &ParameterGrid::mousePressed, this, &TClientMain::gridMousePressed);
    // A typed cell is no answer: the view reads all cells again, as the value column shows it.
    connect(grid_, &ParameterGrid::cellTyped, this, [this] {
        if (view_)
            view_->tableReset();
    });
    tableLayout->addWidget(grid_);

    pageControl_->addTab(settingsTab_, QStringLiteral("Settings"));
    pageControl_->addTab(tablePage, QStringLiteral("Tabela"));
    pageControl_->setCurrentWidget(tablePage);

    connect(settingsTab_, &SettingsTab::edited, this, &TClientMain::settingsEdited);
    connect(settingsTab_, &SettingsTab::wordEdited, this, [this](LineProtocol::SettingsWord w) {
        settingsEdited();
        link_->markSettingsChanged(w);
    });
    connect(settingsTab_, &SettingsTab::addressEdited, this, &TClientMain::reloadForAddress);

    statusBar_ = new LinkStatusBar([this] { return link_->status(); }, this);
    layout->addWidget(statusBar_);
}

void TClientMain::buildMenus()
{
    // Each item with its object name, caption and handler.
    auto action = [this](const char* name, const QString& text, void (TClientMain::*handler)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        if (handler)
            connect(a, &QAction::triggered, this, handler);
        return a;
    };
    mLoadProtocol_ = action("MLoadProtocol", "Load Protocol", &TClientMain::MLoadProtocolClick);
    mClear_ = action("MClear", "Obriši sve vrednosti", &TClientMain::MClearClick);
    mLoadValue_ = action("MLoadValue", "Load Value", &TClientMain::MLoadValueClick);
    mSaveValue_ = action("MSaveValue", "Save Value", &TClientMain::MSaveValueClick);
    mSendAll_ = action("MSendAll", "Send all to target", &TClientMain::MSendAllClick);
    mRefresh_ = action("MRefresh", "Refresh current", &TClientMain::MRefreshClick);
    mSuspendResume_ = action("MSuspendResume", "Pauza", &TClientMain::MSuspendResumeClick);
    mStartStop_ = action("MStartStop", "Start", &TClientMain::MStartStopClick);
    mView_ = action("MView", "View", &TClientMain::MViewClick);
    mHelp_ = action("MHelp", "Help", nullptr);
    mExit_ = action("MExit", "Exit", nullptr);
    connect(mExit_, &QAction::triggered, this, &QWidget::close);
    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(QStringLiteral("PopupMenu"));
    popupMenu_->addActions({mLoadProtocol_, mClear_, mLoadValue_, mSaveValue_, mSendAll_, mRefresh_,
                            mSuspendResume_, mStartStop_, mView_, mHelp_, mExit_});
    for (QAction* a : {mLoadValue_, mSaveValue_, mSendAll_, mRefresh_, mSuspendResume_})
        a->setEnabled(false);

    mEnable_ = action("MEnable", "Enable", &TClientMain::MEnableClick);
    mDisable_ = action("MDisable", "Disable", &TClientMain::MDisableClick);
    mEnableAll_ = action("MEnableAll", "Enable All", &TClientMain::MEnableAllClick);
    mDisableAll_ = action("MDisableAll", "Disable All", &TClientMain::MDisableAllClick);
    auto* radio = new QActionGroup(this);
    for (QAction* a : {mEnable_, mDisable_}) {
        a->setCheckable(true);
        radio->addAction(a);
    }
    selectMenu_ = new QMenu(this);
    selectMenu_->setObjectName(QStringLiteral("PMSelect"));
    selectMenu_->addActions({mEnable_, mDisable_});
    selectMenu_->addSeparator();
    selectMenu_->addActions({mEnableAll_, mDisableAll_});

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenu_->popup(mapToGlobal(pos)); });
}

void TClientMain::wireLink()
{
    connect(link_, &LinkController::message, this, &TClientMain::showMessage);
    connect(link_, &LinkController::stateChanged, this, &TClientMain::linkStateChanged);
    connect(link_, &LinkController::answerApplied, this, &TClientMain::answerApplied);
    connect(link_, &LinkController::rowSelected, this, &TClientMain::SelectRow);
    connect(link_, &LinkController::sendAllFinished, this, [this] { grid_->unsetCursor(); });
    connect(link_, &LinkController::pausedChanged, this, [this](bool paused) {
        mSuspendResume_->setText(paused ? QStringLiteral("Čitanje") : QStringLiteral("Pauza"));
        showLiveness();
        if (view_)
            view_->linkStateChanged();
    });
}

void TClientMain::FormCreate(const QStringList& arguments)
{
    // The settings file and the working directory. The program's own file, wherever it was
    // started from, names the default settings file.
    QString program = QCoreApplication::applicationFilePath();
    if (program.isEmpty())
        program = arguments.isEmpty() ? QStringLiteral("quellcal") : arguments.first();
    settingsFileName_ =
        ClientSettings::settingsFileNameFor(arguments.mid(1), program, QDir::currentPath());
    workDir_ = ClientSettings::workDirOf(settingsFileName_);
    QDir().mkpath(workDir_);
    QDir::setCurrent(workDir_);
    // No link, and nothing to start until a description loads.
    mStartStop_->setEnabled(false);
    // Every setting, missing ones written with their defaults; read once, here.
    QString error;
    if (!settings_.load(settingsFileName_, &error))
        showMessage(Dialogs::Kind::Error, error);
    settingsTab_->showSettings(settings_);
    // Fitted to the screen: a damaged file must not make a window bigger than the screen.
    setGeometry(
        fitToScreen(settings_.leftPos, settings_.topPos, settings_.width, settings_.height));
    link_->applySettings(settings_);
    LoadProtocolFile();
    // A width the user left is kept; without one the column shows the longest name whole.
    grid_->startNameColumn(settings_.colWidthStored, settings_.colWidth);
    // The link, when it was running at the last close.
    if (settings_.start)
        MStartStopClick();
    QDir().mkpath(ClientSettings::valsDirOf(workDir_));
}

void TClientMain::setViewLink(ViewLink* view)
{
    view_ = view;
    if (view_)
        ShowViewState(view_->isViewVisible());
}

void TClientMain::settingsEdited()
{
    // The one road from the controls to the link: controls, settings record, link settings.
    settingsTab_->collect(settings_);
    link_->applySettings(settings_);
}

void TClientMain::linkStateChanged(LinkState state)
{
    const bool started = link_->started();
    settingsTab_->setLinkStarted(started, settings_);
    mSuspendResume_->setEnabled(started);
    if (state == LinkState::Connecting)
        mSuspendResume_->setText(QStringLiteral("Pauza"));
    mStartStop_->setText(started ? QStringLiteral("Stop") : QStringLiteral("Start"));
    mLoadProtocol_->setEnabled(!started);
    // A new connection reads everything again from entry 1: row 1 is selected when the user
    // starts, and again when a reconnect succeeds.
    const bool fresh = state == LinkState::Connecting
                       || (state == LinkState::Connected && shownState_ != LinkState::Connecting);
    shownState_ = state;
    if (fresh && model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(0, 1));
    showLiveness();
    if (view_)
        view_->linkStateChanged();
}

void TClientMain::showLiveness()
{
    model_->setValuesLive(link_->valuesLive());
    statusBar_->refresh();
}

void TClientMain::MStartStopClick()
{
    if (link_->started()) {
        link_->stop();
    } else {
        settingsEdited();
        link_->start();
    }
    grid_->unsetCursor();
}

void TClientMain::MSuspendResumeClick()
{
    link_->setPaused(!link_->isPaused());
}

void TClientMain::MSendAllClick()
{
    if (!link_->started())
        settingsEdited();
    grid_->setCursor(Qt::WaitCursor);
    link_->sendAll();
}

bool TClientMain::WriteParameter(std::uint16_t index, const QString& valueText)
{
    return link_->WriteParameter(index, valueText.toStdString());
}

bool TClientMain::ReadParameter(std::uint16_t index)
{
    return link_->ReadParameter(index);
}

void TClientMain::answerApplied(const AnswerEffects& effects)
{
    settingsTab_->showEcho(effects);
    model_->cellsChanged(effects.changedCells);
    model_->cellsChanged(effects.markedCells);
    if (effects.error)
        showMessage(Dialogs::Kind::Error, QString::fromStdString(*effects.error));
    for (const std::string& refused : effects.refused)
        showMessage(Dialogs::Kind::Error, QString::fromStdString(refused));
    if (view_)
        view_->answerApplied(effects.answeredEntries);
}

void TClientMain::SelectRow(std::uint16_t entry)
{
    grid_->selectEntry(entry);
}

QString TClientMain::cellText(std::uint16_t entry) const
{
    return QString::fromStdString(link_->scheduler().cellText(entry));
}

void TClientMain::setCellText(std::uint16_t entry, const QString& text)
{
    scheduler().setCellText(entry, text.toStdString());
    model_->cellsChanged({entry});
    // A record loads many cells one by one: the view reads them all again once, afterwards.
    if (view_ && !viewResetPending_) {
        viewResetPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                viewResetPending_ = false;
                if (view_)
                    view_->tableReset();
            },
            Qt::QueuedConnection);
    }
}

void TClientMain::reloadForAddress()
{
    settingsEdited();
    // Every entry starts afresh and is read again at the new address; the rows stay.
    try {
        scheduler().editTable(
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
        loaded = scheduler().editTable([&](TProtocol& t) {
            return t.LoadFromFile(QDir::toNativeSeparators(settings_.protocolFile).toStdString());
        });
    } catch (const ELoadError& e) {
        error = QString::fromStdString(e.what()) + QStringLiteral("\n")
                + QFileInfo(settings_.protocolFile).fileName() + QStringLiteral(", ")
                + QString::fromStdString(e.describe().substr(0, e.describe().find(':')));
    }
    if (!loaded) {
        const std::uint32_t lines =
            scheduler().withTable([](const TProtocol& t) { return t.LineCount; });
        QString text = QStringLiteral("Error protocol line: ") + QString::number(lines);
        if (!error.isEmpty())
            text += QStringLiteral("\n") + error;
        showLoadFailure(text);
        showMessage(Dialogs::Kind::Error, text);
        return false;
    }
    grid_->setEmptyText({});
    scheduler().clearCells();
    model_->reload();
    if (view_)
        view_->tableReset();
    const std::string section = scheduler().withTable([](const TProtocol& t) { return t.Section; });
    setWindowTitle(settings_.caption + QStringLiteral("[") + QString::fromStdString(section)
                   + QStringLiteral("]"));
    if (model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(0, 1));
    grid_->scrollToTop();
    for (QAction* a : {mStartStop_, mLoadValue_, mSaveValue_, mSendAll_, mRefresh_})
        a->setEnabled(true);
    warnOfUnknownLines();
    return true;
}

void TClientMain::showLoadFailure(const QString& why)
{
    grid_->setEmptyText(noDescriptionText(settings_.protocolFile, why,
                                          QStringLiteral("Load Protocol"), settingsFileName_));
}

void TClientMain::warnOfUnknownLines()
{
    // A mistyped keyword drops its line without a word from the loader, and every later entry
    // then sits one place off the board's entry map: said once, when the description is loaded.
    const auto description =
        readDescriptionFile(QDir::toNativeSeparators(settings_.protocolFile).toStdString());
    if (!description)
        return;
    const std::vector<UnknownLine> unknown = unknownLines(*description);
    if (unknown.empty())
        return;
    QString text = QFileInfo(settings_.protocolFile).fileName()
                   + QStringLiteral(": lines that are neither comments nor PROT, SECTION or VAR "
                                    "were skipped, so the entries after them are not where "
                                    "their lines put them:");
    for (const UnknownLine& line : unknown)
        text +=
            QStringLiteral("\nline %1: '%2'").arg(line.line).arg(QString::fromStdString(line.word));
    text += QStringLiteral("\nquellvar check names every problem of the file.");
    showMessage(Dialogs::Kind::Warning, text);
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
    scheduler().clearCells();
    model_->refreshAll();
    if (view_)
        view_->tableReset();
}

void TClientMain::MRefreshClick()
{
    const std::uint16_t entry = grid_->selectedEntry();
    if (entry != 0)
        scheduler().editTable([&](TProtocol& t) { t.Commands[entry].Valid = false; });
    link_->setPaused(false);
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

void TClientMain::MEnableClick()
{
    editEntries([entry = grid_->selectedEntry()](TProtocol& t) {
        if (entry != 0)
            t.Commands[entry].Enabled = true;
    });
}

void TClientMain::MDisableClick()
{
    editEntries([entry = grid_->selectedEntry()](TProtocol& t) {
        if (entry != 0)
            t.Commands[entry].Enabled = false;
    });
}

void TClientMain::MEnableAllClick()
{
    editEntries([](TProtocol& t) { t.SetAllEnabled(true); });
}

void TClientMain::MDisableAllClick()
{
    editEntries([](TProtocol& t) { t.SetAllEnabled(false); });
}

void TClientMain::editEntries(const std::function<void(TProtocol&)>& edit)
{
    scheduler().editTable(edit);
    model_->refreshAll();
}

void TClientMain::MSaveValueClick()
{
    const QString chosen = Dialogs::instance().saveFileName(ValueSetMenu::fileRequest(), this);
    if (chosen.isEmpty())
        return;
    const auto report = ValueSetMenu::save(chosen, scheduler(), view_ ? view_->boardNumber() : 0);
    showMessage(report.kind, report.text);
}

void TClientMain::MLoadValueClick()
{
    if (!ValueSetMenu::hasSection(scheduler())) {
        showMessage(Dialogs::Kind::Warning, QStringLiteral("Prvo učitati protokol!"));
        return;
    }
    const QString chosen = Dialogs::instance().openFileName(ValueSetMenu::fileRequest(), this);
    if (chosen.isEmpty())
        return;
    std::optional<int> board;
    const auto report = ValueSetMenu::load(chosen, scheduler(), board);
    if (report.kind == Dialogs::Kind::Information) {
        if (board && view_)
            view_->setBoardNumber(*board);
        model_->refreshAll();
        if (view_)
            view_->tableReset();
    }
    showMessage(report.kind, report.text);
}

void TClientMain::ValueListEditorKeyDown(int row, int key)
{
    const std::uint16_t entry = ParameterTableModel::entryOfRow(row);
    const auto [access, valueText] = scheduler().withTable([&](const TProtocol& t) {
        return std::pair(t.Commands[entry].Access, t.Commands[entry].ValueText);
    });
    if (key == Qt::Key_Escape || (key == Qt::Key_Return && access == kAccessReadOnly)) {
        scheduler().setCellText(entry, valueText);
        model_->cellsChanged({entry});
        if (view_)
            view_->tableReset();
        return;
    }
    if (key == Qt::Key_Return)
        WriteParameter(entry, QString::fromStdString(scheduler().cellText(entry)));
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
        const std::uint16_t entry = grid_->selectedEntry();
        const bool enabled =
            scheduler().withTable([&](const TProtocol& t) { return t.Commands[entry].Enabled; });
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
    // A calibration or test that runs first leaves the board as it found it.
    if (view_ && view_->holdClose([this] {
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        })) {
        event->ignore();
        return;
    }
    const bool wasStarted = link_->started();
    // Stops the link and ends every awaited transaction, also one that waits without a link.
    link_->shutDown();
    settingsTab_->collect(settings_);
    const QRect frame = geometry();
    settings_.leftPos = frame.left();
    settings_.topPos = frame.top();
    settings_.width = frame.width();
    settings_.height = frame.height();
    settings_.colWidth = grid_->columnWidth(0);
    settings_.start = wasStarted;
    QString error;
    if (!settings_.saveClosingState(settingsFileName_, &error))
        showMessage(Dialogs::Kind::Error, error);
    if (view_)
        view_->closeView();
    grid_->unsetCursor();
    event->accept();
    emit formClosed();
}

} // namespace quell
