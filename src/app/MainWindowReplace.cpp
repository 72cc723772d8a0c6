// Edit > Replace Tiles: one id by another, or one palette group by another
// piece by piece, in the selection or the whole multi, as one undo step.
#include "app/MainWindow.h"

#include "app/GLScroll.h"
#include "data/ArtReader.h"
#include "data/MultiCollection.h"
#include "model/Facet.h"
#include "model/TileReplace.h"
#include "panels/Palette.h"
#include "panels/TListItem.h"
#include "scene/Document.h"
#include "ui/Dialogs.h"
#include "ui/ReplaceTilesDialog.h"
#include "view/GLWidget.h"

#include <QSet>
#include <QStatusBar>
#include <QTreeWidget>

namespace {
// Ids listed in the status bar before the rest is only counted.
constexpr int ListedIds = 12;

// Every art category of the palette that holds tiles, named by its path.
void collectGroups(const QTreeWidgetItem *item, const QString &prefix, QList<ReplaceTilesDialog::Group> &out)
{
    const QString path = prefix.isEmpty() ? item->text(0) : prefix + QLatin1Char('/') + item->text(0);
    const auto *category = dynamic_cast<const TListItem *>(item);
    if (category && !category->tiles.isEmpty())
        out.append({path, QList<qint32>(category->tiles.cbegin(), category->tiles.cend())});
    for (int i = 0; i < item->childCount(); ++i)
        collectGroups(item->child(i), path, out);
}

QString listed(const QList<quint16> &ids)
{
    QStringList texts;
    for (qsizetype i = 0; i < ids.size() && i < ListedIds; ++i)
        texts << QString::number(ids[i]);
    if (ids.size() > ListedIds)
        texts << MainWindow::tr("and %1 more").arg(ids.size() - ListedIds);
    return texts.join(QStringLiteral(", "));
}
} // namespace

void MainWindow::replaceTiles()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    Document *doc = d->document();
    const Facet &model = *doc->model();
    Selection &selection = doc->selection();
    const bool inSelection = !selection.isEmpty(Art) || !selection.isEmpty(Terrain);
    const QList<TileRecord> tiles = inSelection ? selection.selectedTiles(model, Art) : tilesInDrawOrder(model);

    QList<ReplaceTilesDialog::Group> groups;
    const QTreeWidget *tree = m_palette->treeArt();
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        collectGroups(tree->topLevelItem(i), QString(), groups);
    const int known = std::max(m_art ? m_art->staticCount() : 0, m_tileData.staticCount());
    // Without art files there is no count to hold the ids to: any id goes.
    const int artCount = known > 0 ? known : 0x10000;
    const QString scope = inSelection ? tr("Replaces in the selection (%1 art tiles).").arg(tiles.size())
                                      : tr("Nothing is selected: replaces in the whole multi (%1 art tiles).")
                                            .arg(tiles.size());
    ReplaceTilesDialog dialog(groups, artCount, scope, this);
    if (Dialogs::exec(&dialog) != QDialog::Accepted || !dialog.problem().isEmpty())
        return;

    QList<quint16> unpartnered;
    const TileReplace::IdMap map = dialog.idMap(&unpartnered);
    const TileReplace::Plan plan = TileReplace::plan(tiles, map, m_tileData);
    // Only the pieces that stand here were left alone.
    QSet<quint16> present;
    for (const TileRecord &t : tiles)
        present.insert(t.id);
    unpartnered.removeIf([&](quint16 id) { return !present.contains(id); });

    QString message = plan.replaced() == 0   ? tr("No tiles replaced")
                      : plan.replaced() == 1 ? tr("1 tile replaced")
                                             : tr("%1 tiles replaced").arg(plan.replaced());
    if (!unpartnered.isEmpty())
        message += tr("; without a partner, left alone: %1").arg(listed(unpartnered));
    statusBar()->showMessage(message);
    if (plan.replaced() == 0)
        return;

    TileReplace::apply(plan, *doc->undoMgr(), model);
    if (inSelection) {
        // The replaced tiles stay selected under their new ids.
        for (const TileRecord &t : plan.before)
            selection.remove(TileIdentity::of(t));
        for (const TileRecord &t : plan.after)
            selection.add(TileIdentity::of(t), false);
    }
    d->view()->update();
}
