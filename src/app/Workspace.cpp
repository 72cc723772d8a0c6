#include "app/Workspace.h"

#include <QCoreApplication>
#include <QPainter>

namespace {
constexpr int HintMargin = 24;
} // namespace

Workspace::Workspace(QWidget *parent) : QMdiArea(parent) {}

QString Workspace::hintText()
{
    return QCoreApplication::translate(
        "Workspace",
        "Start a new multi with File > New (Ctrl+N), or open one with File > Open (Ctrl+O).\n"
        "In a document, Edit > Insert > Multi Entry brings in a multi of the game's files.\n"
        "The tile palette is under View > Palette.");
}

void Workspace::paintEvent(QPaintEvent *e)
{
    QMdiArea::paintEvent(e);
    if (!subWindowList().isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::BrightText));
    const QRect area = viewport()->rect().adjusted(HintMargin, HintMargin, -HintMargin, -HintMargin);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, hintText());
}
