#pragma once

#include "data/DataFileStatus.h"

#include <QDialog>
#include <QVector>

// Help > About: the version and licence, the folder of the editor's own data
// (palette, names list, sample data) and the client files it found. Shown
// through the dialog seam.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    AboutDialog(const QString &programData, const QVector<DataFileStatus> &clientFiles,
                QWidget *parent = nullptr);

    // The text below the title, in the order shown (also for tests).
    static QString details(const QString &programData, const QVector<DataFileStatus> &clientFiles);
};
