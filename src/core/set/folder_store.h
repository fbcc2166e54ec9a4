// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "set/set_store.h"

namespace orvane {

// A set kept as the card files of one folder, in the order of its `card-order.txt`: a renamed
// card renames its file, a deleted one's file is set aside as a backup. Followed on disk by the
// digests of its card files, so that its own save is told apart from another program's.
class FolderStore final : public SetStore {
public:
    explicit FolderStore(const QString& path) : m_path(path) {}

    SetKind kind() const override { return SetKind::Folder; }
    QString path() const override { return m_path; }
    bool read(SetCards& cards, quint64& nextId, QString* error) override;
    bool save(SetCards& cards, QString* error, bool* encodingLacks) override;
    std::unique_ptr<SetStore> deckAt(const QString& path, bool* keepsSources) const override;
    bool holds(const SetSource& source) const override { return !source.filePath.isEmpty(); }
    QStringList cardFiles(const SetCards& cards) const override;

    SetWatch watch(const SetCards& cards, const QStringList& pictures) const override;
    DiskChange diskChange(const SetCards& cards, const QStringList& files, bool modified) override;
    void keepMine(const DiskChange& change) override;
    QStringList overwrittenFiles(const SetCards& cards) const override;
    FolderChanges cardFileChanges(const SetCards& cards, const QStringList& files) const override;

    QString recoveryKind() const override { return QStringLiteral("folder"); }

private:
    QString m_path;
    // The card files the user chose to keep their cards over, by the digest of theirs then.
    QHash<QString, QByteArray> m_keptFiles;
};

}  // namespace orvane
