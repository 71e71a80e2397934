#include "Scripted.h"

namespace zem {

bool ScriptedDialogs::Execute(OpenDialog& d) {
    dialogs.push_back(d);
    if (answers_.empty()) return false;
    auto a = answers_.front();
    answers_.pop_front();
    if (!a) return false;
    d.FileName = *a;
    return true;
}

int ScriptedRandom::Next() {
    ++taken_;
    if (draws_.empty()) return 0;
    int n = draws_.front();
    draws_.pop_front();
    return n;
}

} // namespace zem
