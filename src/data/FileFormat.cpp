#include "data/FileFormat.h"

#include "data/MultiCollection.h"

#include <QFileInfo>

FileFormat::FileFormat(Description description, Reader reader, Writer writer, Opener opener)
    : m_description(std::move(description)), m_reader(std::move(reader)), m_writer(std::move(writer)),
      m_opener(std::move(opener))
{
}

QString FileFormat::filter() const
{
    return QStringLiteral("%1 (*.%2)").arg(description(), suffix());
}

bool FileFormat::isFormatOf(const QString &path) const
{
    return QFileInfo(path).suffix().compare(suffix(), Qt::CaseInsensitive) == 0;
}

FileFormat::Loaded FileFormat::read(const QString &path, const TileInfoSource &data, const ReadOptions &options) const
{
    return m_reader(path, data, options);
}

bool FileFormat::write(const QString &path, const QList<TileRecord> &tiles, const WriteOptions &options,
                       Written &out) const
{
    return m_writer(path, tiles, options, out);
}

std::unique_ptr<MultiCollection> FileFormat::collection(const QString &path) const
{
    return m_opener ? m_opener(path) : nullptr;
}
