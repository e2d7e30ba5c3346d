#include "view/ViewStrip.h"

#include "client/UpDown.h"
#include "widgets/VesmarLiquidIndicator.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace quell {

namespace {

template <typename T> T* named(T* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

} // namespace

ViewStrip::ViewStrip(QWidget* parent, int maxBoard)
    : QObject(parent), ledTime_(named(new TVesmarLiquidIndicator(parent), "LedTime")),
      editOpis_(named(new QLineEdit(QStringLiteral("PB:"), parent), "EditOpis")),
      vrqpb_(named(new QLineEdit(QStringLiteral("0"), parent), "VRQPB")),
      udpb_(named(new UpDown(0, maxBoard, vrqpb_, parent), "UDPB")),
      bConnect_(named(new QPushButton(QStringLiteral("Connect"), parent), "BConnect")),
      uBazu_(named(new QPushButton(QStringLiteral("Upis u bazu"), parent), "UBazu")),
      izBaze_(named(new QPushButton(QStringLiteral("Čitanje iz baze"), parent), "IzBaze")),
      popupMenuStoper_(named(new QMenu(parent), "PopupMenuStoper"))
{
    popupMenuStoper_->addAction(QStringLiteral("Reset"), this, &ViewStrip::stopwatchReset)
        ->setObjectName(QStringLiteral("Reset1"));
    editOpis_->setReadOnly(true);
    connect(bConnect_, &QPushButton::clicked, this, &ViewStrip::connectClicked);
    connect(uBazu_, &QPushButton::clicked, this, &ViewStrip::saveToDatabaseClicked);
    connect(izBaze_, &QPushButton::clicked, this, &ViewStrip::loadFromDatabaseClicked);
    connect(udpb_, &UpDown::changing, this, &ViewStrip::boardChanging);
    connect(ledTime_, &TVesmarLiquidIndicator::mouseUp, this,
            [this](TVesmarLiquidIndicator*, QMouseEvent* event) { emit ledTimeMouseUp(event); });
    connect(vrqpb_, &QLineEdit::editingFinished, this, &ViewStrip::boardEditFinished);
}

void ViewStrip::popupStopwatchMenu(const QPoint& at)
{
    popupMenuStoper_->popup(ledTime_->mapToGlobal(at));
}

void ViewStrip::showStarted(bool started)
{
    bConnect_->setText(started ? QStringLiteral("STOP") : QStringLiteral("Connect"));
}

void ViewStrip::showReadiness(std::optional<bool> ready)
{
    if (readiness_ && *readiness_ == ready) {
        return;
    }
    readiness_ = ready;
    // Until the first answer there is nothing to write to the database.
    uBazu_->setToolTip(!ready   ? QStringLiteral("nema podataka za upis")
                       : *ready ? QStringLiteral("može")
                                : QStringLiteral("još čitam"));
    uBazu_->setCursor(ready && *ready ? Qt::ArrowCursor : Qt::BusyCursor);
}

} // namespace quell
