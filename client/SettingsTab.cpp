#include "client/SettingsTab.h"

#include "client/ClientSettings.h"
#include "client/RequestScheduler.h"
#include "client/UpDown.h"
#include "protocol/ConvertError.h"
#include "protocol/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace quell {

namespace {

QLineEdit* namedEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QComboBox* namedCombo(QWidget* parent, const char* name, LineProtocol::SettingsWord word)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    // The same list the link accepts from the server's echo.
    for (std::string_view item : LineProtocol::offeredValues(word))
        combo->addItem(QString::fromLatin1(item.data(), static_cast<qsizetype>(item.size())));
    return combo;
}

} // namespace

SettingsTab::SettingsTab(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Settings"));
    auto* pageLayout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Settings"), this);
    group->setObjectName(QStringLiteral("GroupBoxSettings"));
    pageLayout->addWidget(group);
    pageLayout->addStretch();
    auto* form = new QFormLayout(group);
    form->setVerticalSpacing(3);

    editHost_ = namedEdit(group, "LEditHost");
    editPort_ = namedEdit(group, "LEditPort");
    comboBaud_ = namedCombo(group, "ComboBoxBaud", LineProtocol::SettingsWord::Baud);
    comboDataBits_ = namedCombo(group, "ComboBoxDataB", LineProtocol::SettingsWord::DataBits);
    comboParity_ = namedCombo(group, "ComboBoxParity", LineProtocol::SettingsWord::Parity);
    comboStopBits_ = namedCombo(group, "ComboBoxStopB", LineProtocol::SettingsWord::StopBits);
    form->addRow(QStringLiteral("Host:"), editHost_);
    form->addRow(QStringLiteral("Port:"), editPort_);
    form->addRow(QStringLiteral("Baud Rate:"), comboBaud_);
    form->addRow(QStringLiteral("Data Bits:"), comboDataBits_);
    form->addRow(QStringLiteral("Parity:"), comboParity_);
    form->addRow(QStringLiteral("Stop Bits:"), comboStopBits_);

    auto numberRow = [&](const char* label, const char* editName, const char* upDownName,
                         int minimum, int maximum, QLineEdit*& edit, UpDown*& upDown) {
        edit = namedEdit(group, editName);
        upDown = new UpDown(minimum, maximum, edit, group);
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
    checkViaMc_ = new QCheckBox(QStringLiteral("Via MC:"), group);
    checkViaMc_->setObjectName(QStringLiteral("CBViaMC"));
    checkViaMc_->setLayoutDirection(Qt::RightToLeft);
    form->addRow(checkViaMc_);
    numberRow("MC Addr:", "LEditMCAddr", "UpDownMCAddr", ClientSettings::kAddressMin,
              ClientSettings::kAddressMax, editMcAddress_, upDownMcAddress_);

    // Only what the user does marks a word for the server; values shown from the settings or an
    // echo do not.
    for (auto [edit, upDown] : {std::pair{editTimeOut_, upDownTimeOut_},
                                {editRetries_, upDownRetries_},
                                {editAddress_, upDownAddress_},
                                {editMcAddress_, upDownMcAddress_}})
        connect(edit, &QLineEdit::returnPressed, this,
                [this, edit = edit, upDown = upDown] { editEnterPressed(edit, upDown); });
    connect(upDownTimeOut_, &UpDown::mouseReleased, this,
            [this] { emit wordEdited(LineProtocol::SettingsWord::TimeOut); });
    connect(upDownRetries_, &UpDown::mouseReleased, this,
            [this] { emit wordEdited(LineProtocol::SettingsWord::Retries); });
    connect(upDownAddress_, &UpDown::mouseReleased, this, &SettingsTab::addressEdited);
    connect(upDownMcAddress_, &UpDown::mouseReleased, this, &SettingsTab::edited);
    const std::pair<QComboBox*, LineProtocol::SettingsWord> combos[] = {
        {comboBaud_, LineProtocol::SettingsWord::Baud},
        {comboDataBits_, LineProtocol::SettingsWord::DataBits},
        {comboParity_, LineProtocol::SettingsWord::Parity},
        {comboStopBits_, LineProtocol::SettingsWord::StopBits},
    };
    for (const auto& [combo, word] : combos) {
        const LineProtocol::SettingsWord w = word;
        connect(combo, &QComboBox::textActivated, this, [this, w] { emit wordEdited(w); });
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, w] { emit wordEdited(w); });
    }
    connect(checkViaMc_, &QCheckBox::clicked, this, [this] {
        applyViaMcRule();
        emit edited();
    });
    connect(editHost_, &QLineEdit::textEdited, this, &SettingsTab::edited);
    connect(editPort_, &QLineEdit::textEdited, this, &SettingsTab::edited);
}

void SettingsTab::showSettings(const ClientSettings& s)
{
    editHost_->setText(s.host);
    editPort_->setText(s.port);
    comboBaud_->setEditText(s.baud);
    comboDataBits_->setEditText(s.dataBits);
    comboParity_->setEditText(s.parity);
    comboStopBits_->setEditText(s.stopBits);
    upDownTimeOut_->setPosition(s.timeOut);
    upDownRetries_->setPosition(s.retrying);
    upDownAddress_->setPosition(s.address);
    checkViaMc_->setChecked(s.enableMc);
    upDownMcAddress_->setPosition(s.mcAddress);
    applyViaMcRule();
    // The View* keys come last, so a site's lock decides the final state.
    editPort_->setEnabled(s.viewPort);
    comboDataBits_->setEnabled(s.viewDataBits);
    comboParity_->setEnabled(s.viewParity);
    comboStopBits_->setEnabled(s.viewStopBits);
    editTimeOut_->setEnabled(s.viewTimeOut);
    editRetries_->setEnabled(s.viewRetrying);
    editAddress_->setEnabled(s.viewAddress);
}

void SettingsTab::collect(ClientSettings& s) const
{
    s.host = editHost_->text();
    s.port = editPort_->text();
    s.baud = comboBaud_->currentText();
    s.dataBits = comboDataBits_->currentText();
    s.parity = comboParity_->currentText();
    s.stopBits = comboStopBits_->currentText();
    s.timeOut = upDownTimeOut_->position();
    s.retrying = upDownRetries_->position();
    s.retryingText = editRetries_->text();
    s.address = upDownAddress_->position();
    s.enableMc = checkViaMc_->isChecked();
    s.mcAddress = upDownMcAddress_->position();
}

void SettingsTab::showEcho(const AnswerEffects& effects)
{
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
}

void SettingsTab::applyViaMcRule()
{
    const bool viaMc = checkViaMc_->isChecked();
    editAddress_->setEnabled(!viaMc);
    upDownAddress_->setEnabled(!viaMc);
    editMcAddress_->setEnabled(viaMc);
    upDownMcAddress_->setEnabled(viaMc);
}

void SettingsTab::hideMcControls()
{
    auto* form = qobject_cast<QFormLayout*>(checkViaMc_->parentWidget()->layout());
    int row = -1;
    QFormLayout::ItemRole role{};
    form->getWidgetPosition(checkViaMc_, &row, &role);
    // The MC address row follows the box.
    form->setRowVisible(row + 1, false);
    form->setRowVisible(row, false);
}

void SettingsTab::setLinkStarted(bool started, const ClientSettings& s)
{
    if (started) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{editHost_, editPort_, editAddress_, upDownAddress_,
                                             checkViaMc_, editMcAddress_, upDownMcAddress_})
            w->setEnabled(false);
        return;
    }
    editHost_->setEnabled(true);
    // A site's lock of the port or the address stays in force after a stop.
    editPort_->setEnabled(s.viewPort);
    checkViaMc_->setEnabled(true);
    applyViaMcRule();
    if (!s.viewAddress)
        editAddress_->setEnabled(false);
}

void SettingsTab::editEnterPressed(QLineEdit* edit, UpDown* upDown)
{
    int value = upDown->position();
    try {
        value = parseInteger(edit->text().toStdString());
    } catch (const EConvertError&) {
        // Text that is no number quietly gives way to the up-down's position.
    }
    upDown->setPosition(value);
    if (upDown == upDownTimeOut_)
        emit wordEdited(LineProtocol::SettingsWord::TimeOut);
    else if (upDown == upDownRetries_)
        emit wordEdited(LineProtocol::SettingsWord::Retries);
    else if (upDown == upDownAddress_)
        emit addressEdited();
    else
        emit edited();
}

} // namespace quell
