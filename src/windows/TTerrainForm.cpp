#include "windows/TTerrainForm.h"

#include <QSignalBlocker>

namespace zem {

namespace {
// The terrain painted changes only by a click: a typed letter is a key of
// the program, never a jump to the name it starts.
class NameList : public QListWidget {
  public:
    using QListWidget::QListWidget;
    void keyboardSearch(const QString&) override {}

  protected:
    QModelIndex moveCursor(CursorAction, Qt::KeyboardModifiers) override { return {}; }
};
} // namespace

TTerrainForm::TTerrainForm() {
    setWindowTitle(QStringLiteral("Terrain Type 1"));
    resize(256, 413);
    TerrainLB = new NameList(this);
    TerrainLB->setGeometry(8, 8, 233, 361);
    // Only a line the user selects counts: the list giving itself a current
    // line when it takes the focus selects nothing. A click counts also on
    // the line already selected.
    connect(TerrainLB, &QListWidget::itemClicked, this, [this] { TerrainLBClick(); });
    connect(TerrainLB, &QListWidget::itemSelectionChanged, this, [this] {
        if (SelectedCode() >= 0) TerrainLBClick();
    });
}

void TTerrainForm::Fill(const QStringList& names) {
    const QSignalBlocker quiet(TerrainLB);
    TerrainLB->clear();
    TerrainLB->addItems(names);
    TerrainLB->setCurrentRow(-1);
    TerrainLB->clearSelection();
}

int TTerrainForm::SelectedCode() const {
    const QList<QListWidgetItem*> chosen = TerrainLB->selectedItems();
    return chosen.isEmpty() ? -1 : TerrainLB->row(chosen.first());
}

void TTerrainForm::TerrainLBClick() {
    if (OnNameSelected) OnNameSelected();
}

} // namespace zem
