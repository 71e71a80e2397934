#include "windows/ImageControl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace zem {

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ImageControl::SetPictureSize(int width, int height) {
    picture_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    picture_.fill(Qt::white);
    if (AutoSize) resize(picture_.size());
}

void ImageControl::SetPicture(const QImage& image) {
    picture_ = image.convertToFormat(QImage::Format_RGB32);
    if (AutoSize) resize(picture_.size());
    update();
}

void ImageControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, picture_);
    if (OnPaintOver) OnPaintOver(p);
}

static int ButtonCode(Qt::MouseButton b) {
    return b == Qt::RightButton ? 1 : b == Qt::MiddleButton ? 2 : 0;
}

void ImageControl::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) leftDown_ = true;
    buttons_ = e->buttons();
    modifiers_ = e->modifiers();
    const QPoint p = e->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(ButtonCode(e->button()), e->modifiers() & Qt::ShiftModifier, p.x(), p.y());
}

void ImageControl::mouseMoveEvent(QMouseEvent* e) {
    buttons_ = e->buttons();
    const QPoint p = e->position().toPoint();
    if (OnMouseMove) OnMouseMove(e->modifiers() & Qt::ShiftModifier, p.x(), p.y());
}

void ImageControl::mouseReleaseEvent(QMouseEvent* e) {
    buttons_ = e->buttons();
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton && leftDown_) {
        leftDown_ = false;
        if (rect().contains(p) && OnClick) OnClick();
    }
    if (OnMouseUp) OnMouseUp(ButtonCode(e->button()), p.x(), p.y());
}

void ImageControl::wheelEvent(QWheelEvent* e) {
    if (OnWheel)
        OnWheel(e);
    else
        e->ignore();
}

void ImageControl::leaveEvent(QEvent*) {
    if (OnLeave) OnLeave();
}

} // namespace zem
