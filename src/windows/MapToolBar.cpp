#include "windows/MapToolBar.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

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

ViewKeys::ViewKeys(QMainWindow& main, std::function<void(int)> run)
    : QObject(&main), main_(main), run_(std::move(run)) {
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
    const QWidget* window = widget->window();
    if (window != &main_ &&
        !(qobject_cast<const QDockWidget*>(window) && window->parent() == &main_))
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
    connect(a, &QAction::triggered, this, [this, kind] { tools_.Choose(kind); });
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
}

} // namespace zem
