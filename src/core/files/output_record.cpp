// SPDX-License-Identifier: GPL-3.0-or-later
// The record of what a run wrote into an output folder, and the file stamps it holds.
#include "files/output_record.h"

#include "files/deck_render.h"
#include "system/file_write.h"
#include "system/regular_file.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>

namespace orvane {
namespace {

constexpr quint32 RecordMagic = 0x4f52574c;  // "ORWL"
constexpr quint32 RecordVersion = 2;
constexpr qint64 LargestRecord = 256LL << 20;
constexpr qint64 NsPerSecond = 1000000000;

// The files of the record are written and read with one stream version, whatever Qt runs it.
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_4;

QString folderIdentity(const QString& outDir)
{
    const QString canonical = QFileInfo(outDir).canonicalFilePath();
    return canonical.isEmpty() ? QDir(outDir).absolutePath() : canonical;
}

// The prefix of every output path of `outDir` in the memo's keys.
QString folderPrefix(const QString& outDir)
{
    QString prefix = QDir(outDir).absolutePath();
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    return prefix;
}

}  // namespace

// In the namespace of FileStamp, where the streaming of a list of stamps finds them.
static QDataStream& operator<<(QDataStream& out, const FileStamp& stamp)
{
    return out << stamp.exists << stamp.size << stamp.modifiedNs << stamp.changedNs << stamp.inode
               << stamp.device;
}

static QDataStream& operator>>(QDataStream& in, FileStamp& stamp)
{
    return in >> stamp.exists >> stamp.size >> stamp.modifiedNs >> stamp.changedNs >> stamp.inode >>
           stamp.device;
}

bool stampSettled(const FileStamp& stamp, qint64 nowNs)
{
    // Fine-grained times still move in clock ticks of a few milliseconds.
    const qint64 step =
        stamp.modifiedNs % NsPerSecond == 0 ? 2 * NsPerSecond + NsPerSecond / 2 : NsPerSecond / 10;
    return stamp.exists && stamp.modifiedNs < nowNs - step && stamp.changedNs < nowNs - step;
}

QString outputRecordPath(const QString& recordFolder, const QString& outDir)
{
    const QByteArray digest =
        QCryptographicHash::hash(folderIdentity(outDir).toUtf8(), QCryptographicHash::Sha256);
    return QDir(recordFolder)
        .filePath(QString::fromLatin1(digest.toHex().left(32)) + QStringLiteral(".written"));
}

void loadOutputRecord(const QString& recordFolder, const QString& outDir, DeckRenderMemo& memo)
{
    const ReadFile read = readRegularFile(outputRecordPath(recordFolder, outDir), LargestRecord);
    if (!read.error.isEmpty())
        return;
    QDataStream file(read.bytes);
    file.setVersion(StreamVersion);
    quint32 magic = 0, version = 0;
    QByteArray payload, digest;
    file >> magic >> version >> payload >> digest;
    if (file.status() != QDataStream::Ok || magic != RecordMagic || version != RecordVersion ||
        digest != QCryptographicHash::hash(payload, QCryptographicHash::Sha256))
        return;

    QDataStream in(payload);
    in.setVersion(StreamVersion);
    QString folder;
    quint32 count = 0;
    in >> folder >> count;
    if (in.status() != QDataStream::Ok || folder != folderIdentity(outDir))
        return;
    const QString prefix = folderPrefix(outDir);
    DeckRenderMemo loaded;
    loaded.cards.reserve(qsizetype(std::min<quint32>(count, 1u << 20)));
    for (quint32 k = 0; k < count; ++k) {
        QStringList names;
        DeckRenderMemo::CardState state;
        in >> names >> state.inputs >> state.files >> state.oversizedPicture;
        if (in.status() != QDataStream::Ok || names.isEmpty() || names.size() != state.files.size())
            return;  // damaged: none of it is used
        for (QString& name : names)
            name.prepend(prefix);
        loaded.cards.insert(names.join(QLatin1Char('\n')), std::move(state));
    }
    memo.cards.insert(loaded.cards);
}

bool saveOutputRecord(const QString& recordFolder, const QString& outDir,
                      const DeckRenderMemo& memo)
{
    const QString prefix = folderPrefix(outDir);
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(StreamVersion);
        QList<std::pair<QStringList, const DeckRenderMemo::CardState*>> cards;
        for (auto it = memo.cards.cbegin(); it != memo.cards.cend(); ++it) {
            QStringList names = it.key().split(QLatin1Char('\n'));
            const bool here = std::all_of(names.cbegin(), names.cend(), [&](const QString& name) {
                return name.startsWith(prefix) && name.indexOf(QLatin1Char('/'), prefix.size()) < 0;
            });
            if (!here || names.size() != it->files.size())
                continue;
            for (QString& name : names)
                name.remove(0, prefix.size());
            cards.append({std::move(names), &*it});
        }
        out << folderIdentity(outDir) << quint32(cards.size());
        for (const auto& [names, state] : cards)
            out << names << state->inputs << state->files << state->oversizedPicture;
    }
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(StreamVersion);
        out << RecordMagic << RecordVersion << payload
            << QCryptographicHash::hash(payload, QCryptographicHash::Sha256);
    }
    QString error;
    return QDir().mkpath(recordFolder) &&
           writeFileAtomically(outputRecordPath(recordFolder, outDir), bytes, &error);
}

}  // namespace orvane
