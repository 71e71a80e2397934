#pragma once
// The side windows as dock panels of the main window: each starts floating
// at its own place and size with its own caption, can be docked at a side,
// stacked with others, closed and shown again from View > Panels. Which are
// open and where is kept between runs.

#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <functional>
#include <vector>

namespace zem {

class Panels : public QObject {
    Q_OBJECT
  public:
    explicit Panels(QMainWindow& main);

    // `form` goes into a panel of its own, hidden; `home` is its first
    // place (a null point: placed beside the main window when first shown).
    QDockWidget* Add(QWidget* form, const QString& name, QPoint home = {});
    QDockWidget* Of(const QWidget* form) const;
    // The panel of `form` shows, in front; Close only hides it.
    void Show(QWidget* form);
    void Close(QWidget* form);

    // Where the keyboard goes when a panel holding it closes: the map.
    QWidget* focusHome = nullptr;
    // View > Panels: one checkable entry a panel, then Reset Layout.
    QMenu* Menu() const { return menu_; }
    // The layout of the first start: the main window at its size, the Tile
    // Window floating at its place, the other panels closed; then OnReset.
    void ResetLayout();
    std::function<void()> OnReset;
    // The main window's size and place of the last run, and its panels'
    // (once the windows can show what they hold); and keeping this run's.
    void RestoreGeometry();
    void Restore();
    void Save() const;

  private:
    struct Panel {
        QDockWidget* dock;
        QWidget* form;
        QPoint home;
        QSize size;
    };
    void Place(const Panel& p);
    void PlaceBeside(QDockWidget* dock);
    void MakeRoom(QDockWidget* dock);
    QMainWindow& main_;
    QMenu* menu_;
    std::vector<Panel> panels_;
    bool restoring_ = false;
    QSize mainSize_; // the main window's at the start
};

} // namespace zem
