#pragma once
// The sample workspace: a tile catalogue of our own with pictures drawn in
// code, a colour table, a coast template and a sketch that go together.

#include <QDir>
#include <QImage>
#include <QString>
#include <vector>

namespace zem::sample {

enum class Look {
    Clear,
    Rough,
    Fields,
    Sea,
    Coast,
    Forest,
    Hills,
    Mountains,
    Swamp,
    Desert,
    Town,
    River,
    Road
};

struct SampleTile {
    int number;
    int set;
    Look look;
    int variant; // coast: the neighbour pattern bits; river/road: direction bits
    int TT1, TT2, TT3, PL, E2, E3;
};

std::vector<QString> SetNames();
std::vector<QString> TT1Names();
std::vector<QString> TT2Names();
std::vector<SampleTile> Tiles();

// The coast tile for a neighbour pattern (bit i: letter i + 1 is X).
int CoastTile(int pattern);
QString PatternWord(int pattern);

QByteArray MapsetText();
QByteArray GmapText();
QByteArray CoastTemplateText();
QImage Sketch();

// Writes the workspace into dir, each file only where none lies yet, and
// nothing when its picture folder is a symbolic link; returns an empty text
// or the fault.
QString WriteWorkspace(const QDir& dir);
// The text of "sample.zep", the sample island made from the sketch.
QByteArray SampleMapText(const QDir& dir);

} // namespace zem::sample
