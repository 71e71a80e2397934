#include "windows/TTerrainForm.h"
#include "render/ViewDraw.h"

#include <QPainter>
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
    TerrainLB->setIconSize(QSize(12, 8));
    // Only a line the user selects counts: the list giving itself a current
    // line when it takes the focus selects nothing. A click counts also on
    // the line already selected.
    connect(TerrainLB, &QListWidget::itemClicked, this, [this] { TerrainLBClick(); });
    connect(TerrainLB, &QListWidget::itemSelectionChanged, this, [this] {
        if (SelectedCode() >= 0) TerrainLBClick();
    });
}

// The legend of the colours the zoomed-out map shows: a swatch before each
// name but the first (code 0 is not shown).
static QIcon Swatch(int code) {
    QPixmap swatch(12, 8);
    swatch.fill(Qt::transparent);
    if (code > 0) {
        QPainter p(&swatch);
        p.fillRect(swatch.rect(), QColor::fromRgb(TerrainColour(code)));
        p.setPen(QColor(0, 0, 0, 140));
        p.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    }
    return QIcon(swatch);
}

void TTerrainForm::Fill(const QStringList& names) {
    const QSignalBlocker quiet(TerrainLB);
    TerrainLB->clear();
    TerrainLB->addItems(names);
    // The swatches take no height: the rows stay as tall as the names alone.
    const int height = TerrainLB->sizeHintForRow(0);
    for (int code = 0; code < TerrainLB->count(); ++code) {
        QListWidgetItem* item = TerrainLB->item(code);
        item->setIcon(Swatch(code));
        item->setSizeHint(QSize(TerrainLB->width(), height));
    }
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
