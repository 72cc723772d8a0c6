// Hostile and damaged inputs that once hurt: they must read quickly into a
// safe result, with a clear message where the user would otherwise wonder.
#include "LeWords.h"
#include "MulWriter.h"
#include "data/ArtReader.h"
#include "data/MultiNames.h"
#include "data/PaletteXml.h"
#include "data/TileData.h"
#include "data/XmlTree.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "model/RecoveryFile.h"
#include "model/UndoMgr.h"

#include <QtEndian>

#include <QTest>

namespace {

QByteArray nested(int depth)
{
    return "<palette>" + QByteArray("<tilesets>").repeated(depth) + QByteArray("</tilesets>").repeated(depth)
           + "</palette>";
}

// A category as "name[tiles](children)" for compact comparison.
QString show(const QList<PaletteXml::Category> &list)
{
    QStringList out;
    for (const PaletteXml::Category &c : list) {
        QStringList tiles;
        for (qint32 t : c.tiles)
            tiles << QString::number(t);
        out << c.name + "[" + tiles.join(',') + "]"
                   + (c.walls ? QString("{%1 %2 %3}").arg(c.walls->corner).arg(c.walls->alongX).arg(c.walls->alongY) : QString())
                   + (c.children.isEmpty() ? QString() : "(" + show(c.children) + ")");
    }
    return out.join(' ');
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT
    TileData m_data;

private slots:
    void paletteShapes_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("art");
        QTest::addColumn<QString>("terrain");
        QTest::newRow("nested categories")
            << QByteArray("<p><tilesets><statics><tileset name='Walls'><group name='Stone'>"
                          "<tile>100</tile><tile>101</tile>\n  <tile>102</tile></group></tileset>"
                          "<tile>7</tile></statics></tilesets></p>")
            << "Walls[](Stone[100,101,102])" << "";
        QTest::newRow("a comment stops the scan")
            << QByteArray("<p><tilesets><statics><group name='A'><tile>1</tile></group></statics>"
                          "<!-- land follows --><land><group name='L'/></land></tilesets></p>")
            << "A[1]" << "";
        QTest::newRow("a root named tilesets is not read")
            << QByteArray("<tilesets><statics><group name='A'/></statics></tilesets>") << "" << "";
        QTest::newRow("no name, empty and junk tiles, unknown elements")
            << QByteArray("<p><x><tilesets><land><group><tile/><tile>zz</tile><tile>5</tile>"
                          "<odd><tile>9</tile></odd></group></land></tilesets></x></p>")
            << "" << "No Name[0,0,5]";
        QTest::newRow("names compared with case")
            << QByteArray("<p><tilesets><Statics><group name='A'/></Statics></tilesets></p>") << "" << "";
        // A group names its wall pieces for the hollow rectangle: all three ids or none.
        const auto walls = [](const char *attributes) {
            return "<p><tilesets><statics><tileset name='W'><group name='S' " + QByteArray(attributes)
                   + "><tile>1</tile></group></tileset></statics></tilesets></p>";
        };
        QTest::newRow("walls") << walls("corner='100' alongx='101' alongy='102'") << "W[](S[1]{100 101 102})" << "";
        QTest::newRow("walls in hex") << walls("corner='0x0064' alongx='0X65' alongy=' 0x66 '") << "W[](S[1]{100 101 102})" << "";
        QTest::newRow("largest ids") << walls("corner='65535' alongx='0' alongy='0xFFFF'") << "W[](S[1]{65535 0 65535})" << "";
        QTest::newRow("one piece missing") << walls("corner='100' alongx='101'") << "W[](S[1])" << "";
        QTest::newRow("not a number") << walls("corner='wall' alongx='101' alongy='102'") << "W[](S[1])" << "";
        QTest::newRow("beyond the ids") << walls("corner='65536' alongx='101' alongy='102'") << "W[](S[1])" << "";
        QTest::newRow("negative") << walls("corner='-1' alongx='101' alongy='102'") << "W[](S[1])" << "";
    }
    void paletteShapes()
    {
        QFETCH(QByteArray, xml);
        const PaletteXml::Result r = PaletteXml::parse(xml);
        QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
        QTEST(show(r.art), "art");
        QTEST(show(r.terrain), "terrain");
    }

    // Each of these once stalled or would: they end with a message that says why.
    void xmlThatIsRefused_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("message");
        QTest::newRow("16,000 levels") << nested(16000) << "nested deeper than 256 levels";
        QTest::newRow("not well-formed") << QByteArray("<p><tilesets></p>") << "line 1";
        QTest::newRow("empty") << QByteArray() << "line";
        QTest::newRow("too large") << QByteArray(XmlTree::MaxBytes + 1, ' ') << "larger than 8 MiB";
        QTest::newRow("too many elements")
            << "<p>" + QByteArray("<a/>").repeated(XmlTree::MaxNodes + 2) + "</p>" << "more than";
    }
    void xmlThatIsRefused()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, message);
        const PaletteXml::Result palette = PaletteXml::parse(xml);
        QVERIFY(palette.art.isEmpty());
        QVERIFY(palette.terrain.isEmpty());
        QVERIFY2(palette.error.startsWith("palette.xml cannot be read: ") && palette.error.contains(message),
                 qPrintable(palette.error));
        const MultiNames::Result multis = MultiNames::parse(xml);
        QVERIFY(multis.names.isEmpty());
        QVERIFY(!multis.visible);
        QVERIFY(multis.error.contains(message));
        // 255 levels are still a palette.
        QVERIFY(PaletteXml::parse(nested(255)).error.isEmpty());
    }

    void multiNames()
    {
        const MultiNames::Result r = MultiNames::parse(
            "<root><multiset><Multi Index='100'>Tower</Multi><Multi Index='0X65'>Keep</Multi>"
            "<x><Multi Index='x64'>Zero</Multi></x><Multi Index='0x64'>Later</Multi>"
            "<Multi Index='7'><b>bold</b></Multi><Multi Index='8'><![CDATA[Raw]]></Multi></multiset>"
            "<Multi Index='9'>Outside</Multi><MultiVisible> 1 </MultiVisible>"
            "<MultiVisible>0</MultiVisible></root>");
        QVERIFY(r.error.isEmpty());
        QCOMPARE(r.names, (QHash<qint32, QString>{{100, "Tower"}, {101, "Keep"}, {0, "Zero"}, {8, "Raw"}}));
        QVERIFY(r.visible);
        QVERIFY(!MultiNames::parse("<r><MultiVisible>true</MultiVisible></r>").visible);
        QVERIFY(!MultiNames::read("/no/such/multi.xml").error.isEmpty());
    }

    // Every row of a 4 MiB entry points at one run list that never ends: each
    // row shows the first w colours of it, and the decode stops at the row's end.
    void artRowsShareAnEndlessRun()
    {
        const int w = 44, h = 2048;
        QVector<int> v{0, 0, w, h};
        v << QVector<int>(h, 0);              // every row at word 0 of the runs
        const int pairs = (4 * 1024 * 1024) / 4;
        for (int i = 0; i < pairs; ++i)       // runs of one colour, never a terminator
            v << 0 << 1 << ((i % 31) | 0x20);
        ArtReader reader;
        const MulWriter::IndexedFile f = MulWriter::indexedFile({{0x4000, words(v)}}, 0x8000);
        reader.loadFromBytes(f.index, f.data);
        int rw = 0, rh = 0;
        const QByteArray *pixels = reader.staticPixels(0, rw, rh);
        QVERIFY(pixels && rw == w && rh == h);
        for (int y : {0, 1, h - 1}) {
            for (int x = 0; x < w; ++x) {
                const uchar *px = reinterpret_cast<const uchar *>(pixels->constData()) + 4 + 2 * (w * y + x);
                QCOMPARE(px[0] | (px[1] << 8), ((x % 31) | 0x20) | 0x8000);
            }
        }
        // A run stepping back over its row paints each pixel once at most.
        QVector<int> back{0, 0, 2, 1, 0};
        for (int i = 0; i < 1000; ++i)
            back << -2 << 2 << 0x11 << 0x12;
        ArtReader other;
        const MulWriter::IndexedFile g = MulWriter::indexedFile({{0x4000, words(back)}}, 0x8000);
        other.loadFromBytes(g.index, g.data);
        QVERIFY(other.staticPixels(0, rw, rh) && rw == 2 && rh == 1);
    }

    // Recovery files written out by hand: a sound one reads back, a cut,
    // foreign or lying one gives nothing.
    void recoveryFiles()
    {
        auto le32 = [](quint32 v) { QByteArray b(4, '\0'); qToLittleEndian(v, b.data()); return b; };
        const QString name = QStringLiteral("/h/house.mlt");
        QByteArray utf16(reinterpret_cast<const char *>(name.utf16()), name.size() * 2);
        const QByteArray mlt = QByteArray(4, '\0') + words({3, 1, 2, 0, 1, 0});
        QByteArray msecs(8, '\0');
        qToLittleEndian<qint64>(1765000000000, msecs.data());
        const QByteArray sound = "TMERCVR1" + le32(quint32(utf16.size())) + utf16 + msecs + le32(1)
                                 + le32(quint32(mlt.size())) + mlt;
        const std::optional<RecoveryFile> r = RecoveryFile::fromBytes(sound);
        QVERIFY(r && r->fileName == name && r->tiles == 1 && r->mlt == mlt);
        QCOMPARE(r->written.toMSecsSinceEpoch(), 1765000000000);
        QCOMPARE(r->toBytes(), sound);
        QByteArray lying = sound;
        lying.replace(lying.size() - mlt.size() - 4, 4, le32(0x7FFFFFF0));
        QByteArray negative = sound;
        negative.replace(8 + 4 + utf16.size() + 8, 4, le32(0xFFFFFFFF));
        for (const QByteArray &bad : {sound.left(sound.size() - 1), QByteArray("TMERCVR2") + sound.mid(8),
                                      lying, negative, QByteArray()})
            QVERIFY(!RecoveryFile::fromBytes(bad));
        // A file shorter than its size says, as sysfs files are: a read error, not an endless read.
        const QString shorter = QStringLiteral("/sys/devices/system/cpu/online");
        if (QFileInfo(shorter).size() > 100)
            QVERIFY(!RecoveryFile::load(shorter).problem.isEmpty());
    }

    // A file may hold tiles outside the area: they load, are counted, can be
    // changed where they lie and removed, with undo and redo.
    void tilesOutsideTheArea()
    {
        QByteArray bytes(4, '\0');
        bytes += words({5, 300, -300, 0, 1, 0}) + words({6, 300, -300, 2, 1, 0}) + words({7, 1, 1, 0, 1, 0});
        const MltReadResult r = MltFile::fromBytes(bytes, m_data);
        Facet model(m_data);
        model.load(r.tiles);
        QCOMPARE(model.tilesOutside(), 2);
        UndoMgr undo(m_data, &model, nullptr);
        TileRecord five = *model.tilesAt(300, -300).begin();
        undo.beginGroup();
        undo.removeTile(five);
        five.hue = 9;
        undo.insertTile(five);
        undo.commitGroup();
        QCOMPARE(model.tilesAt(300, -300).size(), size_t(2));
        undo.beginGroup();
        for (const TileRecord &t : model.tilesAt(300, -300))
            undo.removeTile(t);
        undo.commitGroup();
        QVERIFY(model.tilesAt(300, -300).empty() && model.tilesOutside() == 0);
        QCOMPARE(MltFile::toBytes(model), QByteArray(4, '\0') + words({7, 1, 1, 0, 1, 0}));
        undo.undo();
        QCOMPARE(model.tilesOutside(), 2);
        // New tiles still keep to the area.
        TileRecord t(8, 0, 0, m_data, 1);
        t.x = 301;
        t.y = -300;
        QVERIFY(!model.addTile(t.x, t.y, t));
    }
};

QTEST_GUILESS_MAIN(TestHostile)
#include "test_hostile.moc"
