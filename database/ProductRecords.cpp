#include "database/ProductRecords.h"

#include "client/DeviceLink.h"
#include "client/ParameterWindow.h"
#include "protocol/ConvertError.h"
#include "protocol/ValueCodec.h"

#include <QFileInfo>

namespace quell {

using records::TableKind;

ProductRecords::ProductRecords(ParameterWindow& window, const DeviceLink& link, TTestPoints& points)
    : window_(window), link_(link), points_(points),
      now_([] { return QDateTime::currentDateTime(); })
{
}

ProductRecords::~ProductRecords()
{
    close();
}

bool ProductRecords::readSettings(QString& error)
{
    const QString& file = window_.SettingsFileName();
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        error = QStringLiteral("fajl podešavanja ne postoji: ") + file;
        return false;
    }
    QString writeError;
    settings_ = ReadBaseSettings(file, window_.WorkDir(), &writeError);
    // A settings file that cannot be written still gives the values to work with.
    return true;
}

bool ProductRecords::connect(QString& error)
{
    product_.reset();
    test_.reset();
    return database_.connect(settings_.path, error);
}

void ProductRecords::close()
{
    product_.reset();
    test_.reset();
    database_.close();
}

bool ProductRecords::openTable(TableKind kind, int board, QString& error)
{
    auto& slot = kind == TableKind::Product ? product_ : test_;
    slot.reset();
    const QString& name = kind == TableKind::Product ? settings_.tabela : settings_.testing;
    if (name.isEmpty()) {
        error = QStringLiteral("naziv tabele nije zadat");
        return false;
    }
    auto table = std::make_unique<RecordTable>(kind, database_.database(), name);
    if (!table->open(error))
        return false;
    table->locate(board);
    slot = std::move(table);
    return true;
}

RecordTable* ProductRecords::table(TableKind kind) const
{
    return kind == TableKind::Product ? product_.get() : test_.get();
}

QString ProductRecords::valueText(int entry, int raw) const
{
    QString text;
    link_.readTable([&](const TProtocol& table) {
        if (const TCommands* c = table.entryAt(static_cast<std::uint16_t>(entry)))
            text = QString::fromStdString(valueToText(*c, raw, std::to_string(raw)));
        else
            text = QString::number(raw);
    });
    return text;
}

std::optional<long long> ProductRecords::rawOfText(int entry, const QString& text) const
{
    std::optional<long long> raw;
    link_.readTable([&](const TProtocol& table) {
        const TCommands* c = table.entryAt(static_cast<std::uint16_t>(entry));
        if (c == nullptr)
            return;
        switch (c->TypeCode) {
        case kTypePickList:
        case kTypeHex:
        case kTypeBitFields:
        case kTypeIndex:
            try {
                // Only a text the entry shows for a value stands for that value; anything else
                // (a text that is no item) is stored as its digits, as any other.
                const std::string shown = text.toStdString();
                const std::int16_t value = textToValue(*c, shown, c->Value);
                if (valueToText(*c, value, {}) == shown)
                    raw = value;
            } catch (const EConvertError&) {
            }
            break;
        default:
            break;
        }
    });
    return raw;
}

bool ProductRecords::SaveProductRecord(bool& appended, QString& error)
{
    appended = false;
    if (!product_) {
        error = QStringLiteral("tabela proizvoda nije otvorena");
        return false;
    }
    const auto columns = records::productColumns(
        [&](int entry) { return window_.cellText(static_cast<std::uint16_t>(entry)); },
        [&](int entry, const QString& text) { return rawOfText(entry, text); });
    return product_->save(columns, appended, error);
}

bool ProductRecords::SaveTestRecord(const QString& opis, bool& appended, QString& error)
{
    appended = false;
    if (!test_) {
        error = QStringLiteral("tabela testova nije otvorena");
        return false;
    }
    const records::TestRecordNotes notes{opis, now_(), settings_.tester, settings_.station};
    return test_->save(records::testColumns(test_->board(), points_, notes), appended, error);
}

bool ProductRecords::LoadProductRecord(QString& error)
{
    if (!product_) {
        error = QStringLiteral("tabela proizvoda nije otvorena");
        return false;
    }
    if (product_->onNewRecord()) {
        error = QStringLiteral("ploča %1 nema zapis u tabeli ").arg(product_->board())
                + product_->name();
        return false;
    }
    const auto cells = records::productCells(
        product_->currentRecord(), [&](int entry, int raw) { return valueText(entry, raw); });
    for (const auto& [entry, text] : cells)
        window_.setCellText(static_cast<std::uint16_t>(entry), text);
    return true;
}

bool ProductRecords::LoadTestRecord(QString& error)
{
    if (!test_) {
        error = QStringLiteral("tabela testova nije otvorena");
        return false;
    }
    if (test_->onNewRecord()) {
        error = QStringLiteral("ploča %1 nema zapis u tabeli ").arg(test_->board()) + test_->name();
        return false;
    }
    QString why;
    if (!records::testPointsFromRecord(test_->currentRecord(), points_, why)) {
        error = QStringLiteral("tabela ") + test_->name() + QStringLiteral(": ") + why;
        return false;
    }
    return true;
}

RecordStepOutcome RunRecordStep(ProductRecords& records, RecordStep step, int board,
                                const QString& opis)
{
    RecordStepOutcome outcome;
    outcome.board = board;
    const TableKind kind = step == RecordStep::SaveProduct || step == RecordStep::LoadProduct
                               ? TableKind::Product
                               : TableKind::Test;
    QString error;
    if (!records.readSettings(error)) {
        outcome.error = error;
        return outcome;
    }
    outcome.table =
        kind == TableKind::Product ? records.settings().tabela : records.settings().testing;
    if (!records.connect(error)) {
        outcome.database = records.settings().path;
        QString unusable;
        if (const auto target = DatabaseTarget::fromPath(records.settings().path, unusable))
            outcome.database = target->displayName();
        outcome.error =
            QStringLiteral("Pojavila se greska prilikom konekcije na bazu. Greska: ") + error;
        return outcome;
    }
    outcome.database = records.database().displayName();
    if (!records.openTable(kind, board, error)) {
        outcome.error = QStringLiteral("Nastupila je neka greska u tabeli ") + outcome.table
                        + QStringLiteral(" !!! ") + error;
        records.close();
        return outcome;
    }
    switch (step) {
    case RecordStep::SaveProduct:
        outcome.ok = records.SaveProductRecord(outcome.appended, error);
        break;
    case RecordStep::SaveTest:
        outcome.ok = records.SaveTestRecord(opis, outcome.appended, error);
        break;
    case RecordStep::LoadProduct:
        outcome.ok = records.LoadProductRecord(error);
        break;
    case RecordStep::LoadTest:
        outcome.ok = records.LoadTestRecord(error);
        break;
    }
    if (!outcome.ok)
        outcome.error = error;
    records.close();
    return outcome;
}

} // namespace quell
