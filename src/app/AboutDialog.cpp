#include "app/AboutDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

namespace {
constexpr int IconSize = 64;
constexpr int TextWidth = 640;
} // namespace

AboutDialog::AboutDialog(const QString &programData, const QVector<DataFileStatus> &clientFiles,
                         QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("About Tilsen Multi Editor"));
    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/images/tilsen-256.png")).pixmap(IconSize, IconSize));
    auto *title = new QLabel(tr("<h3>Tilsen Multi Editor %1</h3>").arg(QCoreApplication::applicationVersion()),
                             this);
    title->setObjectName(QStringLiteral("title"));
    auto *text = new QLabel(details(programData, clientFiles), this);
    text->setObjectName(QStringLiteral("details"));
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setWordWrap(true);
    text->setMinimumWidth(TextWidth);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *column = new QVBoxLayout;
    column->addWidget(title);
    column->addWidget(text);
    auto *row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(column, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

QString AboutDialog::details(const QString &programData, const QVector<DataFileStatus> &clientFiles)
{
    QStringList found, missing, folders;
    for (const DataFileStatus &s : clientFiles) {
        if (!s.usable()) {
            missing << s.name;
            continue;
        }
        found << s.describe();
        const QString folder = QDir::toNativeSeparators(QFileInfo(s.path).absolutePath());
        if (!folders.contains(folder))
            folders << folder;
    }
    QStringList lines;
    lines << tr("Build and edit Ultima Online multis tile by tile.")
          << tr("Licence: GNU General Public License, version 3 or later (GPL-3.0-or-later). "
                "It comes with no warranty.")
          << QString()
          << tr("Editor data (palette, multi names, sample data): %1").arg(QDir::toNativeSeparators(programData))
          << tr("Client data folder: %1").arg(folders.isEmpty() ? tr("none found") : folders.join(QStringLiteral(", ")))
          << tr("Client files found:");
    for (const QString &f : found)
        lines << QStringLiteral("  ") + f;
    if (found.isEmpty())
        lines << QStringLiteral("  ") + tr("none");
    if (!missing.isEmpty())
        lines << tr("Not found: %1").arg(missing.join(QStringLiteral(", ")));
    return lines.join(QLatin1Char('\n'));
}
