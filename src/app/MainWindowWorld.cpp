// View > World Map: the client's world, and areas of it captured as documents.
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "app/WorldMapWindow.h"
#include "data/DataLocations.h"
#include "model/Facet.h"

#include <QFileInfo>

void MainWindow::showWorldMap()
{
    if (!m_worldMap) {
        // The map files sit in the map folder, else beside the tile data.
        const QStringList keys = DataLocations::readOrder();
        const QStringList values = DataLocations::load();
        auto value = [&](const char *key) { return values.value(keys.indexOf(QLatin1String(key))); };
        QString dir = value("MapDir");
        if (dir.isEmpty() || !QFileInfo(dir).isDir())
            dir = QFileInfo(value("TileDataMul")).absolutePath();
        QString radar = value("RadarCol");
        if (!QFileInfo::exists(radar))
            radar = DataLocations::fileIn(dir, QStringLiteral("radarcol.mul"));
        m_worldMap = new WorldMapWindow(dir, radar, m_tileData, this);
        connect(m_worldMap, &WorldMapWindow::captured, this, [this](const QString &title, const TileMap &tiles) {
            GLScroll *d = addDocument(QString(), tiles);
            d->setWindowTitle(title + QStringLiteral("[*]"));
            // Nothing on disk holds it yet.
            d->model()->markModified();
            d->setWindowModified(true);
        });
    }
    m_worldMap->show();
    m_worldMap->raise();
    m_worldMap->activateWindow();
}
