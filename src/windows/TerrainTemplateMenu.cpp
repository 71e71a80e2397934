#include "windows/TerrainTemplateMenu.h"
#include "edit/FixWhilePainting.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QSettings>

namespace zem {

static const QString TemplateKey = QStringLiteral("terrainTemplate");
static const QString FixKey = QStringLiteral("fixTerrainWhilePainting");

TerrainTemplateMenu::TerrainTemplateMenu(QMenu& menu, QAction* after, MapDocument& doc,
                                         DialogService& dialogs)
    : QObject(&menu), doc_(doc), dialogs_(dialogs) {
    const QList<QAction*> items = menu.actions();
    const qsizetype at = items.indexOf(after);
    QAction* before = at >= 0 && at + 1 < items.size() ? items[at + 1] : nullptr;
    TerrainTemplate1 = new QAction(QStringLiteral("Terrain Template..."), &menu);
    TemplateFile1 = new QAction(&menu);
    TemplateFile1->setEnabled(false);
    FixWhilePainting1 = new QAction(QStringLiteral("Fix Terrain While Painting"), &menu);
    FixWhilePainting1->setCheckable(true);
    menu.insertActions(before, {TerrainTemplate1, TemplateFile1, FixWhilePainting1});
    menu.setToolTipsVisible(true);
    connect(TerrainTemplate1, &QAction::triggered, this, [this] { TerrainTemplate1Click(); });
    connect(FixWhilePainting1, &QAction::triggered, this, [this] { FixWhilePainting1Click(); });

    const QSettings settings;
    FixWhilePainting1->setChecked(settings.value(FixKey, false).toBool());
    if (const QString last = settings.value(TemplateKey).toString(); !last.isEmpty()) {
        path_ = last;
        Result<zem::TerrainTemplate> read = LoadTerrainTemplate(last);
        if (read) tmpl_ = std::move(read.Value());
        read_ = bool(read);
    }
    ShowFile();
    doc_.AfterToolEdit = [this](const EditOutcome& out) {
        if (!FixWhilePainting1->isChecked() || !read_) return EditOutcome{};
        return edit::FixAround(doc_.Target(), tmpl_, out);
    };
}

TerrainTemplateMenu::~TerrainTemplateMenu() {
    doc_.AfterToolEdit = nullptr;
}

void TerrainTemplateMenu::ShowFile() {
    if (path_.isEmpty()) {
        TemplateFile1->setText(QStringLiteral("No terrain template"));
        TemplateFile1->setToolTip(QString());
        return;
    }
    const QString name = QDir::toNativeSeparators(path_);
    const QFontMetrics metrics(TemplateFile1->font());
    TemplateFile1->setText(QStringLiteral("Template: ") +
                           metrics.elidedText(name, Qt::ElideMiddle, 360) +
                           (read_ ? QString() : QStringLiteral(" (not read)")));
    TemplateFile1->setToolTip(name);
}

bool TerrainTemplateMenu::Load(const QString& path) {
    Result<zem::TerrainTemplate> read = LoadTerrainTemplate(path);
    if (!read) {
        dialogs_.MessageBox(read.Message(), QStringLiteral("Error"));
        return false;
    }
    tmpl_ = std::move(read.Value());
    path_ = QFileInfo(path).absoluteFilePath();
    read_ = true;
    QSettings().setValue(TemplateKey, path_);
    ShowFile();
    doc_.Tell(QStringLiteral("Terrain template %1 read: %2 patterns")
                  .arg(QDir::toNativeSeparators(path_))
                  .arg(tmpl_.patterns.size()));
    return true;
}

// The dialog of the converter's Fix Terrain, starting where the last
// template lay.
void TerrainTemplateMenu::TerrainTemplate1Click() {
    dialog_.Filter = QStringLiteral("Text files (*.txt)| *.txt| All files | *.*");
    dialog_.Title = QStringLiteral("Load Terrain Template File");
    if (dialog_.FileName.isEmpty()) dialog_.FileName = path_;
    if (dialogs_.Execute(dialog_)) Load(dialog_.FileName);
}

void TerrainTemplateMenu::FixWhilePainting1Click() {
    QSettings().setValue(FixKey, FixWhilePainting1->isChecked());
    if (FixWhilePainting1->isChecked() && !read_)
        doc_.Tell(QStringLiteral("Choose a terrain template (Tools > Terrain Template...) for "
                                 "the coasts to be fixed while painting"));
}

} // namespace zem
