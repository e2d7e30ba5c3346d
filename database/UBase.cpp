#include "database/UBase.h"

#include "client/Dialogs.h"
#include "client/ParameterWindow.h"
#include "database/DatabasePromptForm.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace quell {

using records::TableKind;

namespace {

template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The colour of a grid the operator is not working in: the caption colour of an inactive window
// on the desktop these stations came from, which Qt's palette does not carry.
const QColor kInactiveGrid(191, 205, 219);

QTableView* makeGrid(QWidget* parent, const char* name)
{
    auto* grid = named(new QTableView(parent), name);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setDefaultSectionSize(110);
    grid->setAutoFillBackground(true);
    return grid;
}

} // namespace

TFormBase::TFormBase(ParameterWindow& window, const DeviceLink& link, TTestPoints& points,
                     QWidget* parent)
    : QDialog(parent), records_(window, link, points),
      prompt_([this](QString& path) { return PromptDatabasePath(path, this); }),
      labelProizvod_(named(new QLabel(this), "LabelProizvod")),
      gridProizvod_(makeGrid(this, "DBGridProizvod")),
      navigator_(named(new QWidget(this), "DBNavigator")),
      labelTesting_(named(new QLabel(this), "LabelTesting")),
      gridTesting_(makeGrid(this, "DBGridTesting")),
      buttonSave_(named(new QPushButton(QStringLiteral("Save and Close"), this), "ButtonSave")),
      buttonLoad_(named(new QPushButton(QStringLiteral("Load and Close"), this), "ButtonLoad")),
      buttonCancel_(
          named(new QPushButton(QStringLiteral("Exit without save/load"), this), "ButtonCancel"))
{
    setObjectName(QStringLiteral("FormBase"));
    setWindowTitle(QStringLiteral("Base"));
    resize(900, 600);

    auto* navigation = new QHBoxLayout(navigator_);
    navigation->setContentsMargins(0, 0, 0, 0);
    const struct {
        const char* name;
        QStyle::StandardPixmap icon;
        const char* hint;
        Move move;
    } moves[] = {
        {"DBNavigatorFirst", QStyle::SP_MediaSkipBackward, "Prvi zapis", Move::First},
        {"DBNavigatorPrior", QStyle::SP_MediaSeekBackward, "Prethodni zapis", Move::Prior},
        {"DBNavigatorNext", QStyle::SP_MediaSeekForward, "Sledeći zapis", Move::Next},
        {"DBNavigatorLast", QStyle::SP_MediaSkipForward, "Poslednji zapis", Move::Last},
    };
    for (const auto& m : moves) {
        auto* button = named(new QToolButton(navigator_), m.name);
        button->setIcon(style()->standardIcon(m.icon));
        button->setToolTip(QString::fromUtf8(m.hint));
        navigation->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, move = m.move] { navigate(move); });
    }
    navigation->addStretch(1);

    buttonSave_->setEnabled(false);
    buttonLoad_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(buttonSave_);
    buttons->addWidget(buttonLoad_);
    buttons->addWidget(buttonCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labelProizvod_);
    layout->addWidget(gridProizvod_, 3);
    layout->addWidget(navigator_);
    layout->addWidget(labelTesting_);
    layout->addWidget(gridTesting_, 2);
    layout->addLayout(buttons);

    gridProizvod_->installEventFilter(this);
    gridTesting_->installEventFilter(this);
    connect(buttonSave_, &QPushButton::clicked, this, &TFormBase::ButtonSaveClick);
    connect(buttonLoad_, &QPushButton::clicked, this, &TFormBase::ButtonLoadClick);
    connect(buttonCancel_, &QPushButton::clicked, this, &QDialog::reject);
    paintGrids();
}

TFormBase::~TFormBase()
{
    FormClose();
}

int TFormBase::showForSave()
{
    buttonLoad_->setEnabled(false);
    buttonSave_->setEnabled(true);
    return exec();
}

int TFormBase::showForLoad()
{
    buttonSave_->setEnabled(false);
    buttonLoad_->setEnabled(true);
    return exec();
}

QPoint TFormBase::messagePoint() const
{
    return pos() + QPoint(20, 20);
}

void TFormBase::tellError(const QString& text)
{
    Dialogs::instance().message(Dialogs::Kind::Error, text, this, messagePoint());
}

bool TFormBase::ConnectDatabase()
{
    for (;;) {
        if (records_.settings().path.isEmpty())
            return false;
        QString error;
        if (records_.connect(error))
            return true;
        tellError(QStringLiteral("Pojavila se greska prilikom konekcije na bazu. Greska:\r\n")
                  + error);
        QString path = records_.settings().path;
        if (!prompt_(path))
            return false;
        records_.setPath(path);
        QString storeError;
        if (!StoreBasePath(records_.parameterWindow().SettingsFileName(), path, &storeError))
            tellError(storeError);
    }
}

void TFormBase::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFormBase::FormShow()
{
    gridProizvod_->setModel(nullptr);
    gridTesting_->setModel(nullptr);
    records_.close();
    QString error;
    if (records_.readSettings(error) && ConnectDatabase()) {
        for (const TableKind kind : {TableKind::Product, TableKind::Test}) {
            if (!records_.openTable(kind, board_, error)) {
                const QString& name = kind == TableKind::Product ? records_.settings().tabela
                                                                 : records_.settings().testing;
                tellError(QStringLiteral("Nastupila je neka greska u tabeli ") + name
                          + QStringLiteral(" !!!\r\n") + error);
            }
            showTable(kind);
        }
        buttonSave_->setEnabled(true);
    } else {
        showTable(TableKind::Product);
        showTable(TableKind::Test);
    }
    activeGrid_ = 0;
    paintGrids();
}

void TFormBase::showTable(TableKind kind)
{
    QTableView* grid = kind == TableKind::Product ? gridProizvod_ : gridTesting_;
    RecordTable* table = records_.table(kind);
    grid->setModel(table ? table->model() : nullptr);
    if (table) {
        // The row key the query adds for tables that carry none of their own is not the
        // operator's business.
        for (int column = table->tableColumns(); column < table->model()->columnCount(); ++column)
            grid->setColumnHidden(column, true);
        // Column names say what a column holds: each column starts wide enough to show its name
        // (measuring the names is cheap, measuring ten thousand rows is not).
        const QFontMetrics metrics(grid->horizontalHeader()->font());
        for (int column = 0; column < table->tableColumns(); ++column) {
            const QString name = table->model()->headerData(column, Qt::Horizontal).toString();
            grid->setColumnWidth(column, std::max(60, metrics.horizontalAdvance(name) + 24));
        }
        connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, kind](const QModelIndex& current) {
                    if (current.isValid())
                        rowChosen(kind, current.row());
                });
    }
    selectCurrent(kind);
}

void TFormBase::selectCurrent(TableKind kind)
{
    QTableView* grid = kind == TableKind::Product ? gridProizvod_ : gridTesting_;
    RecordTable* table = records_.table(kind);
    if (table && !table->onNewRecord()) {
        const QModelIndex index = table->model()->index(table->currentRow(), 0);
        grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                           | QItemSelectionModel::Rows);
        grid->scrollTo(index, QAbstractItemView::PositionAtCenter);
    } else if (grid->selectionModel()) {
        grid->selectionModel()->clear();
    }
    showRecordState(kind);
}

void TFormBase::rowChosen(TableKind kind, int row)
{
    if (RecordTable* table = records_.table(kind)) {
        table->setCurrentRow(row);
        showRecordState(kind);
    }
}

void TFormBase::showRecordState(TableKind kind)
{
    QLabel* label = kind == TableKind::Product ? labelProizvod_ : labelTesting_;
    const RecordTable* table = records_.table(kind);
    const QString title =
        kind == TableKind::Product ? QStringLiteral("Proizvodi") : QStringLiteral("Testovi");
    if (!table) {
        label->setText(title + QStringLiteral(": tabela nije otvorena"));
        return;
    }
    QString text = title + QStringLiteral(" (") + table->name() + QStringLiteral(", ")
                   + QString::number(table->rowCount()) + QStringLiteral(" zapisa): ");
    if (table->onNewRecord())
        text +=
            QStringLiteral("ploča %1 nema zapis, snimanje dodaje novi").arg(table->currentBoard());
    else
        text += QStringLiteral("zapis %1, ploča %2")
                    .arg(table->currentRow() + 1)
                    .arg(table->currentBoard());
    // The operator moved to another board's record: a save puts this board's data there.
    if (!table->onNewRecord() && table->currentBoard() != board_)
        text += QStringLiteral(" (snimanje upisuje podatke ploče %1 u ovaj zapis)").arg(board_);
    label->setText(text);
}

void TFormBase::paintGrids()
{
    const QColor face = palette().color(QPalette::Button);
    for (QTableView* grid : {gridProizvod_, gridTesting_}) {
        const bool active = (grid == gridProizvod_ && activeGrid_ == 1)
                            || (grid == gridTesting_ && activeGrid_ == 2);
        QPalette p = grid->palette();
        p.setColor(QPalette::Base, active ? face : kInactiveGrid);
        grid->setPalette(p);
    }
}

void TFormBase::DBGridProizvodEnter()
{
    activeGrid_ = 1;
    paintGrids();
}

void TFormBase::DBGridTestingEnter()
{
    activeGrid_ = 2;
    paintGrids();
}

bool TFormBase::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == gridProizvod_)
            DBGridProizvodEnter();
        else if (watched == gridTesting_)
            DBGridTestingEnter();
    }
    return QDialog::eventFilter(watched, event);
}

void TFormBase::navigate(Move move)
{
    RecordTable* table = records_.table(TableKind::Product);
    if (!table || table->rowCount() == 0)
        return;
    const int last = table->rowCount() - 1;
    const int row = table->currentRow();
    int target = row;
    switch (move) {
    case Move::First:
        target = 0;
        break;
    case Move::Prior:
        target = row < 0 ? last : std::max(0, row - 1);
        break;
    case Move::Next:
        target = row < 0 ? row : std::min(last, row + 1);
        break;
    case Move::Last:
        target = last;
        break;
    }
    if (target < 0)
        return;
    table->setCurrentRow(target);
    selectCurrent(TableKind::Product);
}

void TFormBase::ButtonSaveClick()
{
    QString error;
    bool appended = false;
    if (activeGrid_ == 1) {
        if (!records_.table(TableKind::Product)) {
            tellError(QStringLiteral("Tabela proizvoda nije otvorena."));
            return;
        }
        if (!Dialogs::instance().question(QStringLiteral("Upis uspešan "), this, messagePoint()))
            return;
        if (!records_.SaveProductRecord(appended, error)) {
            tellError(error);
            return;
        }
    } else if (activeGrid_ == 2) {
        if (!records_.SaveTestRecord(opis_ ? opis_() : QString(), appended, error)) {
            tellError(error);
            return;
        }
    }
    accept();
}

void TFormBase::ButtonLoadClick()
{
    QString error;
    if (activeGrid_ == 1 || activeGrid_ == 2) {
        const bool loaded =
            activeGrid_ == 1 ? records_.LoadProductRecord(error) : records_.LoadTestRecord(error);
        if (!loaded) {
            tellError(error);
            return;
        }
        if (activeGrid_ == 2)
            emit testRecordLoaded(testRecordSource());
        if (!Dialogs::instance().question(QStringLiteral("Čitanje uspešno "), this, messagePoint()))
            return;
    }
    accept();
}

const RecordStepOutcome& TFormBase::runStep(RecordStep step, int board, const QString& opis)
{
    board_ = board;
    lastStep_ = RunRecordStep(records_, step, board, opis);
    if (step == RecordStep::LoadTest && lastStep_.ok)
        emit testRecordLoaded(QStringLiteral("baza ") + lastStep_.database
                              + QStringLiteral(", tabela ") + lastStep_.table
                              + QStringLiteral(", ploča %1").arg(board));
    return lastStep_;
}

QString TFormBase::testRecordSource() const
{
    const RecordTable* table = records_.table(TableKind::Test);
    return QStringLiteral("baza ") + records_.database().displayName() + QStringLiteral(", tabela ")
           + (table ? table->name() : QString())
           + QStringLiteral(", ploča %1").arg(table ? table->currentBoard() : board_);
}

void TFormBase::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormBase::FormClose()
{
    gridProizvod_->setModel(nullptr);
    gridTesting_->setModel(nullptr);
    records_.close();
}

} // namespace quell
