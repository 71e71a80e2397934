#include "windows/TTilForm.h"
#include "edit/ZemState.h"
#include "map/HexLayout.h"

#include <QEvent>
#include <QGridLayout>
#include <QPainter>
#include <algorithm>

namespace zem {

TTilForm::TTilForm(ZemState& state) : st(state) {
    setWindowTitle(QStringLiteral("Tile Window"));
    resize(315, 600);
    move(640, 109);
    TilSetRG = new QGroupBox(QStringLiteral("Tile Set"), this);
    TilSetRG->setGeometry(8, 0, 289, 73);
    auto* grid = new QGridLayout(TilSetRG);
    grid->setContentsMargins(6, 2, 2, 2);
    grid->setVerticalSpacing(0);
    TilSetButtons = new QButtonGroup(this);
    grid->setHorizontalSpacing(2);
    QFont small = font();
    small.setPixelSize(10); // long set names ("Mountains") stay whole in a quarter of the box
    for (int i = 0; i < 12; ++i) {
        SetButtons[size_t(i)] = new QRadioButton(QString::number(i + 1), TilSetRG);
        SetButtons[size_t(i)]->setFont(small);
        TilSetButtons->addButton(SetButtons[size_t(i)], i);
        grid->addWidget(SetButtons[size_t(i)], i / 4, i % 4);
    }
    connect(TilSetButtons, &QButtonGroup::idClicked, this, [this](int) { TilSetRGClick(); });
    TilImage = new ImageControl(this);
    TilImage->setGeometry(8, 75, 193, 217);
    TilImage->SetPictureSize(193, 217);
    TilImage->OnMouseMove = [this](bool, int x, int y) { TilImageMouseMove(x, y); };
    TilImage->OnMouseDown = [this](int, bool, int x, int y) {
        if (TilImage->PressModifiers() & Qt::ControlModifier)
            MixTile(x, y);
        else
            TilImageMouseDown(x, y);
    };
    setMinimumWidth(305); // docked, the set buttons stay whole
    WhereLbl = new QLabel(QStringLiteral("?"), this);
    WhereLbl->setGeometry(16, 552, 290, 20);
}

bool TTilForm::event(QEvent* e) {
    const bool r = QWidget::event(e);
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return r;
}

int TTilForm::ItemIndex() const {
    return TilSetButtons->checkedId();
}

void TTilForm::SetItemIndex(int i) {
    if (i >= 0 && i < 12) SetButtons[size_t(i)]->setChecked(true);
}

void TTilForm::FormActivate() {
    if (!firstActivation_) return;
    firstActivation_ = false;
    DrawTileSet(2);
    // The tile a left click places is marked from the start.
    const EditorState& ed = st.ed;
    if (ed.CurrentSet == 2 && ed.CurrentImage >= 1 && ed.CurrentImage <= st.cat.SetSize[2]) {
        MarkPaletteTile(ed.CurrentImage, 1);
        TilImage->repaint();
    }
}

void TTilForm::SetUpTileSetButtons() {
    const TileCatalogue& cat = st.cat;
    // The palette picture follows the catalogue's tile size.
    TilImage->resize(HexLayout::PaletteSize(cat.TileWidth, cat.ColumnStep, cat.TileHeight));
    TilImage->SetPictureSize(TilImage->width(), TilImage->height());
    for (int k = 1; k <= cat.SetCount; ++k)
        SetButtons[size_t(k - 1)]->setText(cat.SetNames[size_t(k)]);
    for (int k = 12; k >= cat.SetCount + 1; --k) {
        QRadioButton* b = SetButtons[size_t(k - 1)];
        TilSetButtons->removeButton(b);
        b->hide();
    }
    SetItemIndex(st.ed.CurrentSet - 1);
}

void TTilForm::DrawTileSet(int s) {
    shownSet_ = s;
    QImage& pic = TilImage->Picture();
    pic.fill(ToQColor(clGrey));
    if (s >= 0 && s <= MaxSets) {
        QPainter p(&pic);
        for (int pos = 1; pos <= st.cat.SetSize[size_t(s)] && pos <= MaxSetTiles; ++pos) {
            const QPoint at = HexLayout::PalettePlace(pos);
            st.images[size_t(s)].Draw(p, at.x(), at.y(), pos - 1);
            st.images[0].Draw(p, at.x(), at.y(), 0);
        }
    }
    TilImage->update();
}

void TTilForm::RedrawPaletteTile(int s, int pos) {
    if (s < 0 || s > MaxSets || pos < 1) return;
    QPainter p(&TilImage->Picture());
    const QPoint at = HexLayout::PalettePlace(pos);
    st.images[size_t(s)].Draw(p, at.x(), at.y(), pos - 1);
    st.images[0].Draw(p, at.x(), at.y(), 0);
}

void TTilForm::MarkPaletteTile(int pos, int k) {
    QPainter p(&TilImage->Picture());
    const QPoint at = HexLayout::PalettePlace(pos);
    st.images[0].Draw(p, at.x(), at.y(), k);
    st.images[0].Draw(p, at.x(), at.y(), 0);
}

void TTilForm::TilSetRGClick() {
    const int s = ItemIndex() + 1;
    if (s == st.ed.CurrentSet || s > st.cat.SetCount || s < 1) return;
    st.ed.CurrentImage = 0;
    st.ed.CurrentSet = s;
    DrawTileSet(s);
}

void TTilForm::TilImageMouseMove(int X, int Y) {
    if (std::abs(X - lastX_) <= 10 && std::abs(Y - lastY_) <= 10) return;
    lastX_ = X;
    lastY_ = Y;
    const int pos = HexLayout::PaletteIndexAt(X, Y) + 1;
    const int s = ItemIndex() + 1;
    if (s < 1 || s > MaxSets || pos > st.cat.SetSize[size_t(s)] || pos > MaxSetTiles) {
        WhereLbl->setText(QStringLiteral("No Tile"));
    } else {
        const int t = st.cat.TileAt(s, pos);
        const TileRecord& r = st.cat.Record(t);
        WhereLbl->setText(QStringLiteral("#%1 bmp%2 %3(%4)")
                              .arg(pos)
                              .arg(t)
                              .arg(st.cat.TT1Name(r.TT1), st.cat.TT2Name(r.TT2)));
    }
    WhereLbl->repaint();
}

void TTilForm::ShowSelection() {
    const EditorState& ed = st.ed;
    const int s = ed.CurrentSet;
    if (s < 1 || s > st.cat.SetCount) {
        // A tile of no set (a frame or an empty number): no button stands
        // for it; the palette only loses its old mark.
        if (shownSet_ >= 1) DrawTileSet(shownSet_);
        return;
    }
    SetItemIndex(s - 1);
    DrawTileSet(s);
    if (ed.CurrentImage >= 1 && ed.CurrentImage <= st.cat.SetSize[size_t(s)])
        MarkPaletteTile(ed.CurrentImage, 1);
    // Every tile of a mix in the set shown is marked too.
    for (int pos = 1; pos <= st.cat.SetSize[size_t(s)] && pos <= MaxSetTiles; ++pos)
        if (std::find(ed.Mix.begin(), ed.Mix.end(), st.cat.TileAt(s, pos)) != ed.Mix.end())
            MarkPaletteTile(pos, 1);
    TilImage->repaint();
}

QString TTilForm::SelectionText() const {
    const int t = CurrentTile(st.ed, st.cat);
    const TileRecord& r = st.cat.Record(t);
    const int s = st.ed.CurrentSet;
    const QString set = s >= 1 && s <= MaxSets ? st.cat.SetNames[size_t(s)] : QString();
    return QStringLiteral("Picked: bmp%1 of set %2 %3 %4(%5)")
        .arg(t)
        .arg(s)
        .arg(set, st.cat.TT1Name(r.TT1), st.cat.TT2Name(r.TT2));
}

void TTilForm::MixTile(int X, int Y) {
    const int pos = HexLayout::PaletteIndexAt(X, Y) + 1, shown = ItemIndex() + 1;
    if (shown < 1 || shown > MaxSets || pos > st.cat.SetSize[size_t(shown)] || pos > MaxSetTiles)
        return;
    std::vector<int> mix = st.ed.Mix;
    if (mix.empty() && st.ed.CurrentImage > 0) mix.push_back(CurrentTile(st.ed, st.cat));
    const int t = st.cat.TileAt(shown, pos);
    if (const auto at = std::find(mix.begin(), mix.end(), t); at != mix.end())
        mix.erase(at);
    else
        mix.push_back(t);
    if (OnMix) OnMix(mix);
}

void TTilForm::TilImageMouseDown(int X, int Y) {
    if (OnMix) OnMix({});
    EditorState& ed = st.ed;
    // The old mark stands in the set shown; a selection of another set
    // (a tile of no set) has no mark here to take away.
    if (ed.CurrentImage > 0 && ed.CurrentSet == shownSet_)
        RedrawPaletteTile(ed.CurrentSet, ed.CurrentImage);
    ed.CurrentImage = 0;
    const int pos = HexLayout::PaletteIndexAt(X, Y) + 1;
    const int shown = ItemIndex() + 1;
    const int cur = ed.CurrentSet;
    const int size = cur >= 0 && cur <= MaxSets ? st.cat.SetSize[size_t(cur)] : 0;
    if (pos > size || shown < 1) {
        TilImage->repaint();
        return;
    }
    ed.CurrentSet = shown;
    ed.CurrentImage = pos;
    MarkPaletteTile(pos, 1);
    TilImage->repaint();
}

} // namespace zem
