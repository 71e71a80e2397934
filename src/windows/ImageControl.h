#pragma once
// A picture control: shows its bitmap from the top-left corner and reports
// presses, motion and clicks (left button released over it after a press).

#include <QImage>
#include <QWidget>
#include <functional>

namespace zem {

class ImageControl : public QWidget {
    Q_OBJECT
  public:
    explicit ImageControl(QWidget* parent = nullptr);

    QImage& Picture() { return picture_; }
    // Gives the picture a new bitmap of this size (white), as assigning a
    // bitmap's Width and Height does.
    void SetPictureSize(int width, int height);
    // With AutoSize the control takes the size of every picture it gets.
    void SetPicture(const QImage& image);
    bool AutoSize = false;
    void Repaint() { repaint(); }

    // button: 0 left, 1 right, 2 middle
    std::function<void(int button, bool shift, int x, int y)> OnMouseDown;
    std::function<void(bool shift, int x, int y)> OnMouseMove;
    std::function<void()> OnClick;
    // Any button released (after OnClick, when one follows), the wheel, and
    // the pointer leaving the control.
    std::function<void(int button, int x, int y)> OnMouseUp;
    std::function<void(QWheelEvent*)> OnWheel;
    std::function<void()> OnLeave;
    // The buttons held down now, and the keys held at the last press.
    Qt::MouseButtons Buttons() const { return buttons_; }
    Qt::KeyboardModifiers PressModifiers() const { return modifiers_; }
    // Draws over the picture on screen, leaving the picture itself alone.
    std::function<void(QPainter&)> OnPaintOver;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void leaveEvent(QEvent*) override;

  private:
    QImage picture_;
    bool leftDown_ = false;
    Qt::MouseButtons buttons_;
    Qt::KeyboardModifiers modifiers_;
};

} // namespace zem
