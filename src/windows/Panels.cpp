#include "windows/Panels.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QSettings>
#include <QTimer>

namespace zem {

static const QString StateKey = QStringLiteral("layout/state");
static const QString GeometryKey = QStringLiteral("layout/geometry");
static const QString PlacedKey = QStringLiteral("layout/placed");

Panels::Panels(QMainWindow& main) : QObject(&main), main_(main), mainSize_(main.size()) {
    menu_ = new QMenu(QStringLiteral("Panels"), &main);
    menu_->addSeparator();
    connect(menu_->addAction(QStringLiteral("Reset Layout")), &QAction::triggered, this,
            [this] { ResetLayout(); });
}

QDockWidget* Panels::Add(QWidget* form, const QString& name, QPoint home) {
    auto* dock = new QDockWidget(form->windowTitle(), &main_);
    dock->setObjectName(name); // the key of its place in the saved layout
    const QSize size = form->size();
    dock->setWidget(form);
    // The caption is the window's own, also when it changes.
    connect(form, &QWidget::windowTitleChanged, dock, &QDockWidget::setWindowTitle);
    // Hidden before it floats, or floating would show it at once.
    dock->hide();
    main_.addDockWidget(Qt::RightDockWidgetArea, dock);
    panels_.push_back({dock, form, home, size});
    Place(panels_.back());
    connect(dock, &QDockWidget::topLevelChanged, this, [this, dock](bool floating) {
        // Once the dock has settled in its area.
        if (!floating && !restoring_) QTimer::singleShot(0, this, [this, dock] { MakeRoom(dock); });
    });
    // Shown from View > Panels for the first time: beside the main window.
    connect(dock, &QDockWidget::visibilityChanged, this, [this, dock](bool shown) {
        if (shown && !restoring_ && dock->isFloating() && !dock->property("placed").toBool())
            PlaceBeside(dock);
    });
    // One entry each, in the order added, before the separator.
    QAction* toggle = dock->toggleViewAction();
    toggle->setText(form->windowTitle());
    // Shown from the menu, a panel stacked behind another comes to the front.
    connect(toggle, &QAction::triggered, dock, [dock](bool shown) {
        if (shown) dock->raise();
    });
    connect(form, &QWidget::windowTitleChanged, toggle, &QAction::setText);
    menu_->insertAction(menu_->actions().at(int(panels_.size()) - 1), toggle);
    return dock;
}

void Panels::Place(const Panel& p) {
    p.dock->setFloating(true);
    p.dock->resize(p.size);
    p.dock->setProperty("placed", !p.home.isNull());
    if (!p.home.isNull()) p.dock->move(p.home);
}

// A panel docked at a side where none was widens the main window by its own
// width (or height), so the map keeps its room; beside others it shares theirs.
void Panels::MakeRoom(QDockWidget* dock) {
    const Qt::DockWidgetArea area = main_.dockWidgetArea(dock);
    for (const Panel& p : panels_)
        if (p.dock != dock && p.dock->isVisible() && !p.dock->isFloating() &&
            main_.dockWidgetArea(p.dock) == area)
            return;
    const bool across = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
    QSize size;
    for (const Panel& p : panels_)
        if (p.dock == dock) size = p.size;
    const int room = across ? size.width() : size.height();
    // Never past the screen: there the map gives up the room instead.
    const QRect screen = main_.screen()->availableGeometry();
    const QRect frame = main_.frameGeometry();
    const QSize extra(frame.width() - main_.width(), frame.height() - main_.height());
    const QSize wanted = main_.size() + (across ? QSize(room, 0) : QSize(0, room));
    main_.resize(wanted.boundedTo(
        QSize(screen.right() - frame.left(), screen.bottom() - frame.top()) - extra));
    main_.resizeDocks({dock}, {room}, across ? Qt::Horizontal : Qt::Vertical);
}

QDockWidget* Panels::Of(const QWidget* form) const {
    for (const Panel& p : panels_)
        if (p.form == form) return p.dock;
    return nullptr;
}

// A floating panel without a place of its own goes right of the main window
// and of the Tile Window when that floats beside it, below the panels
// already open there; later the user's place stays.
void Panels::PlaceBeside(QDockWidget* dock) {
    const QRect main = main_.frameGeometry();
    int right = main.right();
    const QDockWidget* first = panels_.empty() ? nullptr : panels_.front().dock;
    if (first && first != dock && first->isVisible() && first->isFloating())
        right = std::max(right, first->frameGeometry().right());
    QPoint at(right + 8, main.top());
    for (const Panel& p : panels_)
        if (p.dock != dock && p.dock != first && p.dock->isVisible() && p.dock->isFloating() &&
            p.dock->frameGeometry().contains(at))
            at.setY(p.dock->frameGeometry().bottom() + 8);
    // Whole on the screen, at the cost of covering something.
    const QRect screen = main_.screen()->availableGeometry();
    at.setX(
        std::max(screen.left(), std::min(at.x(), screen.right() - dock->frameGeometry().width())));
    at.setY(
        std::max(screen.top(), std::min(at.y(), screen.bottom() - dock->frameGeometry().height())));
    dock->move(at);
    dock->setProperty("placed", true);
}

void Panels::Show(QWidget* form) {
    QDockWidget* dock = Of(form);
    if (!dock) return;
    dock->show();
    dock->raise();
    if (dock->isFloating()) dock->activateWindow();
}

// The keyboard goes to the map rather than to a text box of another panel.
void Panels::Close(QWidget* form) {
    QDockWidget* dock = Of(form);
    if (!dock) return;
    if (focusHome && dock->isAncestorOf(QApplication::focusWidget())) focusHome->setFocus();
    dock->hide();
}

// As at the first start: the main window at its size, the Tile Window
// floating at its place and the others closed (and placed anew when shown).
void Panels::ResetLayout() {
    for (const Panel& p : panels_) {
        p.dock->hide();
        Place(p);
    }
    main_.resize(mainSize_);
    if (!panels_.empty()) Show(panels_.front().form);
    if (OnReset) OnReset();
}

void Panels::RestoreGeometry() {
    const QSettings settings;
    if (settings.contains(GeometryKey))
        main_.restoreGeometry(settings.value(GeometryKey).toByteArray());
}

void Panels::Restore() {
    const QSettings settings;
    if (!settings.contains(StateKey)) return;
    // A panel the last run placed keeps that place; the restored main window
    // holds the room of its docked panels already.
    const QStringList placed = settings.value(PlacedKey).toStringList();
    for (const Panel& p : panels_)
        p.dock->setProperty("placed", placed.contains(p.dock->objectName()));
    restoring_ = true;
    main_.restoreState(settings.value(StateKey).toByteArray());
    restoring_ = false;
}

void Panels::Save() const {
    QSettings settings;
    settings.setValue(GeometryKey, main_.saveGeometry());
    settings.setValue(StateKey, main_.saveState());
    QStringList placed;
    for (const Panel& p : panels_)
        if (p.dock->property("placed").toBool()) placed << p.dock->objectName();
    settings.setValue(PlacedKey, placed);
}

} // namespace zem
