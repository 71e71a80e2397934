#pragma once
// The main window's tool bar: a button for each tool beside the described
// modes, which checks while its tool is active, and one for each described
// mode, which shows that mode's check mark. Every button has a key that
// works from every window and panel of the program.

#include "tools/ToolManager.h"
#include "windows/ToolIcons.h"

#include <QAction>
#include <QComboBox>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <functional>

namespace zem {

// A key of the program: from every window and panel, but not from a text
// box being typed into or while a dialog is open. A held key acts once.
QAction* AddProgramKey(QWidget* owner, const QList<QKeySequence>& keys,
                       const std::function<void()>& run);

// The view's keys (the arrows, Page Up and Page Down, Escape) from every
// window and panel of the program, as long as no menu or dialog is open and
// no text box is being typed into. They are no shortcuts: an open menu keeps
// its arrows and its Escape.
class ViewKeys : public QObject {
  public:
    ViewKeys(QObject* owner, std::function<void(int key)> run);

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    std::function<void(int)> run_;
};

class MapToolBar : public QToolBar {
  public:
    MapToolBar(QMainWindow& main, ToolManager& tools);
    // The action choosing a tool; the Edit menu holds it too.
    QAction* AddTool(ToolKind kind, const QString& caption, ToolPicture picture, const QString& tip,
                     Qt::Key key);
    // A described mode's menu item as a button with a key of its own.
    void AddMode(QAction* item, bool ModeMarks::*mark, ToolPicture picture, const QString& tip,
                 Qt::Key key);
    // The choices beside the tools, kept between runs: the brush's size
    // (always, [ and ] change it), and what Fill, Shape and Select take, each
    // shown while its tool is active.
    void AddOptions();
    // Edit > Select Same Tile, Select All, Select None.
    void AddSelectionItems(QMenu* edit, MapDocument& doc);

    QComboBox *BrushBox = nullptr, *FillBox = nullptr, *ShapeBox = nullptr, *SelectBox = nullptr;

  private:
    void Update();
    QComboBox* AddChoice(const QString& key, const QStringList& items, const QString& tip,
                         ToolKind shownWith, const std::function<void(ToolOptions&, int)>& set);
    ToolManager& tools_;
    std::vector<std::pair<QAction*, ToolKind>> choices_; // a choice's action and the tool it serves
    std::vector<std::pair<QAction*, ToolKind>> tools_shown_;
    std::vector<std::pair<QAction*, bool ModeMarks::*>> modes_;
};

} // namespace zem
