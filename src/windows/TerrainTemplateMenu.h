#pragma once
// Tools > "Terrain Template..." and "Fix Terrain While Painting": a terrain
// template chosen once and kept between runs, and the coasts fixed around
// every edit of a tool that changes tiles, while the item is checked.

#include "convert/TerrainFix.h"
#include "edit/MapDocument.h"
#include "runtime/DialogService.h"

#include <QAction>
#include <QMenu>

namespace zem {

class TerrainTemplateMenu : public QObject {
    Q_OBJECT
  public:
    // Adds the items to `menu` after `after`, reads the template the last
    // run chose and gives the document its step after a tool's edit.
    TerrainTemplateMenu(QMenu& menu, QAction* after, MapDocument& doc, DialogService& dialogs);
    ~TerrainTemplateMenu() override;

    void TerrainTemplate1Click();
    void FixWhilePainting1Click();
    // The template read from this file becomes the one fixing uses; false
    // (and the old one kept) when it cannot be read.
    bool Load(const QString& path);

    QAction* TerrainTemplate1;
    QAction* TemplateFile1; // the template's file, shown and never chosen
    QAction* FixWhilePainting1;

  private:
    void ShowFile();

    MapDocument& doc_;
    DialogService& dialogs_;
    OpenDialog dialog_;
    zem::TerrainTemplate tmpl_;
    QString path_;      // the file the template came from
    bool read_ = false; // a template was read
};

} // namespace zem
