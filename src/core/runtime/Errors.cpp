#include "runtime/Errors.h"

namespace zem {

QString ExceptionText(const std::exception& e) {
    if (auto* z = dynamic_cast<const ZemError*>(&e)) return z->Text();
    return QString::fromLocal8Bit(e.what());
}

} // namespace zem
