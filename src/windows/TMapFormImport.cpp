// File > Import Panzer General 2 Map: a game map back as an untitled map,
// one step to undo, with the hexes whose tile is unsure marked.

#include "edit/ZemState.h"
#include "interop/PG2Import.h"
#include "windows/PG2ImportRun.h"
#include "windows/TMapForm.h"
#include "windows/Windows.h"

namespace zem {

void TMapForm::ImportPG21Click() {
    if (!MaybeSave()) return;
    if (!AskFile(QStringLiteral("Import Panzer General 2 Map"),
                 QStringLiteral("Panzer General 2 maps (Map*.map)|Map*.map|All files (*.*)|*.*"),
                 false, {}, &pg2Name_))
        return;
    bool cancelled = false;
    const std::optional<PG2Import> imp =
        ImportPG2Map(this, w.dialogs, pg2Name_, st.workDir, st.cat, st.images, &cancelled);
    if (cancelled) ShowStatus(QStringLiteral("Import cancelled; the map is unchanged."));
    if (!imp) return;
    doc.Import(
        QStringLiteral("Import Panzer General 2 Map"), [&] { ApplyPG2Import(*imp, st.map); },
        imp->Unsure(), imp->Summary());
}

} // namespace zem
