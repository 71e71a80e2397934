#include "convert/TMapConvert.h"
#include "app/TMapForm.h"
#include "app/Windows.h"
#include "app/ZemState.h"
#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"
#include "ui/Bitmap.h"

#include <QFile>

namespace zem {

TMapConvert::TMapConvert(ZemState& state, Windows& windows) : st(state), w(windows) {
    setWindowTitle(QStringLiteral("Map Converter"));
    resize(550, 455);
    CvtImage = new ImageControl(this);
    CvtImage->AutoSize = true;
    CvtImage->setGeometry(8, 8, 400, 400);
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

void TMapConvert::ScaleEditChange() {
    PixelsPerHex = UpDown1->Position();
    const QSize size = SketchMapSize(CvtImage->size(), PixelsPerHex);
    st.map.MapWidth = size.width();
    st.map.MapHeight = size.height();
    SizeLbl->setText(QStringLiteral("Map Size%1x%2").arg(size.width()).arg(size.height()));
}

void TMapConvert::LoadBtnClick() {
    OpenDialog1.Filter = QStringLiteral("Windows Bitmap (*.bmp)| *.bmp");
    if (!w.dialogs.Execute(OpenDialog1)) return;
    Bitmap sketch;
    sketch.LoadFromFile(OpenDialog1.FileName); // an unreadable file throws: nothing changes
    CvtImage->SetPicture(sketch.Image());
    ScaleEditChange();
    SetMemo(QStringLiteral("Now Convert to map format"));
}

void TMapConvert::ConvertBtnClick() {
    if (st.map.MapWidth < 1) return;
    QString error;
    switch (LoadColourTable(st.workDir, st.colours, error)) {
    case TableLoad::Missing:
        return;
    case TableLoad::Bad:
        w.dialogs.MessageBox(QStringLiteral("Couldn't use \"Gmap.txt\": %1.").arg(error),
                             QStringLiteral("Error"));
        return;
    case TableLoad::Ok:
        break;
    }
    PixelsPerHex = UpDown1->Position();
    ConvertSketch(st.map, st.cat, st.Rng(), st.colours, CvtImage->Picture(), PixelsPerHex);
    SetMemo(QStringLiteral("Now Return to Map Screen and Save"));
}

void TMapConvert::CoastBtnClick() {
    OpenDialog1.Filter = QStringLiteral("Text files (*.txt)| *.txt| All files | *.*");
    OpenDialog1.Title = QStringLiteral("Load Terrain Template File");
    if (!w.dialogs.Execute(OpenDialog1)) return;
    QFile f(OpenDialog1.FileName);
    if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QString error;
        if (!LoadTerrainTemplate(f, st.tmpl, error))
            w.dialogs.MessageBox(
                QStringLiteral("Couldn't use \"%1\": %2.").arg(OpenDialog1.FileName, error),
                QStringLiteral("Error"));
    }
    // A template that could not be read leaves the previous one in use.
    FixTerrain(st.map, st.cat, st.tmpl, st.Rng());
    w.MapForm->DrawMap();
}

void TMapConvert::ReturnBtnClick() {
    w.MapForm->DrawMap();
    w.MapForm->show();
    w.MapForm->raise();
    w.MapForm->activateWindow();
    close();
}

} // namespace zem
