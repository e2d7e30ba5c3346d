#pragma once

#include "ViewLink.h"

#include <QWidget>

namespace quell {

class TClientMain;

// The measurement view window ("VRQ-08"). For now it is the window the start-up order and the
// main window's View command and value sets need: it can be shown and hidden, keeps the board
// number and takes the link's refresh calls; its indicators, tables and procedures come next.
class TFormView : public QWidget, public ViewLink {
    Q_OBJECT
public:
    // The view of the program whose main window is main (not owned).
    explicit TFormView(TClientMain& main, QWidget* parent = nullptr);

    void RefreshView() override;
    void ShowSelection(std::uint16_t entry) override;
    bool isViewVisible() const override;
    void setViewVisible(bool visible) override;
    QRect viewGeometry() const override;
    int boardNumber() const override;
    void setBoardNumber(int number) override;
    void markDatabaseReady() override;
    void closeView() override;

    // How many answer lines the view was refreshed for.
    int refreshCount() const { return refreshCount_; }

private:
    TClientMain& main_;
    int boardNumber_ = 0;
    int refreshCount_ = 0;
};

} // namespace quell
