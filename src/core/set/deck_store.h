// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "set/set_store.h"

namespace orvane {

// A set kept as the rows of one deck CSV (or, with no path, a new set not saved yet): every
// byte outside the changed rows stays, the deck is replaced atomically with one `.bak` backup
// beside it, pictures given in the window go beside it. Followed on disk by the deck's bytes and
// the picture files its rows name.
class DeckStore final : public SetStore {
public:
    explicit DeckStore(const QString& path = {});

    SetKind kind() const override;
    QString path() const override { return m_path; }
    bool read(SetCards& cards, quint64& nextId, QString* error) override;
    bool save(SetCards& cards, QString* error, bool* encodingLacks) override;
    std::unique_ptr<SetStore> deckAt(const QString& path, bool* keepsSources) const override;
    bool holds(const SetSource& source) const override { return source.record >= 0; }
    const QStringList& header() const override { return m_header; }
    const QByteArray& bytes() const override { return m_bytes; }
    DeckTextForm* form() override { return &m_form; }
    QString rowPictureFolder() const override;

    SetWatch watch(const SetCards& cards, const QStringList& pictures) const override;
    DiskChange diskChange(const SetCards& cards, const QStringList& files, bool modified) override;
    void keepMine(const DiskChange& change) override;
    QStringList overwrittenFiles(const SetCards& cards) const override;

    QString recoveryKind() const override;

private:
    QString m_path;        // where the set is saved
    QString m_readFrom;    // the deck the bytes below were read from or written to; empty: none
    QByteArray m_bytes;    // the deck's bytes as read (or last saved)
    QByteArray m_text;     // the same as UTF-8 text, without a byte order mark
    DeckTextForm m_form;   // how the text is stored in the bytes
    QStringList m_header;  // the deck's header row
    QByteArray m_kept;     // the deck on disk the user last chose to keep their changes over
};

// The text of one cell of a row, by column name (any case) of `header`; empty when none.
QString headerCell(const QStringList& header, const QStringList& fields, const QString& column);

}  // namespace orvane
