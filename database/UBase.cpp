#include "database/UBase.h"

namespace quell {

TFormBase::TFormBase(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormBase"));
    setWindowTitle(QStringLiteral("Baza"));
}

} // namespace quell
