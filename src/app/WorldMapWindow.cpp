#include "app/WorldMapWindow.h"

#include "app/WorldMapCanvas.h"
#include "data/WorldCapture.h"
#include "data/WorldFacet.h"
#include "data/WorldOverview.h"
#include "model/Altitude.h"
#include "ui/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

namespace {
QSpinBox *spin(int min, int max, int value)
{
    auto *s = new QSpinBox;
    s->setRange(min, max);
    s->setValue(value);
    return s;
}
} // namespace

WorldMapWindow::WorldMapWindow(const QString &dir, const QString &radarCol, const TileInfoSource &data,
                               QWidget *parent)
    : QWidget(parent, Qt::Window), m_dir(dir), m_data(data), m_facet(std::make_unique<WorldFacet>())
{
    setWindowTitle(tr("World Map"));
    if (const auto colours = WorldOverview::readColours(radarCol, &m_coloursError))
        m_colours = *colours;

    m_facetBox = new QComboBox;
    m_facets = WorldFacet::facetsIn(dir);
    for (int f : std::as_const(m_facets))
        m_facetBox->addItem(tr("Facet %1").arg(f));
    m_gotoX = spin(0, 0xFFFF, 0);
    m_gotoY = spin(0, 0xFFFF, 0);
    auto *gotoButton = new QPushButton(tr("Go To"));
    m_gotoX->setObjectName(QStringLiteral("gotoX"));
    m_gotoY->setObjectName(QStringLiteral("gotoY"));
    gotoButton->setObjectName(QStringLiteral("goTo"));
    auto *top = new QHBoxLayout;
    top->addWidget(m_facetBox);
    top->addStretch();
    top->addWidget(new QLabel(tr("X")));
    top->addWidget(m_gotoX);
    top->addWidget(new QLabel(tr("Y")));
    top->addWidget(m_gotoY);
    top->addWidget(gotoButton);

    m_canvas = new WorldMapCanvas;
    m_progress = new QProgressBar;
    m_cancelButton = new QPushButton(tr("Cancel"));
    m_status = new QLabel;
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_progress);
    bottom->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_canvas, 1);
    layout->addWidget(captureRow());
    layout->addLayout(bottom);
    resize(900, 700);

    connect(m_facetBox, qOverload<int>(&QComboBox::currentIndexChanged), this, &WorldMapWindow::showFacet);
    connect(gotoButton, &QPushButton::clicked, this, &WorldMapWindow::goTo);
    connect(m_cancelButton, &QPushButton::clicked, this, &WorldMapWindow::cancelBuild);
    connect(m_canvas, &WorldMapCanvas::hovered, this, &WorldMapWindow::showCell);
    connect(m_canvas, &WorldMapCanvas::areaChanged, this, &WorldMapWindow::areaChosen);
    connect(m_capture, &QPushButton::clicked, this, &WorldMapWindow::capture);
    for (QSpinBox *s : {m_centreX, m_centreY})
        connect(s, qOverload<int>(&QSpinBox::valueChanged), this, &WorldMapWindow::baseFromCentre);
    m_progress->hide();
    m_cancelButton->hide();
    if (m_facets.isEmpty())
        m_status->setText(tr("No map files (mapN.mul or mapNLegacyMUL.uop with staidxN.mul and "
                             "staticsN.mul) in %1").arg(dir));
    else
        showFacet(0);
}

WorldMapWindow::~WorldMapWindow() { stopWorker(); }

QWidget *WorldMapWindow::captureRow()
{
    auto *row = new QWidget;
    auto *l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    m_zMin = spin(Altitude::Min, Altitude::Max, Altitude::Min);
    m_zMax = spin(Altitude::Min, Altitude::Max, Altitude::Max);
    m_centreX = spin(0, 0xFFFF, 0);
    m_centreY = spin(0, 0xFFFF, 0);
    m_base = spin(Altitude::Min, Altitude::Max, 0);
    m_terrain = new QCheckBox(tr("Include terrain"));
    m_capture = new QPushButton(tr("Capture"));
    m_capture->setObjectName(QStringLiteral("capture"));
    m_capture->setEnabled(false);
    const std::pair<QString, QSpinBox *> fields[] = {{tr("Altitudes"), m_zMin}, {tr("to"), m_zMax},
                                                    {tr("Centre"), m_centreX}, {tr(","), m_centreY},
                                                    {tr("Base"), m_base}};
    for (const auto &[label, box] : fields) {
        l->addWidget(new QLabel(label));
        l->addWidget(box);
    }
    l->addWidget(m_terrain);
    l->addStretch();
    l->addWidget(m_capture);
    return row;
}

QString WorldMapWindow::statusText() const { return m_status->text(); }

void WorldMapWindow::stopWorker()
{
    if (!m_thread)
        return;
    m_cancel = true;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

void WorldMapWindow::showFacet(int index)
{
    stopWorker();
    m_canvas->setImage(QImage());
    m_canvas->setArea(QRect());
    m_capture->setEnabled(false);
    if (index < 0 || index >= m_facets.size())
        return;
    const int facet = m_facets[index];
    if (!m_facet->open(m_dir, facet)) {
        m_status->setText(m_facet->errorString());
        return;
    }
    if (m_colours.isEmpty()) {
        m_status->setText(m_coloursError);
        return;
    }
    m_cancel = false;
    m_progress->setRange(0, m_facet->blocksWide());
    m_progress->setValue(0);
    m_progress->show();
    m_cancelButton->show();
    m_status->setText(tr("Drawing facet %1…").arg(facet));
    // The worker reads through files of its own, so look-ups here go on meanwhile.
    const QString dir = m_dir;
    const QVector<QRgb> colours = m_colours;
    m_thread = QThread::create([this, dir, facet, colours] {
        WorldFacet own;
        QString error;
        QImage image;
        if (!own.open(dir, facet))
            error = own.errorString();
        else
            image = WorldOverview::build(own, colours,
                                         [this](int done, int) {
                                             QMetaObject::invokeMethod(m_progress, "setValue", Qt::QueuedConnection,
                                                                       Q_ARG(int, done));
                                             return !m_cancel.load();
                                         },
                                         &error);
        QMetaObject::invokeMethod(this, [this, image, error] { built(image, error); }, Qt::QueuedConnection);
    });
    m_thread->start();
}

void WorldMapWindow::built(const QImage &image, const QString &error)
{
    stopWorker();
    m_progress->hide();
    m_cancelButton->hide();
    if (image.isNull()) {
        m_status->setText(error.isEmpty() ? tr("Cancelled") : error);
        return;
    }
    m_canvas->setImage(image);
    m_canvas->centreOn(QPoint(image.width() / 2, image.height() / 2));
    m_status->setText(tr("Facet %1: %2 x %3 cells").arg(m_facet->facet()).arg(image.width()).arg(image.height()));
    emit overviewReady();
}

void WorldMapWindow::cancelBuild() { m_cancel = true; }

void WorldMapWindow::goTo()
{
    m_canvas->centreOn(QPoint(m_gotoX->value(), m_gotoY->value()));
}

void WorldMapWindow::showCell(QPoint cell)
{
    if (isBuilding() || !QRect(QPoint(0, 0), m_facet->size()).contains(cell))
        return;
    WorldFacet::LandBlock land;
    QVector<WorldFacet::Static> statics;
    const int b = WorldFacet::BlockCells;
    if (!m_facet->readLand(cell.x() / b, cell.y() / b, land) || !m_facet->readStatics(cell.x() / b, cell.y() / b, statics)) {
        m_status->setText(m_facet->errorString());
        return;
    }
    QString text = tr("%1, %2: terrain altitude %3").arg(cell.x()).arg(cell.y()).arg(land[WorldFacet::cellIndex(cell.x() % b, cell.y() % b)].z);
    int top = -129;
    for (const WorldFacet::Static &s : std::as_const(statics))
        if (s.x == cell.x() % b && s.y == cell.y() % b)
            top = std::max(top, int(s.z));
    if (top > -129)
        text += tr(", highest static %1").arg(top);
    m_status->setText(text);
}

void WorldMapWindow::areaChosen(const QRect &cells)
{
    m_capture->setEnabled(!cells.isEmpty());
    if (cells.isEmpty())
        return;
    const QPoint c = WorldCapture::middleOf(cells);
    m_centreX->setValue(c.x());
    m_centreY->setValue(c.y());
    baseFromCentre();
}

void WorldMapWindow::baseFromCentre()
{
    WorldFacet::LandBlock land;
    const QPoint c(m_centreX->value(), m_centreY->value());
    const int b = WorldFacet::BlockCells;
    if (QRect(QPoint(0, 0), m_facet->size()).contains(c) && m_facet->readLand(c.x() / b, c.y() / b, land))
        m_base->setValue(land[WorldFacet::cellIndex(c.x() % b, c.y() % b)].z);
}

void WorldMapWindow::capture()
{
    WorldCapture::Request r;
    r.area = m_canvas->area();
    r.zMin = m_zMin->value();
    r.zMax = m_zMax->value();
    r.centre = QPoint(m_centreX->value(), m_centreY->value());
    r.base = m_base->value();
    r.terrain = m_terrain->isChecked();
    QString error;
    const std::optional<WorldCapture::Result> got = WorldCapture::capture(*m_facet, r, m_data, &error);
    if (!got) {
        Dialogs::warning(this, tr("Capture"), error);
        return;
    }
    emit captured(WorldCapture::title(m_facet->facet(), got->area), got->tiles);
}
