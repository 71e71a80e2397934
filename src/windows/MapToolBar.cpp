#include "windows/MapToolBar.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>

namespace zem {

QAction* AddProgramKey(QWidget* owner, const QList<QKeySequence>& keys,
                       const std::function<void()>& run) {
    auto* a = new QAction(owner);
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::ApplicationShortcut);
    a->setAutoRepeat(false);
    QObject::connect(a, &QAction::triggered, owner, run);
    owner->addAction(a);
    return a;
}

ViewKeys::ViewKeys(QObject* owner, std::function<void(int)> run)
    : QObject(owner), run_(std::move(run)) {
    qApp->installEventFilter(this);
}

bool ViewKeys::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down &&
        key != Qt::Key_PageUp && key != Qt::Key_PageDown && key != Qt::Key_Escape)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || QApplication::activePopupWidget() || QApplication::activeModalWidget())
        return false;
    const auto* text = qobject_cast<QPlainTextEdit*>(widget);
    if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
        (text && !text->isReadOnly()))
        return false;
    run_(key);
    return true;
}

MapToolBar::MapToolBar(QMainWindow& main, ToolManager& tools)
    : QToolBar(QStringLiteral("Tools"), &main), tools_(tools) {
    setObjectName(QStringLiteral("tools"));
    setMovable(false);
    setIconSize({24, 24});
    main.addToolBar(this);
    connect(&tools_, &ToolManager::activeChanged, this, [this] { Update(); });
}

QAction* MapToolBar::AddTool(ToolKind kind, const QString& caption, ToolPicture picture,
                             const QString& tip, Qt::Key key) {
    auto* a = new QAction(caption, parentWidget());
    a->setCheckable(true);
    a->setShortcut(QKeySequence(key));
    a->setShortcutContext(Qt::ApplicationShortcut);
    a->setAutoRepeat(false); // a held key is one choice
    a->setIcon(ToolIcon(picture));
    a->setIconVisibleInMenu(false);
    a->setToolTip(tip);
    // The chosen tool stays checked when it is clicked again.
    connect(a, &QAction::triggered, this, [this, kind] {
        tools_.Choose(kind);
        Update();
    });
    addAction(a);
    tools_shown_.push_back({a, kind});
    Update();
    return a;
}

void MapToolBar::AddMode(QAction* item, bool ModeMarks::*mark, ToolPicture picture,
                         const QString& tip, Qt::Key key) {
    item->setIcon(ToolIcon(picture));
    item->setIconVisibleInMenu(false); // the menus look as they always did
    item->setToolTip(tip);
    addAction(item);
    // Not a shortcut of the item: the described menus show none.
    AddProgramKey(parentWidget(), {QKeySequence(key)}, [item] { item->trigger(); });
    modes_.push_back({item, mark});
    Update();
}

void MapToolBar::Update() {
    for (const auto& [action, kind] : tools_shown_)
        action->setChecked(tools_.Active() == kind);
    for (const auto& [action, mark] : modes_)
        action->setChecked(tools_.Marks().*mark);
    for (const auto& [action, kind] : choices_)
        action->setVisible(kind == ToolKind::Place || tools_.Active() == kind);
    const ToolOptions& o = tools_.Options();
    const std::pair<QComboBox*, int> shown[] = {{BrushBox, o.BrushSize - 1},
                                                {FillBox, int(o.Fill)},
                                                {ShapeBox, int(o.Shape)},
                                                {SelectBox, int(o.Select)}};
    for (const auto& [box, index] : shown) {
        if (!box) continue;
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(index);
    }
}

// A choice kept in the settings under `key`; `set` puts its index into the
// tools' options.
QComboBox* MapToolBar::AddChoice(const QString& key, const QStringList& items, const QString& tip,
                                 ToolKind shownWith,
                                 const std::function<void(ToolOptions&, int)>& set) {
    auto* box = new QComboBox(this);
    box->addItems(items);
    box->setToolTip(tip);
    box->setFocusPolicy(Qt::NoFocus); // the keys stay the program's
    const int kept = std::clamp(QSettings().value(key, 0).toInt(), 0, int(items.size()) - 1);
    ToolOptions o = tools_.Options();
    set(o, kept);
    tools_.SetOptions(o);
    connect(box, &QComboBox::activated, this, [this, key, set](int index) {
        QSettings().setValue(key, index);
        ToolOptions changed = tools_.Options();
        set(changed, index);
        tools_.SetOptions(changed);
    });
    choices_.push_back({addWidget(box), shownWith});
    return box;
}

void MapToolBar::AddOptions() {
    addSeparator();
    BrushBox =
        AddChoice(QStringLiteral("tools/brushSize"),
                  {QStringLiteral("1 hex"), QStringLiteral("2 hexes"), QStringLiteral("3 hexes")},
                  QStringLiteral("Brush size for placing tiles and painting terrain ([ and ])"),
                  ToolKind::Place, [](ToolOptions& o, int i) { o.BrushSize = i + 1; });
    FillBox = AddChoice(QStringLiteral("tools/fillBy"),
                        {QStringLiteral("Same tile"), QStringLiteral("Same tile set"),
                         QStringLiteral("Same terrain type 1")},
                        QStringLiteral("What the hexes Fill takes share with the clicked one"),
                        ToolKind::Fill, [](ToolOptions& o, int i) { o.Fill = edit::FillBy(i); });
    ShapeBox = AddChoice(QStringLiteral("tools/shape"),
                         {QStringLiteral("Rectangle"), QStringLiteral("Ellipse")},
                         QStringLiteral("The shape a drag of the Shape tool spans"),
                         ToolKind::Shape, [](ToolOptions& o, int i) { o.Shape = ShapeKind(i); });
    SelectBox = AddChoice(QStringLiteral("tools/selectBy"),
                          {QStringLiteral("Rectangle"), QStringLiteral("Magic wand (tile set)"),
                           QStringLiteral("Same tile")},
                          QStringLiteral("What a click or drag of the Select tool takes"),
                          ToolKind::Select, [](ToolOptions& o, int i) { o.Select = SelectBy(i); });
    const auto size = [this](int step) {
        ToolOptions o = tools_.Options();
        o.BrushSize = std::clamp(o.BrushSize + step, 1, 3);
        QSettings().setValue(QStringLiteral("tools/brushSize"), o.BrushSize - 1);
        tools_.SetOptions(o);
    };
    AddProgramKey(parentWidget(), {QKeySequence(Qt::Key_BracketLeft)}, [size] { size(-1); });
    AddProgramKey(parentWidget(), {QKeySequence(Qt::Key_BracketRight)}, [size] { size(1); });
    Update();
}

void MapToolBar::AddSelectionItems(QMenu* edit, MapDocument& doc) {
    connect(edit->addAction(QStringLiteral("Select Same Tile")), &QAction::triggered, this, [this] {
        ToolOptions o = tools_.Options();
        o.Select = SelectBy::SameTile;
        QSettings().setValue(QStringLiteral("tools/selectBy"), int(o.Select));
        tools_.SetOptions(o);
        tools_.Choose(ToolKind::Select);
    });
    QAction* all = edit->addAction(QStringLiteral("Select All"));
    all->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    QAction* none = edit->addAction(QStringLiteral("Select None"));
    none->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    for (QAction* a : {all, none})
        a->setShortcutContext(Qt::ApplicationShortcut);
    connect(all, &QAction::triggered, this, [&doc] {
        doc.Select(HexSet::Rectangle({0, 0}, {doc.Map().MapWidth - 1, doc.Map().MapHeight - 1}));
    });
    connect(none, &QAction::triggered, this, [&doc] { doc.Select({}); });
}

} // namespace zem
