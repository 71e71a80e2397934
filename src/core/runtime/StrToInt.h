#pragma once

#include <QString>

namespace zem {

// A whole number in decimal, with optional blanks around it and an optional
// sign; anything else throws ConvertError.
int StrToInt(const QString& text);
QString IntToStr(int value);

} // namespace zem
