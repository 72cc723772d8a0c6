#pragma once

#include "data/MultiData.h"
#include "data/MultiIndexRecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// Which tile record size (12 or 16 bytes) a multi.mul holds. Entry lengths
// alone cannot tell when every one is a multiple of 48, so every record is
// decoded under both sizes and only a size under which all of them make
// sense is taken (of a huge file, a bounded sample of every entry). When the
// content leaves it open, nobody guesses.
class MultiRecordSize
{
public:
    enum class How { Undecided, Content, Given };

    static constexpr int Classic = 12;
    static constexpr int Extended = 16;

    // Decides from the entries the index points at inside `data`. `hint` is
    // what the tile data layout suggests; it never decides on its own.
    // Data that cannot be read decides nothing: unreadable(), with the reason.
    static MultiRecordSize decide(const QVector<MultiIndexRecord> &records, const MultiData &data,
                                  std::optional<int> hint = std::nullopt);
    // The size the user named.
    static MultiRecordSize given(int bytes);
    static bool isValid(int bytes) { return bytes == Classic || bytes == Extended; }

    std::optional<int> bytes() const { return m_bytes; }
    How how() const { return m_how; }
    bool unreadable() const { return m_unreadable; }
    // Why, in a few words: shown by mltool list and in the question to the user.
    QString reason() const { return m_reason; }
    // The size to offer first when asking.
    int suggestion() const { return m_hint.value_or(Classic); }

private:
    std::optional<int> m_bytes;
    How m_how = How::Undecided;
    QString m_reason;
    std::optional<int> m_hint;
    bool m_unreadable = false;
};
