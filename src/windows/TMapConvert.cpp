#include "windows/TMapConvert.h"
#include "edit/Edit.h"
#include "edit/ZemState.h"
#include "pictures/Bitmap.h"
#include "runtime/StrToInt.h"
#include "windows/Windows.h"

#include <QScrollArea>

namespace zem {

TMapConvert::TMapConvert(ZemState& state, Windows& windows) : st(state), w(windows) {
    setWindowTitle(QStringLiteral("Map Converter"));
    resize(550, 455);
    // The sketch shows in a 400 by 400 window of its own, so a larger one
    // never covers the buttons and labels; the control keeps the sketch's
    // size, which the map size follows.
    auto* sketchArea = new QScrollArea(this);
    sketchArea->setGeometry(8, 8, 400, 400);
    sketchArea->setFrameShape(QFrame::NoFrame);
    CvtImage = new ImageControl;
    CvtImage->AutoSize = true;
    CvtImage->setGeometry(0, 0, 400, 400);
    sketchArea->setWidget(CvtImage);
    CvtImage->SetPictureSize(400, 400);
    auto button = [this](const QString& caption, int x, int y, void (TMapConvert::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setGeometry(x, y, 105, 25);
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        return b;
    };
    LoadBtn = button(QStringLiteral("Load Bitmap"), 416, 16, &TMapConvert::LoadBtnClick);
    ConvertBtn = button(QStringLiteral("Convert"), 416, 48, &TMapConvert::ConvertBtnClick);
    CoastBtn = button(QStringLiteral("Fix Terrain"), 416, 80, &TMapConvert::CoastBtnClick);
    MapNumEdit = new QLineEdit(this);
    MapNumEdit->setGeometry(424, 136, 33, 22);
    UpDown2 = new UpDown(MapNumEdit, 0, 99, 67, this);
    UpDown2->setGeometry(457, 136, 17, 22);
    Label2 = new QLabel(QStringLiteral("Map #"), this);
    Label2->setGeometry(480, 140, 60, 16);
    ReturnBtn = button(QStringLiteral("Return"), 416, 184, &TMapConvert::ReturnBtnClick);
    SizeLbl = new QLabel(QStringLiteral("Map Size 00x00 "), this);
    SizeLbl->setGeometry(416, 216, 130, 16);
    ScaleEdit = new QLineEdit(this);
    ScaleEdit->setGeometry(424, 248, 25, 22);
    UpDown1 = new UpDown(ScaleEdit, 3, 10, 5, this);
    UpDown1->setGeometry(449, 248, 17, 22);
    connect(ScaleEdit, &QLineEdit::textChanged, this, [this] { ScaleEditChange(); });
    Label1 = new QLabel(QStringLiteral("Pix/Hex"), this);
    Label1->setGeometry(472, 252, 60, 16);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(416, 288, 121, 121);
    Memo1->setPlainText(QStringLiteral("Please load a \nmap sketch in \n.bmp format"));
}

void TMapConvert::SetMemo(const QString& text) {
    Memo1->setPlainText(text);
}

int TMapConvert::MapNumber() const {
    return StrToInt(MapNumEdit->text());
}

// The map's size follows the sketch at once. Unsaved work is offered for
// saving as it is before that, never half converted; false: cancelled.
bool TMapConvert::AskBeforeResize(QSize sketch) {
    const QSize size = SketchMapSize(sketch, UpDown1->Position());
    const bool resizes = size.width() != st.map.MapWidth || size.height() != st.map.MapHeight;
    return !resizes || w.MaybeSaveBeforeSketch();
}

void TMapConvert::Resize() {
    PixelsPerHex = UpDown1->Position();
    const QSize size = SketchMapSize(CvtImage->size(), PixelsPerHex);
    w.Applied(edit::SetMapSize(st.map, size.width(), size.height()));
    SizeLbl->setText(QStringLiteral("Map Size%1x%2").arg(size.width()).arg(size.height()));
}

void TMapConvert::ScaleEditChange() {
    if (AskBeforeResize(CvtImage->size())) {
        Resize();
        return;
    }
    // Cancelled: the scale goes back to the one the map's size follows.
    const QSignalBlocker quiet(ScaleEdit);
    UpDown1->SetPosition(PixelsPerHex);
}

void TMapConvert::LoadBtnClick() {
    OpenDialog1.Filter = QStringLiteral("Windows Bitmap (*.bmp)| *.bmp");
    if (!w.dialogs.Execute(OpenDialog1)) return;
    Bitmap sketch;
    sketch.LoadFromFile(OpenDialog1.FileName); // an unreadable file throws: nothing changes
    // Cancel leaves the converter and the map as they were.
    if (!AskBeforeResize(sketch.Image().size())) return;
    CvtImage->SetPicture(sketch.Image());
    Resize();
    SetMemo(QStringLiteral("Now Convert to map format"));
}

void TMapConvert::ConvertBtnClick() {
    if (st.map.MapWidth < 1) return;
    if (!w.MaybeSaveBeforeSketch()) return; // the conversion replaces the whole map
    Result<ColourTable> table = LoadColourTable(st.workDir);
    if (!table) {
        // A missing table is passed over without a word.
        if (!table.Unopened()) w.dialogs.MessageBox(table.Message(), QStringLiteral("Error"));
        return;
    }
    st.colours = table.Value();
    PixelsPerHex = UpDown1->Position();
    w.Applied(edit::Convert(Target(st), st.colours, CvtImage->Picture(), PixelsPerHex));
    SetMemo(QStringLiteral("Now Return to Map Screen and Save"));
}

void TMapConvert::CoastBtnClick() {
    OpenDialog1.Filter = QStringLiteral("Text files (*.txt)| *.txt| All files | *.*");
    OpenDialog1.Title = QStringLiteral("Load Terrain Template File");
    if (!w.dialogs.Execute(OpenDialog1)) return;
    Result<TerrainTemplate> tmpl = LoadTerrainTemplate(OpenDialog1.FileName);
    if (tmpl) {
        st.tmpl = std::move(tmpl.Value());
    } else if (!tmpl.Unopened()) {
        // A refused template abandons the command after its Error.
        w.dialogs.MessageBox(tmpl.Message(), QStringLiteral("Error"));
        return;
    }
    // A template that could not be opened leaves the previous one in use.
    w.Applied(edit::FixTerrain(Target(st), st.tmpl));
}

void TMapConvert::ReturnBtnClick() {
    w.RedrawMap();
    w.ShowMapWindow();
    close();
}

} // namespace zem
