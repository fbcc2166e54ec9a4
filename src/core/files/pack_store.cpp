// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/pack_store.h"

#include "card/card.h"
#include "render/asset_catalogue.h"
#include "render/part_pack.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <zip.h>

#include <memory>

namespace orvane {
namespace {

bool isPackFolder(const QString& folder)
{
    return QFileInfo(QDir(folder).filePath(QStringLiteral("bitblts"))).isDir() ||
           QFileInfo(QDir(folder).filePath(QStringLiteral("arrows"))).isDir();
}

// A path inside an archive that stays inside the folder it is unpacked into.
QString unsafeEntryReason(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("an entry has no name");
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')) ||
        (name.size() > 1 && name[1] == QLatin1Char(':')))
        return QStringLiteral("%1 is an absolute path").arg(name);
    if (name.contains(QLatin1Char('\\')))
        return QStringLiteral("%1 holds a backslash").arg(name);
    for (const QString& part : name.split(QLatin1Char('/')))
        if (part == QLatin1String(".."))
            return QStringLiteral("%1 would be written outside the pack").arg(name);
    return {};
}

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// Unpacks the zip `path` into `target` after checking every entry; nothing is written when
// any entry is refused.
bool unpackZip(const QString& path, const QString& target, const PackArchiveLimits& limits,
               QString* error)
{
    int code = 0;
    std::unique_ptr<zip_t, ZipCloser> archive(
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        zip_error_t why;
        zip_error_init_with_code(&why, code);
        *error =
            QStringLiteral("%1 is not a readable zip archive (%2)")
                .arg(QDir::toNativeSeparators(path), QString::fromUtf8(zip_error_strerror(&why)));
        zip_error_fini(&why);
        return false;
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || count > limits.maxEntries) {
        *error = QStringLiteral("the archive holds more than %1 files").arg(limits.maxEntries);
        return false;
    }
    struct Entry {
        zip_uint64_t index;
        QString name;
        bool folder;
        qint64 size;
    };
    QList<Entry> entries;
    qint64 total = 0;
    for (zip_uint64_t k = 0; k < zip_uint64_t(count); ++k) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), k, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME) ||
            !(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_COMP_SIZE)) {
            *error = QStringLiteral("the archive is broken (entry %1 cannot be read)").arg(k);
            return false;
        }
        const QString name = QString::fromUtf8(stat.name);
        if (const QString reason = unsafeEntryReason(name); !reason.isEmpty()) {
            *error = QStringLiteral("the archive is refused: %1").arg(reason);
            return false;
        }
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(archive.get(), k, 0, &system, &attributes) == 0 &&
            system == ZIP_OPSYS_UNIX) {
            const mode_t type = mode_t(attributes >> 16) & S_IFMT;
            if (type != 0 && type != S_IFREG && type != S_IFDIR) {
                *error = QStringLiteral("the archive is refused: %1 is a symbolic link or "
                                        "another special file")
                             .arg(name);
                return false;
            }
        }
        const qint64 size = qint64(stat.size);
        const qint64 packed = qint64(stat.comp_size);
        if (size < 0 || size > limits.maxEntryBytes ||
            (size > 4096 && size / std::max<qint64>(1, packed) > limits.maxRatio)) {
            *error = QStringLiteral("the archive is refused: %1 would unpack to %2 bytes (a "
                                    "part file is never that large)")
                         .arg(name)
                         .arg(size);
            return false;
        }
        total += size;
        if (total > limits.maxTotalBytes) {
            *error = QStringLiteral("the archive is refused: it would unpack to more than %1 MB")
                         .arg(limits.maxTotalBytes >> 20);
            return false;
        }
        entries.append({k, name, name.endsWith(QLatin1Char('/')), size});
    }
    for (const Entry& entry : std::as_const(entries)) {
        const QString out = QDir(target).filePath(entry.name);
        if (entry.folder) {
            if (!QDir().mkpath(out)) {
                *error = QStringLiteral("%1 cannot be made").arg(QDir::toNativeSeparators(out));
                return false;
            }
            continue;
        }
        QDir().mkpath(QFileInfo(out).path());
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> in(
            zip_fopen_index(archive.get(), entry.index, 0), &zip_fclose);
        QFile file(out);
        if (!in || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            *error = QStringLiteral("%1 cannot be unpacked").arg(entry.name);
            return false;
        }
        // Reads no more than the entry says it holds: a lying header cannot fill the disk.
        QByteArray buffer(64 * 1024, Qt::Uninitialized);
        qint64 written = 0;
        while (true) {
            const zip_int64_t got = zip_fread(in.get(), buffer.data(), zip_uint64_t(buffer.size()));
            if (got < 0) {
                *error = QStringLiteral("the archive is broken (%1: %2)")
                             .arg(entry.name, QString::fromUtf8(zip_file_strerror(in.get())));
                return false;
            }
            if (got == 0)
                break;
            written += got;
            if (written > entry.size || file.write(buffer.constData(), got) != got) {
                *error = QStringLiteral("%1 cannot be unpacked").arg(entry.name);
                return false;
            }
        }
    }
    return true;
}

// Copies the pack folder `source` into `target`: regular files and folders only.
bool copyPackFolder(const QString& source, const QString& target, const PackArchiveLimits& limits,
                    QString* error)
{
    qint64 total = 0;
    int count = 0;
    QDirIterator it(source, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString relative = QDir(source).relativeFilePath(info.filePath());
        if (info.isSymLink()) {
            *error = QStringLiteral("the pack is refused: %1 is a symbolic link").arg(relative);
            return false;
        }
        if (info.isDir())
            continue;
        if (!info.isFile()) {
            *error = QStringLiteral("the pack is refused: %1 is not a regular file").arg(relative);
            return false;
        }
        total += info.size();
        if (++count > limits.maxEntries || total > limits.maxTotalBytes) {
            *error = QStringLiteral("the pack is refused: it holds more than %1 files or %2 MB")
                         .arg(limits.maxEntries)
                         .arg(limits.maxTotalBytes >> 20);
            return false;
        }
        files << relative;
    }
    for (const QString& relative : std::as_const(files)) {
        const QString out = QDir(target).filePath(relative);
        QDir().mkpath(QFileInfo(out).path());
        if (!QFile::copy(QDir(source).filePath(relative), out)) {
            *error = QStringLiteral("%1 cannot be copied").arg(relative);
            return false;
        }
    }
    return true;
}

// The pack inside an unpacked folder: the folder itself, or its only subfolder.
QString packRootIn(const QString& unpacked)
{
    if (isPackFolder(unpacked))
        return unpacked;
    const QStringList children =
        QDir(unpacked).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    const QStringList files = QDir(unpacked).entryList(QDir::Files | QDir::Hidden);
    if (children.size() == 1 && files.isEmpty()) {
        const QString inner = QDir(unpacked).filePath(children.front());
        if (isPackFolder(inner))
            return inner;
    }
    return {};
}

}  // namespace

QString userPackFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("orvane/packs"));
}

QStringList sharedPackFolders()
{
    QStringList folders;
    if (!QCoreApplication::instance())
        return folders;
    const QDir program(QCoreApplication::applicationDirPath());
    // The build tree keeps bin/ beside share/; an install keeps lib/orvane/ two levels below.
    for (const QString& relative :
         {QStringLiteral("../share/orvane/packs"), QStringLiteral("../../share/orvane/packs")}) {
        const QString folder = QDir::cleanPath(program.filePath(relative));
        if (QFileInfo(folder).isDir() && !folders.contains(folder))
            folders << folder;
    }
    return folders;
}

QList<InstalledPack> packsIn(const QStringList& folders, const QString& userFolder)
{
    QList<InstalledPack> packs;
    QStringList seen;
    for (const QString& folder : folders) {
        QList<InstalledPack> here;
        for (const QString& child : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QString path = QDir(folder).absoluteFilePath(child);
            if (child.startsWith(QLatin1Char('.')) || !isPackFolder(path))
                continue;
            here.append(
                {packName(path), path, !userFolder.isEmpty() && QDir(folder) == QDir(userFolder)});
        }
        std::sort(here.begin(), here.end(), [](const InstalledPack& a, const InstalledPack& b) {
            return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
        });
        for (const InstalledPack& pack : std::as_const(here))
            if (!seen.contains(pack.name.toCaseFolded())) {
                seen << pack.name.toCaseFolded();
                packs << pack;
            }
    }
    return packs;
}

QList<InstalledPack> installedPacks()
{
    return packsIn(QStringList{userPackFolder()} + sharedPackFolders(), userPackFolder());
}

QString findPack(const QString& nameOrFolder, const QList<InstalledPack>& packs, QString* error)
{
    if (QFileInfo(nameOrFolder).isDir())
        return QFileInfo(nameOrFolder).absoluteFilePath();
    for (const InstalledPack& pack : packs)
        if (pack.name.compare(nameOrFolder, Qt::CaseInsensitive) == 0)
            return pack.folder;
    QStringList names;
    for (const InstalledPack& pack : packs)
        names << pack.name;
    *error = QStringLiteral("the pack \"%1\" is not installed and is no folder (installed: %2)")
                 .arg(nameOrFolder,
                      names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", ")));
    return {};
}

QString rowPackFolder(const QString& cell, const QString& deckFolder,
                      const QList<InstalledPack>& packs)
{
    if (cell.isEmpty())
        return {};
    const QFileInfo folder(QDir(deckFolder).filePath(QDir::fromNativeSeparators(cell)));
    if (folder.isDir())
        return folder.absoluteFilePath();
    for (const InstalledPack& pack : packs)
        if (pack.name.compare(cell, Qt::CaseInsensitive) == 0)
            return pack.folder;
    return {};
}

PackInstallResult installPack(const QString& source, const QString& packsFolder,
                              const QList<InstalledPack>& existing, const PackArchiveLimits& limits)
{
    PackInstallResult result;
    const QFileInfo info(source);
    if (!info.exists()) {
        result.error = QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(source));
        return result;
    }
    if (!QDir().mkpath(packsFolder)) {
        result.error = QStringLiteral("the pack folder %1 cannot be made")
                           .arg(QDir::toNativeSeparators(packsFolder));
        return result;
    }
    // Unpacked beside its place, so that the last step is a rename on one file system.
    QTemporaryDir staging(QDir(packsFolder).filePath(QStringLiteral(".install-XXXXXX")));
    if (!staging.isValid()) {
        result.error = QStringLiteral("nothing can be written in %1: %2")
                           .arg(QDir::toNativeSeparators(packsFolder), staging.errorString());
        return result;
    }
    const QString unpacked = staging.filePath(QStringLiteral("unpacked"));
    QDir().mkpath(unpacked);
    const bool ok = info.isDir() && !info.isSymLink()
                        ? copyPackFolder(source, unpacked, limits, &result.error)
                        : unpackZip(source, unpacked, limits, &result.error);
    if (!ok)
        return result;
    const QString root = packRootIn(unpacked);
    if (root.isEmpty()) {
        result.error = QStringLiteral("%1 holds no pack (a folder with bitblts/ and arrows/)")
                           .arg(QDir::toNativeSeparators(source));
        return result;
    }
    QStringList errors;
    for (const PackProblem& problem : checkPack(root))
        (problem.error ? errors : result.warnings) << problem.text;
    if (!errors.isEmpty()) {
        result.error = QStringLiteral("the pack has %1 problem(s):\n  %2")
                           .arg(errors.size())
                           .arg(errors.join(QStringLiteral("\n  ")));
        return result;
    }
    // The manifest's name, else the folder's that held the pack, else the archive's.
    QString name = readPackManifest(root).manifest.name;
    if (name.isEmpty())
        name = root != unpacked ? QFileInfo(root).fileName()
               : info.isDir()   ? info.fileName()
                                : info.completeBaseName();
    for (const InstalledPack& pack : existing)
        if (pack.name.compare(name, Qt::CaseInsensitive) == 0) {
            result.error = QStringLiteral("a pack named \"%1\" is installed already (%2); remove "
                                          "it first or rename the new one in its pack.json")
                               .arg(name, QDir::toNativeSeparators(pack.folder));
            return result;
        }
    const QString target = QDir(packsFolder).filePath(safeFileName(name));
    if (QFileInfo::exists(target)) {
        result.error = QStringLiteral("%1 exists already").arg(QDir::toNativeSeparators(target));
        return result;
    }
    if (!QDir().rename(root, target)) {
        result.error =
            QStringLiteral("the pack cannot be put in %1").arg(QDir::toNativeSeparators(target));
        return result;
    }
    result.folder = target;
    result.name = name;
    return result;
}

bool removePack(const QString& folder, QString* error)
{
    if (!isPackFolder(folder)) {
        *error = QStringLiteral("%1 is not a pack").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    // Renamed aside first, so that a removal that fails half-way leaves no half pack in the list.
    const QString aside =
        QDir(QFileInfo(folder).path())
            .filePath(QStringLiteral(".removing-") + QFileInfo(folder).fileName());
    if (!QDir().rename(folder, aside) || !QDir(aside).removeRecursively()) {
        *error = QStringLiteral("%1 cannot be removed").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    return true;
}

bool writePackFromParts(const QString& partsFolder, const QString& target, const QString& name,
                        QString* error)
{
    if (QFileInfo::exists(target)) {
        *error = QStringLiteral("%1 exists already").arg(QDir::toNativeSeparators(target));
        return false;
    }
    QDir().mkpath(QFileInfo(target).path());
    QTemporaryDir staging(target + QStringLiteral(".new-XXXXXX"));
    if (!staging.isValid()) {
        *error = QStringLiteral("%1 cannot be made: %2")
                     .arg(QDir::toNativeSeparators(target), staging.errorString());
        return false;
    }
    for (const QString& relative : assets::allFiles()) {
        const QString from = packPartFile(partsFolder, relative);
        const QString to = staging.filePath(QDir(partsFolder).relativeFilePath(from));
        QDir().mkpath(QFileInfo(to).path());
        if (from.isEmpty() || !QFile::copy(from, to)) {
            *error = QStringLiteral("%1 cannot be copied").arg(relative.mid(4));
            return false;
        }
    }
    QJsonObject manifest;
    manifest[QLatin1String("name")] = name;
    manifest[QLatin1String("description")] =
        QStringLiteral("Made from %1").arg(QDir::toNativeSeparators(partsFolder));
    QFile file(staging.filePath(QLatin1String(PackManifestName)));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(manifest).toJson()) < 0 ||
        !file.flush()) {
        *error = QStringLiteral("the pack's pack.json cannot be written");
        return false;
    }
    file.close();
    if (!QDir().rename(staging.path(), target)) {
        *error = QStringLiteral("%1 cannot be made").arg(QDir::toNativeSeparators(target));
        return false;
    }
    staging.setAutoRemove(false);
    return true;
}

}  // namespace orvane
