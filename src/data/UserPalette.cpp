#include "data/UserPalette.h"

#include "model/SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
// Enough names for the damaged copies of a lifetime; past them the user is asked to clear some.
constexpr int MaxDamagedCopies = 100;

QString tr(const char *text)
{
    return QCoreApplication::translate("UserPalette", text);
}
} // namespace

UserPalette::UserPalette(const QString &bundledPath, const QString &userPath)
    : m_bundledPath(bundledPath), m_userPath(userPath)
{
}

QString UserPalette::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/palette.xml");
}

bool UserPalette::hasUserFile() const
{
    const QFileInfo info(m_userPath);
    return info.exists() || info.isSymLink();
}

UserPalette::Loaded UserPalette::load()
{
    m_damaged = false;
    if (hasUserFile()) {
        Loaded user{PaletteXml::read(m_userPath), QString()};
        if (user.palette.error.isEmpty())
            return user;
        m_damaged = true;
        Loaded bundled{PaletteXml::read(m_bundledPath), QString()};
        bundled.problem = tr("Your palette %1 cannot be used.\n%2\nThe bundled palette is shown; your file "
                             "will be moved aside, not overwritten, at your next palette change.")
                              .arg(QDir::toNativeSeparators(m_userPath), user.palette.error);
        return bundled;
    }
    return {PaletteXml::read(m_bundledPath), QString()};
}

// rename(2), never a copy: a copy half done would lose the only damaged file.
bool UserPalette::moveDamagedAside(QString *notice, QString *error)
{
    for (int n = 1; n <= MaxDamagedCopies; ++n) {
        const QString aside = m_userPath + QStringLiteral(".damaged") + (n > 1 ? QString::number(n) : QString());
        const QFileInfo info(aside);
        if (info.exists() || info.isSymLink())
            continue;
        if (std::rename(QFile::encodeName(m_userPath).constData(), QFile::encodeName(aside).constData()) != 0) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        m_damaged = false;
        *notice = tr("Your damaged palette was kept as %1.").arg(QDir::toNativeSeparators(aside));
        return true;
    }
    *error = tr("%1 damaged copies are already kept beside it").arg(MaxDamagedCopies);
    return false;
}

bool UserPalette::keepDamaged(QString *notice, QString *error)
{
    return !(m_damaged && hasUserFile()) || moveDamagedAside(notice, error);
}

bool UserPalette::save(const QList<PaletteXml::Category> &art,
                       const QList<PaletteXml::Category> &terrain, QString *notice, QString *error)
{
    if (!QDir().mkpath(QFileInfo(m_userPath).absolutePath())) {
        *error = tr("the folder %1 cannot be made").arg(QFileInfo(m_userPath).absolutePath());
        return false;
    }
    return keepDamaged(notice, error) && SafeWrite::replaceFile(m_userPath, PaletteXml::write(art, terrain), error);
}

bool UserPalette::reset(QString *notice, QString *error)
{
    return keepDamaged(notice, error) && SafeWrite::removeFile(m_userPath, error);
}
