#pragma once

#include <QLineEdit>
#include <QWidget>

namespace zem {

// The spin control tied to an edit box: its position follows the box's
// text while that holds a whole number, limited to Min..Max.
class UpDown : public QWidget {
    Q_OBJECT
  public:
    UpDown(QLineEdit* associate, int min, int max, int position, QWidget* parent);
    int Position() const;
    void SetPosition(int p);
    int Min, Max;

  private:
    QLineEdit* edit_;
    mutable int position_;
};

} // namespace zem
