#include "tools/TTerrainForm.h"

namespace zem {

TTerrainForm::TTerrainForm() {
    setWindowTitle(QStringLiteral("Terrain Type 1"));
    resize(256, 413);
    TerrainLB = new QListWidget(this);
    TerrainLB->setGeometry(8, 8, 233, 361);
    connect(TerrainLB, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) TerrainLBClick();
    });
}

void TTerrainForm::TerrainLBClick() {
    if (OnNameSelected) OnNameSelected();
}

} // namespace zem
