#pragma once
// Gives the pointer on the map to exactly one tool. Which one follows from
// the editing state: a described mode (the section corners, the paste
// point, terrain painting, the spray can, the road pair) while it is on,
// else a section waiting to be pasted, else the tool chosen last. The
// described menu commands that switch modes are here too, so their check
// marks, prompts and clicks cannot disagree with the tool in use.

#include "tools/MapTool.h"

#include <QObject>
#include <QRect>
#include <array>
#include <memory>

namespace zem {

// The check marks of the described modes of the Edit menu.
struct ModeMarks {
    bool ToggleRoads = false, TerrainType1 = false, TerrainType2 = false, SprayCan = false;
    bool operator==(const ModeMarks&) const = default;
};

class ToolManager : public QObject {
    Q_OBJECT
  public:
    ToolManager(MapDocument& doc, ToolInputs inputs);
    ~ToolManager() override;

    MapDocument& Doc() const { return doc_; }
    const ToolInputs& Inputs() const { return inputs_; }
    ToolKind Active() const;
    MapTool& ActiveTool() const;
    const ModeMarks& Marks() const { return marks_; }
    // The tool chosen on the tool bar, active when no mode or paste is.
    ToolKind Chosen() const { return chosen_; }

    // A tool of the tool bar: every mode and a waiting paste end.
    void Choose(ToolKind kind);
    const ToolOptions& Options() const { return options_; }
    void SetOptions(const ToolOptions& options);
    // A section waits for the click that places it; `column`: where it was
    // copied from, when known.
    void StartPaste(MapFileData section, int column = -1);

    // The described commands.
    void ToggleRoadConnections();
    void TerrainType(int which); // 1 or 2
    void SprayCan();
    void CancelModes();
    void CopySection();
    void PasteFromFile();

    // The pointer, in pixels of the view at 100 %. Press: the press is
    // recorded in the editing state first.
    void Press(const PointerEvent& e);
    // The left button held: every point from the last one to `e.at`, inside
    // `area` (the picture), goes to the tool in turn.
    void Move(const PointerEvent& e, bool moved, const QRect& area);
    void Click();
    void Release(int button);
    // Escape: a waiting paste, the selection and a mix of tiles go.
    void Escape();
    // A stroke still held ends as its own step; the release that follows is
    // no click.
    void EndStroke();

  signals:
    // The active tool, a check mark or the terrain kind painted changed.
    void activeChanged();
    // The terrain picker shows this kind's names (1, 2), or closes (0).
    void terrainPicker(int which);

  private:
    void Sync();
    void SwitchOff(bool ModeMarks::*mark);
    void LeaveSectionModes();

    MapDocument& doc_;
    ToolInputs inputs_;
    std::array<std::unique_ptr<MapTool>, ToolKinds> tools_;
    ToolOptions options_;
    ToolKind chosen_ = ToolKind::Place;
    ModeMarks marks_;
    ToolKind shown_ = ToolKind::Place; // as last announced
    ModeMarks shownMarks_;
    QPoint last_;      // the left button's last point
    bool cut_ = false; // a command ended the stroke while the button was down
};

} // namespace zem
