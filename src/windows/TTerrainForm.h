#pragma once
// The terrain type picker: the names of terrain type 1 or 2; the selected
// line is the code a click on the map stores.

#include <QListWidget>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

namespace zem {

class TTerrainForm : public QWidget {
    Q_OBJECT
  public:
    TTerrainForm();
    // Empties the list and adds the first `count` names; nothing selected.
    template <size_t N> void Fill(const std::array<QString, N>& names, int count) {
        QStringList shown;
        for (int i = 0; i < count && i < int(N); ++i)
            shown << names[size_t(i)];
        Fill(shown);
    }
    void Fill(const QStringList& names);
    // Fills the list and gives the window this title.
    template <size_t N>
    void ShowNames(const std::array<QString, N>& names, int count, const QString& title) {
        Fill(names, count);
        setWindowTitle(title);
    }
    // The code of the selected line; -1 while the user has chosen none.
    int SelectedCode() const;
    void TerrainLBClick();

    QListWidget* TerrainLB;
    std::function<void()> OnNameSelected; // the main window's hint
};

} // namespace zem
