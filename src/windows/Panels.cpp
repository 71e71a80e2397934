#include "windows/Panels.h"

#include <QAction>
#include <QSettings>

namespace zem {

static const QString StateKey = QStringLiteral("layout/state");
static const QString GeometryKey = QStringLiteral("layout/geometry");

Panels::Panels(QMainWindow& main) : QObject(&main), main_(main) {
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
    // One entry each, in the order added, before the separator.
    QAction* toggle = dock->toggleViewAction();
    toggle->setText(form->windowTitle());
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
    dock->move(at);
    dock->setProperty("placed", true);
}

void Panels::Show(QWidget* form) {
    QDockWidget* dock = Of(form);
    if (!dock) return;
    if (dock->isFloating() && !dock->isVisible() && !dock->property("placed").toBool())
        PlaceBeside(dock);
    dock->show();
    dock->raise();
    if (dock->isFloating()) dock->activateWindow();
}

void Panels::Close(QWidget* form) {
    if (QDockWidget* dock = Of(form)) dock->hide();
}

void Panels::ResetLayout() {
    for (const Panel& p : panels_) {
        Place(p);
        if (p.home.isNull() && p.dock->isVisible()) PlaceBeside(p.dock);
    }
    if (!panels_.empty()) Show(panels_.front().form);
}

void Panels::RestoreGeometry() {
    const QSettings settings;
    if (settings.contains(GeometryKey))
        main_.restoreGeometry(settings.value(GeometryKey).toByteArray());
}

void Panels::Restore() {
    const QSettings settings;
    if (!settings.contains(StateKey)) return;
    main_.restoreState(settings.value(StateKey).toByteArray());
    for (const Panel& p : panels_) // a panel the last run placed keeps that place
        p.dock->setProperty("placed", true);
}

void Panels::Save() const {
    QSettings settings;
    settings.setValue(GeometryKey, main_.saveGeometry());
    settings.setValue(StateKey, main_.saveState());
}

} // namespace zem
