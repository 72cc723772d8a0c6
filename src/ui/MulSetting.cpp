#include "ui/MulSetting.h"

#include "ui/Dialogs.h"
#include "data/DataLocations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPair>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <QtDebug>

namespace {
QString formText(const char *text)
{
    return QCoreApplication::translate("MulDialog", text);
}
} // namespace

MulSetting::MulSetting(QWidget *parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    buildForm();
    setModal(true);
    const QStringList keys = DataLocations::readOrder();
    const QStringList values = DataLocations::load();
    for (int i = 0; i < keys.size(); ++i)
        fieldFor(keys[i])->setText(values.value(i));
    remember();

    connect(pushArtIdx, &QPushButton::clicked, this, &MulSetting::editArtIdx);
    connect(pushArtMul, &QPushButton::clicked, this, &MulSetting::editArtMul);
    connect(pushMultiIdx, &QPushButton::clicked, this, &MulSetting::editMultiIdx);
    connect(pushMultiMul, &QPushButton::clicked, this, &MulSetting::editMultiMul);
    connect(pushHues, &QPushButton::clicked, this, &MulSetting::editHues);
    connect(pushTiledata, &QPushButton::clicked, this, &MulSetting::editTiledata);
    connect(pushRadar, &QPushButton::clicked, this, &MulSetting::editRadar);
    connect(pushMapDir, &QPushButton::clicked, this, &MulSetting::editMapDir);
    connect(pushTexmaps, &QPushButton::clicked, this, &MulSetting::editTexmaps);
    connect(pushTexidx, &QPushButton::clicked, this, &MulSetting::editTexidx);
    connect(pushArtUop, &QPushButton::clicked, this, &MulSetting::editArtUop);
    connect(pushMultiUop, &QPushButton::clicked, this, &MulSetting::editMultiUop);
}

QLineEdit *MulSetting::addRow(QGridLayout *grid, int row, const QString &label, bool richText,
                              const QString &name, QPushButton *&button)
{
    auto *text = new QLabel(this);
    text->setTextFormat(richText ? Qt::RichText : Qt::PlainText);
    text->setText(richText ? QStringLiteral("<p>%1</p>").arg(label) : label);
    auto *field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("line") + name);
    button = new QPushButton(QStringLiteral("..."), this);
    button->setObjectName(QStringLiteral("push") + name);
    button->setMaximumWidth(23);
    // Enter in a field means OK, never this row's file browser.
    button->setAutoDefault(false);
    text->setBuddy(field);
    grid->addWidget(text, row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(button, row, 2);
    return field;
}

void MulSetting::buildForm()
{
    setObjectName(QStringLiteral("MulDialog"));
    setWindowTitle(formText("MUL Settings"));
    setWindowIcon(QIcon(QStringLiteral("bm.png")));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *grid = new QGridLayout;
    grid->setSpacing(6);
    grid->setContentsMargins(0, 0, 0, 0);
    lineArtMul = addRow(grid, 0, formText("Art.mul"), false, "ArtMul", pushArtMul);
    lineArtIdx = addRow(grid, 1, formText("Artidx.mul"), true, "ArtIdx", pushArtIdx);
    lineTiledata = addRow(grid, 2, formText("Tiledata.mul"), true, "Tiledata", pushTiledata);
    lineHues = addRow(grid, 3, formText("Hues.mul"), true, "Hues", pushHues);
    lineMultiMul = addRow(grid, 4, formText("Multi.mul"), true, "MultiMul", pushMultiMul);
    lineMultiIdx = addRow(grid, 5, formText("Multi.idx"), true, "MultiIdx", pushMultiIdx);
    lineTexmaps = addRow(grid, 6, formText("Texmaps.mul"), true, "Texmaps", pushTexmaps);
    lineTexidx = addRow(grid, 7, formText("Texidx.mul"), false, "Texidx", pushTexidx);
    lineRadar = addRow(grid, 8, formText("Radarcol.mul"), true, "Radar", pushRadar);
    lineMapDir = addRow(grid, 9, formText("Map Dir"), true, "MapDir", pushMapDir);
    // The packed containers of newer clients.
    lineArtUop = addRow(grid, 10, formText("ArtLegacyMUL.uop"), true, "ArtUop", pushArtUop);
    lineMultiUop = addRow(grid, 11, formText("MultiCollection.uop"), true, "MultiUop", pushMultiUop);

    auto *buttons = new QHBoxLayout;
    buttons->setObjectName(QStringLiteral("hboxLayout1"));
    buttons->setSpacing(6);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addItem(new QSpacerItem(131, 31, QSizePolicy::Expanding, QSizePolicy::Minimum));
    m_clientFolder = new QPushButton(formText("Client Folder…"), this);
    m_clientFolder->setObjectName(QStringLiteral("clientFolderButton"));
    m_clientFolder->setAutoDefault(false);
    buttons->insertWidget(0, m_clientFolder);
    auto *okButton = new QPushButton(formText("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    auto *cancelButton = new QPushButton(formText("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    cancelButton->setAutoDefault(false);
    m_folderReport = new QLabel(this);
    m_folderReport->setObjectName(QStringLiteral("folderReport"));
    m_folderReport->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_folderReport->hide();

    auto *column = new QVBoxLayout;
    column->setSpacing(6);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(grid);
    column->addWidget(m_folderReport);
    column->addLayout(buttons);
    auto *outer = new QHBoxLayout(this);
    outer->setSpacing(6);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->addLayout(column);

    resize(QSize(390, 351).expandedTo(minimumSizeHint()));
    connect(okButton, &QPushButton::clicked, this, &MulSetting::accept);
    connect(cancelButton, &QPushButton::clicked, this, &MulSetting::reject);
    connect(m_clientFolder, &QPushButton::clicked, this, &MulSetting::useClientFolder);
}

QLineEdit *MulSetting::fieldFor(const QString &key) const
{
    const QPair<const char *, QLineEdit *> fields[] = {
        {"ArtIdx", lineArtIdx},     {"ArtMul", lineArtMul},     {"MultiIdx", lineMultiIdx},
        {"MultiMul", lineMultiMul}, {"TexIdx", lineTexidx},     {"TexMapsMul", lineTexmaps},
        {"HuesMul", lineHues},      {"TileDataMul", lineTiledata}, {"RadarCol", lineRadar},
        {"MapDir", lineMapDir},     {"ArtUop", lineArtUop},     {"MultiUop", lineMultiUop},
    };
    for (const auto &f : fields) {
        if (key == QLatin1String(f.first))
            return f.second;
    }
    Q_UNREACHABLE();
    return nullptr;
}

QString MulSetting::artMul() const { return lineArtMul->text(); }
QString MulSetting::artIdx() const { return lineArtIdx->text(); }
QString MulSetting::multiMul() const { return lineMultiMul->text(); }
QString MulSetting::multiIdx() const { return lineMultiIdx->text(); }
QString MulSetting::huesMul() const { return lineHues->text(); }
QString MulSetting::tileDataMul() const { return lineTiledata->text(); }
QString MulSetting::texIdx() const { return lineTexidx->text(); }
QString MulSetting::texMapsMul() const { return lineTexmaps->text(); }
QString MulSetting::artUop() const { return lineArtUop->text(); }
QString MulSetting::multiUop() const { return lineMultiUop->text(); }
QString MulSetting::radarCol() const { return lineRadar->text(); }

QStringList MulSetting::multiStore() const
{
    return DataLocations::multiStore(multiIdx(), multiMul(), multiUop());
}

void MulSetting::remember()
{
    // A folder's report belongs to that one filling, not to the next opening.
    m_folderReport->hide();
    m_stored.clear();
    for (const QString &key : DataLocations::readOrder())
        m_stored.insert(key, fieldFor(key)->text());
}

void MulSetting::reject()
{
    for (auto it = m_stored.constBegin(); it != m_stored.constEnd(); ++it)
        fieldFor(it.key())->setText(it.value());
    m_folderReport->hide();
    QDialog::reject();
}

void MulSetting::accept()
{
    QList<QPair<QString, QString>> values;
    for (const QString &key : DataLocations::writeOrder())
        values.append({key, fieldFor(key)->text()});
    if (!DataLocations::save(values))
        qWarning("Could not store the data file locations");
    remember();
    QDialog::accept();
}

void MulSetting::browseFile(QLineEdit *field, const QString &caption)
{
    const QString picked = Dialogs::getOpenFileName(this, caption, field->text(), QString());
    if (!picked.isEmpty())
        field->setText(picked);
}

void MulSetting::editArtIdx() { browseFile(lineArtIdx, formText("Select artidx.mul file")); }
void MulSetting::editArtMul() { browseFile(lineArtMul, formText("Select art.mul file")); }
void MulSetting::editMultiIdx() { browseFile(lineMultiIdx, formText("Select multi.idx file")); }
void MulSetting::editMultiMul() { browseFile(lineMultiMul, formText("Select multi.mul file")); }
void MulSetting::editHues() { browseFile(lineHues, formText("Select hues.mul file")); }
void MulSetting::editTiledata() { browseFile(lineTiledata, formText("Select tiledata.mul file")); }
void MulSetting::editRadar() { browseFile(lineRadar, formText("Select radarcol.mul file")); }
void MulSetting::editTexmaps() { browseFile(lineTexmaps, formText("Select texmaps.mul file")); }
void MulSetting::editTexidx() { browseFile(lineTexidx, formText("Select texidx.mul file")); }
void MulSetting::editArtUop() { browseFile(lineArtUop, formText("Select artLegacyMUL.uop file")); }
void MulSetting::editMultiUop() { browseFile(lineMultiUop, formText("Select MultiCollection.uop file")); }

void MulSetting::editMapDir()
{
    const QString picked =
        Dialogs::getExistingDirectory(this, formText("Select map directory"), lineMapDir->text());
    if (!picked.isEmpty())
        lineMapDir->setText(picked);
}

void MulSetting::useClientFolder()
{
    const QString start = QFileInfo(lineTiledata->text()).absolutePath();
    const QString folder = Dialogs::getExistingDirectory(this, formText("Select the client folder"),
                                                         lineTiledata->text().isEmpty() ? QString() : start);
    if (!folder.isEmpty())
        fillFromFolder(folder);
}

// Every file row takes the folder's file of that name in any case (containers
// too); a file the folder lacks still gets its path, so the report and the
// data file notice agree on what is missing.
void MulSetting::fillFromFolder(const QString &folder)
{
    QStringList lines;
    for (const QString &key : DataLocations::readOrder()) {
        const QString path = DataLocations::defaultFor(key, folder);
        fieldFor(key)->setText(path);
        if (path == folder)
            continue;
        const QString name = QFileInfo(path).fileName();
        lines.append(QFileInfo(path).isFile() ? formText("Found: %1").arg(name)
                                               : formText("Missing: %1").arg(name));
    }
    m_folderReport->setText(lines.join(QLatin1Char('\n')));
    m_folderReport->show();
    resize(size().expandedTo(minimumSizeHint()));
}
