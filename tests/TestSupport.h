#pragma once
// Small workspaces written by the tests themselves: a catalogue whose tiles
// are plain colours, so pictures can be checked pixel by pixel.

#include "edit/ZemState.h"
#include "map/TileCatalogue.h"

#include "Scripted.h"
#include "windows/Windows.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace zem::test {

// Tile t's colour; every tile is a full 60 x 50 rectangle of it but for its
// bottom-left pixel, which carries the mask colour.
QRgb TileColour(int t);
constexpr QRgb MaskColour = 0xFFFF00FF;
// The frame paints only its top row, from x = 15 to 44, black.
constexpr QRgb FrameColour = 0xFF000000;
constexpr QRgb Green = 0xFF008000;

class Workspace {
  public:
    Workspace();
    QDir Dir() const { return QDir(dir_.path()); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    void Write(const QString& name, const QByteArray& text) const;
    QByteArray Read(const QString& name) const;
    // A Mapset.txt of the given tile lines under a standard header of
    // 12 sets, 4 TT1 names (None Clear Forest Town) and 2 TT2 (None Road).
    void WriteMapset(const QByteArray& tileLines) const;
    void WriteTileBitmaps(const std::vector<int>& tiles) const;
    void WriteStratTiles(int count) const;

  private:
    QTemporaryDir dir_;
};

// Tiles 1..8 in set 1 (TT1 1, TT3 = the number, PL 5, E2 6, E3 7), 10..12
// in set 2 (TT1 2, TT2 1: road), 20 in set 3 (TT1 3).
void WriteStandardWorkspace(const Workspace& ws);

// A state loaded from a workspace with tiles 1..8 in set 1 (TT1 1), 10..12
// in set 2 (TT1 2, TT2 1: road), 20 in set 3.
struct Loaded {
    Workspace ws;
    ZemState st;
    Loaded();
};

QImage SolidTile(QRgb colour);

// A program run to its end: exit code and what it printed.
struct Ran {
    int code;
    QByteArray out, err;
};
// Runs `program` on the offscreen platform (in `cwd` when given); a run that
// does not end within two minutes fails the test.
Ran RunProgram(const QString& program, const QStringList& args, const QString& cwd = QString());
// The sample workspace written by the generator `zemSample`, once a run.
QString SampleWorkspace(const QString& zemSample);

QByteArray ReadAll(const QString& path);
// Everything below a folder: names, and the bytes of every regular file.
std::map<QString, QByteArray> Snapshot(const QString& dir);

} // namespace zem::test

namespace zem::test {

// The whole program on the offscreen platform with scripted dialogs, its
// main window shown and activated once (the catalogue loaded).
struct App {
    Workspace ws;
    bool ready = (WriteStandardWorkspace(ws), true);
    ZemState st;
    ScriptedDialogs dialogs;
    Windows w{st, dialogs};
    App();
    TMapForm& main() { return *w.MapForm; }
};
// The New Map dialog's answer: these sizes, then OK or Cancel.
void AnswerNewMap(App& a, const QString& w, const QString& h, bool ok = true);

} // namespace zem::test
