#pragma once

#include "model/TileRecord.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QVector>
#include <QWidget>

#include <atomic>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QThread;
class TileInfoSource;
class WorldFacet;
class WorldMapCanvas;

// View > World Map: a facet of the client's world drawn from radar colours,
// and any rectangle of it captured as a new document.
class WorldMapWindow : public QWidget
{
    Q_OBJECT
public:
    // `dir` holds the map files; `radarCol` is radarcol.mul.
    WorldMapWindow(const QString &dir, const QString &radarCol, const TileInfoSource &data,
                   QWidget *parent = nullptr);
    ~WorldMapWindow() override;

    WorldMapCanvas *canvas() const { return m_canvas; }
    bool isBuilding() const { return m_thread != nullptr; }
    QString statusText() const;

signals:
    // A captured area, ready to be a new, unsaved document.
    void captured(const QString &title, const TileMap &tiles);
    void overviewReady();

public slots:
    void showFacet(int index);
    void cancelBuild();
    void goTo();
    void capture();

private:
    void built(const QImage &image, const QString &error);
    void showCell(QPoint cell);
    void areaChosen(const QRect &cells);
    void baseFromCentre();
    QWidget *captureRow();
    void stopWorker();

    QString m_dir;
    QVector<QRgb> m_colours;
    QString m_coloursError;
    const TileInfoSource &m_data;
    std::unique_ptr<WorldFacet> m_facet; // for look-ups and captures on this thread
    QVector<int> m_facets;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_cancel{false};

    WorldMapCanvas *m_canvas = nullptr;
    QComboBox *m_facetBox = nullptr;
    QSpinBox *m_gotoX = nullptr, *m_gotoY = nullptr;
    QSpinBox *m_zMin = nullptr, *m_zMax = nullptr, *m_centreX = nullptr, *m_centreY = nullptr;
    QSpinBox *m_base = nullptr;
    QCheckBox *m_terrain = nullptr;
    QPushButton *m_capture = nullptr, *m_cancelButton = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
};
