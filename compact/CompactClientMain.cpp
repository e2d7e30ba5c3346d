#include "compact/CompactClientMain.h"

#include "client/GridView.h"
#include "client/IniFile.h"
#include "client/LinkStatusBar.h"
#include "client/RequestScheduler.h"
#include "client/ScreenArea.h"
#include "client/SettingsTab.h"
#include "client/ValueCellDelegate.h"
#include "compact/CompactLink.h"
#include "compact/CompactTableModel.h"
#include "compact/CompactValueSet.h"
#include "compact/UCommands.h"
#include "protocol/ConvertError.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quell::compact {

namespace {

const QString kProtocolFilter =
    QStringLiteral("Protocol descriptions|*.var|Values|*.val|All files|*.*");

} // namespace

TClientMain::TClientMain(QWidget* parent) : QWidget(parent), link_(new CompactLink(this))
{
    setObjectName(QStringLiteral("ClientMain"));
    setWindowTitle(QStringLiteral("Client"));
    buildControls();
    buildMenus();
    connect(link_, &CompactLink::message, this, &TClientMain::showMessage);
    connect(link_, &CompactLink::stateChanged, this, &TClientMain::linkStateChanged);
    connect(link_, &CompactLink::answerApplied, this, &TClientMain::showAnswer);
    connect(link_, &CompactLink::pausedChanged, this, [this](bool paused) {
        mSuspendResume_->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Suspend"));
        showLiveness();
    });
}

TClientMain::~TClientMain()
{
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
    settingsTab_->hideMcControls();

    grid_ = new GridView;
    grid_->setObjectName(QStringLiteral("ValueListEditor"));
    model_ = new CompactTableModel(link_->scheduler(), grid_);
    grid_->setModel(model_);
    auto* delegate =
        new ValueCellDelegate([this](int row) { return model_->pickList(row); }, grid_);
    grid_->setItemDelegateForColumn(1, delegate);
    connect(delegate, &ValueCellDelegate::keyPressed, this, &TClientMain::ValueListEditorKeyDown);
    // Answers leave the selected row alone, so what the user types there stays.
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                link_->scheduler().setSelectedRow(
                    current.isValid() ? CompactTableModel::entryOfRow(current.row()) : 0);
                if (previous.isValid())
                    fillEmptyCell(CompactTableModel::entryOfRow(previous.row()));
            });
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenu_->popup(grid_->viewport()->mapToGlobal(pos)); });

    pageControl_->addTab(settingsTab_, QStringLiteral("Settings"));
    pageControl_->addTab(grid_, QStringLiteral("Table"));
    pageControl_->setCurrentWidget(grid_);

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
    auto action = [this](const char* name, const QString& text, void (TClientMain::*handler)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        if (handler)
            connect(a, &QAction::triggered, this, handler);
        return a;
    };
    mLoadProtocol_ = action("MLoadProtocol", "Load Protocol", &TClientMain::MLoadProtocolClick);
    mLoadValue_ = action("MLoadValue", "Load Value", &TClientMain::MLoadValueClick);
    mSaveValue_ = action("MSaveValue", "Save Value", &TClientMain::MSaveValueClick);
    mRefresh_ = action("MRefresh", "Refresh current", &TClientMain::MRefreshClick);
    mSuspendResume_ = action("MSuspendResume", "Suspend", &TClientMain::MSuspendResumeClick);
    mStartStop_ = action("MStartStop", "Start", &TClientMain::MStartStopClick);
    mView_ = action("MView", "View", &TClientMain::MViewClick);
    mHelp_ = action("MHelp", "Help", nullptr);
    mExit_ = action("MExit", "Exit", nullptr);
    connect(mExit_, &QAction::triggered, this, &QWidget::close);
    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(QStringLiteral("PopupMenu"));
    popupMenu_->addActions({mLoadProtocol_, mLoadValue_, mSaveValue_, mRefresh_, mSuspendResume_,
                            mStartStop_, mView_, mHelp_, mExit_});
    for (QAction* a : {mLoadValue_, mSaveValue_, mRefresh_, mSuspendResume_, mStartStop_})
        a->setEnabled(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenu_->popup(mapToGlobal(pos)); });
}

void TClientMain::FormCreate(const QStringList& arguments)
{
    QString program = QCoreApplication::applicationFilePath();
    if (program.isEmpty())
        program = arguments.isEmpty() ? QStringLiteral("quellcfg") : arguments.first();
    workDir_ = QDir::currentPath();
    settingsFileName_ = CompactSettings::settingsFileNameFor(arguments.mid(1), program, workDir_);
    QString error;
    if (!settings_.load(settingsFileName_, &error))
        showMessage(Dialogs::Kind::Error, error);
    settingsTab_->showSettings(settings_.values);
    const ClientSettings& s = settings_.values;
    setGeometry(fitToScreen(s.leftPos, s.topPos, s.width, s.height));
    link_->applySettings(s);
    LoadProtocolFile();
    // A width the user left is kept; without one the column shows the longest name whole.
    grid_->startNameColumn(s.colWidthStored, s.colWidth);
    if (s.start)
        MStartStopClick();
    QDir().mkpath(ClientSettings::valsDirOf(workDir_));
}

void TClientMain::settingsEdited()
{
    settingsTab_->collect(settings_.values);
    link_->applySettings(settings_.values);
}

void TClientMain::linkStateChanged(LinkState state)
{
    const bool started = link_->started();
    settingsTab_->setLinkStarted(started, settings_.values);
    mSuspendResume_->setEnabled(started);
    if (!started || state == LinkState::Connecting)
        mSuspendResume_->setText(QStringLiteral("Suspend"));
    mStartStop_->setText(started ? QStringLiteral("Stop") : QStringLiteral("Start"));
    mLoadProtocol_->setEnabled(!started);
    model_->setLinkStarted(started);
    // The selection starts on the first row the user may type into: the selected row's cell is
    // never overwritten by answers, and a read-only entry read once (the board's identity in
    // row 1) would otherwise stay blank for the whole connection.
    if (state == LinkState::Connecting && model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(model_->firstWritableRow(), 1));
    showLiveness();
}

void TClientMain::showLiveness()
{
    const bool live = link_->valuesLive();
    model_->setValuesLive(live);
    statusBar_->refresh();
    emit valuesLiveChanged(live);
}

void TClientMain::showAnswer(const CompactAnswerEffects& effects)
{
    AnswerEffects shown;
    shown.echo = effects.echo;
    shown.timeOutPosition = effects.timeOutPosition;
    settingsTab_->showEcho(shown);
    settingsTab_->collect(settings_.values);
    model_->cellsChanged(effects.changedCells);
    model_->cellsChanged(effects.markedCells);
    emit answerApplied();
}

void TClientMain::fillEmptyCell(std::uint8_t entry)
{
    // An answer that came while the row was selected was not shown; an entry read only once
    // would otherwise stay blank. A cell with text (typed, or from a value set) keeps it.
    if (!link_->scheduler().cellText(entry).empty())
        return;
    const auto [valid, text] = link_->scheduler().withTable([entry](const TProtocol& t) {
        return std::pair(t.Commands[entry].Valid, t.Commands[entry].ValueText);
    });
    if (!valid)
        return;
    link_->scheduler().setCellText(entry, text);
    model_->cellsChanged({entry});
}

bool TClientMain::WriteParameter(std::uint8_t entry)
{
    return link_->WriteParameter(entry);
}

QString TClientMain::cellText(std::uint8_t entry) const
{
    return QString::fromStdString(link_->scheduler().cellText(entry));
}

void TClientMain::SelectRow(std::uint8_t entry)
{
    if (entry >= 1 && entry <= model_->rowCount())
        grid_->setCurrentIndex(model_->index(entry - 1, 1));
}

void TClientMain::MStartStopClick()
{
    if (link_->started()) {
        link_->stop();
    } else {
        settingsEdited();
        link_->start();
    }
}

void TClientMain::MSuspendResumeClick()
{
    link_->setPaused(!link_->isPaused());
}

void TClientMain::MRefreshClick()
{
    const QModelIndex current = grid_->currentIndex();
    if (current.isValid()) {
        const std::uint8_t entry = CompactTableModel::entryOfRow(current.row());
        link_->scheduler().editTable([&](TProtocol& t) { t.Commands[entry].Valid = false; });
    }
    link_->setPaused(false);
}

void TClientMain::reloadForAddress()
{
    settingsEdited();
    try {
        link_->scheduler().editTable([&](TProtocol& t) {
            return t.LoadFromFile(settings_.values.protocolFile.toStdString());
        });
    } catch (const std::exception&) {
        // Quiet: the entries come back as they are read at the new address.
    }
}

bool TClientMain::LoadProtocolFile()
{
    const QString& file = settings_.values.protocolFile;
    bool loaded = false;
    QString why;
    try {
        loaded = link_->scheduler().editTable(
            [&](TProtocol& t) { return t.LoadFromFile(file.toStdString()); });
    } catch (const std::exception& error) {
        why = QString::fromStdString(error.what());
    }
    if (!loaded) {
        // The engine only says no; the likely reason is worth a line in the empty grid.
        if (why.isEmpty())
            why = QFileInfo(file).isReadable()
                      ? QStringLiteral("It is not a description of the compact board's protocol "
                                       "(PROT Kestavin) with at least one VAR line.")
                      : QStringLiteral("The file cannot be read.");
        grid_->setEmptyText(noDescriptionText(file, QStringLiteral("Error protocol: ") + why,
                                              mLoadProtocol_->text(), settingsFileName_));
        showMessage(Dialogs::Kind::Error, QStringLiteral("Error protocol"));
        return false;
    }
    grid_->setEmptyText({});
    link_->scheduler().clearCells();
    model_->reload();
    const std::string section =
        link_->scheduler().withTable([](const TProtocol& t) { return t.Section; });
    setWindowTitle(settings_.values.caption + QStringLiteral("[") + QString::fromStdString(section)
                   + QStringLiteral("]"));
    if (model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(0, 1));
    grid_->scrollToTop();
    for (QAction* a : {mStartStop_, mLoadValue_, mSaveValue_, mRefresh_})
        a->setEnabled(true);
    return true;
}

void TClientMain::MLoadProtocolClick()
{
    Dialogs::FileRequest request;
    request.filter = kProtocolFilter;
    request.fileName = settings_.values.protocolFile;
    const QString chosen = Dialogs::instance().openFileName(request, this);
    if (chosen.isEmpty())
        return;
    settings_.values.protocolFile = chosen;
    LoadProtocolFile();
    QString error;
    if (!ClientSettings::storeProtocolFile(settingsFileName_, chosen, &error))
        showMessage(Dialogs::Kind::Error, error);
}

Dialogs::FileRequest TClientMain::valueFileRequest() const
{
    Dialogs::FileRequest request;
    request.folder = ClientSettings::valsDirOf(QDir::currentPath());
    request.filter = QStringLiteral("Protocol description|*.var|Values|*.val|All files|*.*");
    request.filterIndex = 1;
    request.fileName = QString::fromStdString(link_->scheduler().withTable(
                           [](const TProtocol& t) { return t.Section; }))
                       + QStringLiteral(".val");
    return request;
}

void TClientMain::MSaveValueClick()
{
    const QString chosen = Dialogs::instance().saveFileName(valueFileRequest(), this);
    if (chosen.isEmpty())
        return;
    QStringList cells;
    const int rows = model_->rowCount();
    for (int row = 0; row < rows; ++row)
        cells << cellText(CompactTableModel::entryOfRow(row));
    QString error;
    const auto result = link_->scheduler().withTable(
        [&](const TProtocol& t) { return CompactValueSet::save(chosen, t, cells, &error); });
    showMessage(result == ValueSetFile::SaveResult::Saved ? Dialogs::Kind::Information
                                                          : Dialogs::Kind::Error,
                CompactValueSet::saveMessage(result, error));
}

void TClientMain::MLoadValueClick()
{
    Dialogs::FileRequest request = valueFileRequest();
    const QString chosen = Dialogs::instance().openFileName(request, this);
    if (chosen.isEmpty())
        return;
    QString error;
    const QStringList cells = link_->scheduler().withTable(
        [&](const TProtocol& t) { return CompactValueSet::load(chosen, t, &error); });
    for (int row = 0; row < cells.size(); ++row)
        link_->scheduler().setCellText(CompactTableModel::entryOfRow(row),
                                       cells[row].toStdString());
    model_->refreshAll();
    if (!error.isEmpty())
        showMessage(Dialogs::Kind::Error, error);
    showMessage(Dialogs::Kind::Information, CompactValueSet::loadedMessage());
}

void TClientMain::ValueListEditorKeyDown(int row, int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    const std::uint8_t entry = CompactTableModel::entryOfRow(row);
    if (takeTypedText(entry, link_->scheduler().cellText(entry)))
        WriteParameter(entry);
}

bool TClientMain::takeTypedText(std::uint8_t entry, const std::string& text)
{
    try {
        // A value the entry cannot hold never reaches the board: cut to 16 bits it would be
        // another value altogether.
        if (const auto refusal = link_->scheduler().withTable(
                [&](const TProtocol& t) { return t.WriteRefusal(entry, text); })) {
            showMessage(Dialogs::Kind::Error, QString::fromStdString(*refusal));
            return false;
        }
        return link_->scheduler().editTable(
            [&](TProtocol& t) { return t.TextToValue(entry, text); });
    } catch (const EConvertError& error) {
        showMessage(Dialogs::Kind::Error, QString::fromStdString(error.what()));
        return false;
    }
}

void TClientMain::ReadViewPlacement(QWidget* view)
{
    view_ = view;
    if (!view_)
        return;
    // [View] is read when the view is made, its missing keys written with their defaults.
    IniFile ini(settingsFileName_);
    settings_.readViewPlacement(ini);
    if (!ini.save())
        showMessage(Dialogs::Kind::Error,
                    QStringLiteral("The settings file could not be written: ") + settingsFileName_);
    const ViewPlacement& p = settings_.view;
    view_->setGeometry(fitToScreen(p.left, p.top, p.width, p.height));
    view_->setVisible(p.visible);
    ShowViewState(p.visible);
}

void TClientMain::ShowViewState(bool visible)
{
    mView_->setText(visible ? QStringLiteral("Hide view") : QStringLiteral("View"));
}

void TClientMain::MViewClick()
{
    if (!view_)
        return;
    const bool visible = !view_->isVisible();
    view_->setVisible(visible);
    ShowViewState(visible);
    emit viewToggled(visible);
}

void TClientMain::showMessage(Dialogs::Kind kind, const QString& text)
{
    Dialogs::instance().message(kind, text, this, frameGeometry().topLeft() + QPoint(20, 20));
}

void TClientMain::closeEvent(QCloseEvent* event)
{
    const bool wasStarted = link_->started();
    link_->stop();
    ClientSettings& s = settings_.values;
    settingsTab_->collect(s);
    const QRect frame = geometry();
    s.leftPos = frame.left();
    s.topPos = frame.top();
    s.width = frame.width();
    s.height = frame.height();
    s.colWidth = grid_->columnWidth(0);
    s.start = wasStarted;
    if (view_) {
        const QRect placed = view_->geometry();
        settings_.view = {placed.left(), placed.top(), placed.width(), placed.height(),
                          view_->isVisible()};
        view_->close();
    }
    QString error;
    if (!settings_.saveClosingState(settingsFileName_, &error))
        showMessage(Dialogs::Kind::Error, error);
    event->accept();
}

} // namespace quell::compact
