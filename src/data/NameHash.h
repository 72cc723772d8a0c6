#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Packed containers store no names, only a 64-bit hash of each lower-case
// name: Bob Jenkins' lookup3 hashlittle2 with both seeds 0, the secondary
// result in the high half.
namespace NameHash {

quint64 hash(const QByteArray &bytes);
// Lower-cases the name (ASCII) before hashing it.
quint64 ofName(const QString &name);

} // namespace NameHash
