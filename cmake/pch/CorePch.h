// Precompiled for the core and everything built on it: the Qt headers that
// most sources include, so each file does not parse them again.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSaveFile>
#include <QSet>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>
