#pragma once

#include <QByteArray>

// The editor's own XML files for the sample set: the tile palette and the
// names of the known multis.
class SampleXml
{
public:
    static QByteArray palette();
    static QByteArray multiNames();
};
