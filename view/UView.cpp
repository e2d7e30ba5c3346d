#include "UView.h"

#include <algorithm>

namespace quell {

namespace {

constexpr int kMaxBoardNumber = 10000;

} // namespace

TFormView::TFormView(TClientMain& main, QWidget* parent) : QWidget(parent), main_(main)
{
    setObjectName(QStringLiteral("FormView"));
    setWindowTitle(QStringLiteral("VRQ-08"));
    resize(300, 280);
}

void TFormView::RefreshView()
{
    ++refreshCount_;
}

void TFormView::ShowSelection(std::uint16_t)
{
}

bool TFormView::isViewVisible() const
{
    return isVisible();
}

void TFormView::setViewVisible(bool visible)
{
    setVisible(visible);
}

QRect TFormView::viewGeometry() const
{
    return frameGeometry();
}

int TFormView::boardNumber() const
{
    return boardNumber_;
}

void TFormView::setBoardNumber(int number)
{
    boardNumber_ = std::clamp(number, 0, kMaxBoardNumber);
}

void TFormView::markDatabaseReady()
{
}

void TFormView::closeView()
{
    close();
}

} // namespace quell
