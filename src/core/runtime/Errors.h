#pragma once
// The errors that handlers let escape; the application shows them in a
// message box and goes on.

#include <QString>
#include <stdexcept>

namespace zem {

class ZemError : public std::runtime_error {
  public:
    explicit ZemError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& Text() const { return text_; }

  private:
    QString text_;
};

// A text that is not a whole number.
class ConvertError : public ZemError {
    using ZemError::ZemError;
};

// A file that cannot be opened or read.
class FileError : public ZemError {
    using ZemError::ZemError;
};

// The text shown for any exception that reaches the event loop.
QString ExceptionText(const std::exception& e);

} // namespace zem
