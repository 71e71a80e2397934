#pragma once
// The windows of the program, created once in a fixed order and living
// until the end, around the one document and its tools. Each window reaches
// the others through here.

#include "edit/MapDocument.h"
#include "tools/ToolManager.h"
#include "windows/Messages.h"

#include <QStringList>

class QWidget;
#include <functional>
#include <memory>

namespace zem {

struct ZemState;
struct EditOutcome;
class DialogService;
class MessageLog;
class Panels;
class TMapForm;
class TTilForm;
class TInputForm;
class TMapConvert;
class TStratMapForm;
class TTerrainForm;
class TSprayForm;
class TerrainTemplateMenu;

struct Windows {
    Windows(ZemState& st, DialogService& dialogs);
    ~Windows();

    ZemState& st;
    LoggedDialogs logged; // every message box is kept in the Messages panel too
    DialogService& dialogs;
    MapDocument doc;
    ToolManager tools;
    // Called when "Mapset.txt" cannot be read; ends the program with exit
    // code 1 unless a test puts something else here.
    std::function<void(int)> Terminate;

    // What one window asks of another.
    void RedrawMap();
    // The main view was drawn again: the overview follows its place.
    void MapShown();
    void ShowMapWindow();
    // The converter's first place: centred on the main window; later the
    // user's place stays.
    void PlaceCentred(QWidget* form);
    // Every change to the map made outside the main window reports here.
    void Applied(const EditOutcome& out);
    // Asks before unsaved changes would be lost; true: go ahead.
    bool MaybeSave();
    // The same before the converter changes the map, unless its own map
    // size is the newest step: the question came before that size.
    bool MaybeSaveBeforeSketch();
    // The terrain picker lists the names of kind 1 or 2, or closes (0).
    void ShowTerrainPicker(int which);

    std::unique_ptr<TMapForm> MapForm;
    std::unique_ptr<TTilForm> TilForm;
    std::unique_ptr<TInputForm> InputForm;
    std::unique_ptr<TMapConvert> MapConvert;
    std::unique_ptr<TStratMapForm> StratMapForm;
    std::unique_ptr<TTerrainForm> TerrainForm;
    std::unique_ptr<TSprayForm> SprayForm;
    Panels* panels = nullptr;                 // of the main window
    MessageLog* messages = nullptr;           // in its panel
    TerrainTemplateMenu* templates = nullptr; // of the Tools menu
    QStringList created;                      // captions in the order the windows were made
};

} // namespace zem
