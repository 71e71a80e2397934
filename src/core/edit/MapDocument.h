#pragma once
// The map being edited and everything that belongs to it: its history, the
// selected hexes, the section waiting to be pasted, the file it came from
// and whether it changed since, the hint of the current mode, and the
// editing state later clicks read. Every change goes through here; windows
// read it and follow its signals, and keep no copy of their own.

#include "edit/Edit.h"
#include "edit/History.h"
#include "map/HexSet.h"

#include <QObject>
#include <optional>

namespace zem {

struct ZemState;

class MapDocument : public QObject {
    Q_OBJECT
  public:
    explicit MapDocument(ZemState& st);

    ZemState& State() { return st_; }
    HexMap& Map();
    EditorState& Ed();
    const TileCatalogue& Cat() const;
    EditTarget Target();
    History& Steps() { return history_; }
    const History& Steps() const { return history_; }

    // Records an edit already made and tells the windows. A stroke still
    // held ends first, as its own step. An error the edit raised after it
    // changed the map is raised again here, once the change is recorded.
    void Apply(EditOutcome out);
    // A part of a stroke: shown now, recorded whole when the stroke ends.
    void ShowPart(const EditOutcome& part);
    void RecordStroke(EditOutcome stroke);

    // What follows every edit of a tool that changes tiles (the coasts fixed
    // while painting): given the edit, it makes changes of its own and
    // returns them, and they join the edit's step. Unset: nothing follows.
    std::function<EditOutcome(const EditOutcome&)> AfterToolEdit;
    // While one lives, the edits applied are the pointer's tool's. A stroke
    // is always a tool's.
    class ToolActing {
      public:
        explicit ToolActing(MapDocument& doc) : doc_(doc) { ++doc_.acting_; }
        ~ToolActing() { --doc_.acting_; }
        ToolActing(const ToolActing&) = delete;
        ToolActing& operator=(const ToolActing&) = delete;

      private:
        MapDocument& doc_;
    };
    void Undo();
    void Redo();
    // Asks whoever holds a stroke to end it, as its release would: before
    // an undo, a save or any other step, so a step never spans them.
    void Settle();

    // The file: its name, empty while the map is untitled.
    const QString& FileName() const { return fileName_; }
    // "island.zep", or "untitled".
    QString MapName() const;
    // "ZEM Map", "ZEM Map - island.zep*".
    QString Title() const;
    bool IsClean() const { return history_.IsClean(); }
    // The map of a file read whole becomes the current one, the file's, with
    // a fresh history whose start is clean.
    void Load(const MapFileData& data, const QString& path);
    // An imported map is a change of the map, one step, and no file's yet;
    // the hexes of `unsure` are marked, `news` told.
    void Import(const QString& step, const std::function<void()>& read,
                const std::vector<HexPos>& unsure = {},
                const std::optional<QString>& news = std::nullopt);
    void Saved(const QString& path);

    const HexSet& Selection() const { return selection_; }
    void Select(const HexSet& hexes);
    const std::optional<MapFileData>& PendingPaste() const { return paste_; }
    // `column`: the column the section was copied from, when it is known; a
    // paste then goes to a column of the same kind (odd or even), so its
    // hexes and roads keep their shape.
    void SetPaste(MapFileData section, int column = -1);
    // Where the section's top-left hex goes for a click on `hex`.
    HexPos PasteAt(HexPos hex) const;
    void DropPaste();

    // The tiles placements choose from at random (Ctrl+click in the
    // palette); an empty mix places the selected tile.
    void SetMix(std::vector<int> tiles);

    // Hexes an import was unsure of, each marked while it shows the tile
    // the import chose (an edit that changes it takes its mark away, its
    // undo brings the mark back); another map takes them away, and undo or
    // redo back to the import brings them back.
    const std::vector<HexPos>& Unsure() const { return unsure_; }

    // The prompt of the current mode (the hint label).
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& text);
    // News for the status bar and the list of messages.
    void Tell(const QString& text) { emit message(text); }
    // The prompt of a waiting paste, taken away with it.
    static const QString PastePrompt;

  signals:
    void settling();
    // An edit applied (recorded, or a part of a stroke), to be shown.
    void applied(const EditOutcome& out);
    // An undo or redo put this step's cells back.
    void undone(const EditOutcome& out);
    void titleChanged();
    void selectionChanged();
    void pasteChanged();
    void unsureChanged();
    void mixChanged();
    void hintChanged(const QString& text);
    void message(const QString& text);
    // News no longer true: gone from the status bar while it still shows it.
    void withdrawn(const QString& text);

  private:
    // `newMap`: the step, when it made a new map.
    void Changed(const EditOutcome* newMap);
    // What follows a tool's edit that changed tiles; nothing when nothing
    // does.
    std::optional<EditOutcome> FollowUp(const EditOutcome& out);

    ZemState& st_;
    History history_;
    QString fileName_;
    QString cleanName_; // the file the history's clean state was read from or saved to
    HexSet selection_;
    std::optional<MapFileData> paste_;
    int pasteColumn_ = -1;
    std::vector<HexPos> unsure_;
    // As the import that made the map shown chose them; set with that map.
    std::vector<std::pair<HexPos, int>> unsureTiles_;
    void KeepUnsure();
    QString hint_;
    int acting_ = 0;        // ToolActing scopes open
    bool settling_ = false; // an edit is applied: a stroke it ends is recorded as it stands
};

} // namespace zem
