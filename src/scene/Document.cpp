#include "scene/Document.h"

#include "model/Facet.h"
#include "model/UndoMgr.h"

#include <QFileInfo>

Document::Document(const TileInfoSource &data, const TileMap &tiles, const QString &fileName,
                   QObject *parent)
    : QObject(parent), m_data(data), m_fileName(fileName)
{
    m_model = new Facet(data, this);
    m_model->load(tiles);
    if (!fileName.isEmpty())
        m_format = QFileInfo(fileName).suffix().toLower();
    connectModel();
}

Document::Document(const TileInfoSource &data, Facet *model, QObject *parent)
    : QObject(parent), m_data(data), m_model(model)
{
    connectModel();
}

void Document::connectModel()
{
    m_undo = new UndoMgr(m_data, m_model, this);
    connect(m_undo, &UndoMgr::stateUndo, this, &Document::undoAvailable);
    connect(m_undo, &UndoMgr::stateRedo, this, &Document::redoAvailable);
    connect(m_undo, &UndoMgr::edited, this, &Document::edited);
    connect(m_model, &Facet::modifiedChanged, this, &Document::modifiedChanged);
}

void Document::setFileName(const QString &name)
{
    if (name == m_fileName)
        return;
    m_fileName = name;
    emit fileNameChanged(name);
}

bool Document::isModified() const { return m_model->isModified(); }

bool Document::save(const QString &name, QString *reason)
{
    if (!m_model->save(name, reason))
        return false;
    m_format = QStringLiteral("mlt");
    setFileName(name);
    return true;
}

void Document::setClipEnabled(bool on)
{
    m_clip = on;
    emit clipChanged();
}

void Document::setMinAlt(int alt)
{
    m_minAlt = alt;
    emit clipChanged();
}

void Document::setMaxAlt(int alt)
{
    m_maxAlt = alt;
    emit clipChanged();
}

int Document::placingAltitude() const { return m_model->placingAltitude(); }

void Document::setPlacingAltitude(int alt)
{
    m_model->setPlacingAltitude(alt);
    emit placingChanged(alt);
}

// A lower clip limit the person set moves along with the storey.
void Document::moveStorey(int storeys, int height)
{
    const int old = placingAltitude();
    const int placing = Altitude::clamp(old + storeys * height);
    const int delta = placing - old;
    m_minAlt = (m_clip && m_minAlt > Altitude::Min) ? Altitude::clamp(m_minAlt + delta) : Altitude::Min;
    m_maxAlt = Altitude::clamp(placing + height - 1);
    m_clip = true;
    setPlacingAltitude(placing);
    emit clipChanged();
}

bool Document::canUndo() const { return m_undo->hasSteps(0); }
bool Document::canRedo() const { return m_undo->hasSteps(1); }
