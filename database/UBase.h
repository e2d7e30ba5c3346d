#pragma once

#include <QWidget>

namespace quell {

// The product and test database window. It stays hidden until the view's database buttons
// show it; for now it exists so that start-up and shut-down run in their order.
class TFormBase : public QWidget {
    Q_OBJECT
public:
    explicit TFormBase(QWidget* parent = nullptr);
};

} // namespace quell
