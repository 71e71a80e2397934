#include "windows/UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace zem {

UpDown::UpDown(QLineEdit* associate, int min, int max, int position, QWidget* parent)
    : QWidget(parent), Min(min), Max(max), edit_(associate), position_(position) {
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(up);
    lay->addWidget(down);
    resize(17, edit_->height());
    connect(up, &QToolButton::clicked, this, [this] { SetPosition(Position() + 1); });
    connect(down, &QToolButton::clicked, this, [this] { SetPosition(Position() - 1); });
    edit_->setText(QString::number(position));
}

int UpDown::Position() const {
    bool ok = false;
    const int v = edit_->text().trimmed().toInt(&ok);
    if (ok) position_ = std::clamp(v, Min, Max);
    return position_;
}

void UpDown::SetPosition(int p) {
    position_ = std::clamp(p, Min, Max);
    edit_->setText(QString::number(position_));
}

} // namespace zem
