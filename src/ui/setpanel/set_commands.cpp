// SPDX-License-Identifier: GPL-3.0-or-later
#include "setpanel/set_commands.h"

#include "platform/prompts.h"
#include "session/session.h"
#include "set/card_set.h"
#include "setpanel/set_file_follower.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace orvane {

SetCommands::SetCommands(Session& session, Prompts& prompts, const QString& recoveryPath,
                         QObject* parent)
    : QObject(parent), m_session(session), m_prompts(prompts)
{
    m_recovery = new RecoveryWriter(session.set(), recoveryPath);
    m_follower = new SetFileFollower(session, prompts, this);
    connect(m_follower, &SetFileFollower::message, this, &SetCommands::message);
}

bool SetCommands::openSet(const QString& path)
{
    if (!maybeSave(tr("Open Set")))
        return false;
    QString error;
    if (!m_session.openSet(path, &error)) {
        m_prompts.messageBox(error, Exclamation, tr("Open Set"));
        return false;
    }
    const CardSet& set = m_session.set();
    const auto bad = std::count_if(set.entries().cbegin(), set.entries().cend(),
                                   [](const SetEntry& e) { return e.isBad(); });
    emit message(tr("%1: %2 cards, %3 bad rows.")
                     .arg(QDir::toNativeSeparators(set.path()))
                     .arg(set.count())
                     .arg(bad) +
                 (m_session.currentDocument()
                      ? QString()
                      : tr(" None of them can be edited: mend a bad row by double-clicking it.")));
    return true;
}

void SetCommands::openDeckAsking()
{
    m_dialog.DialogTitle = tr("Open Set");
    m_dialog.Filter = tr("Decks (*.csv)|*.csv");
    m_dialog.FilterIndex = 1;
    m_dialog.OverwritePrompt = false;
    if (m_prompts.showOpen(m_dialog))
        openSet(m_dialog.FileName);
}

void SetCommands::openFolderAsking()
{
    const CardSet& set = m_session.set();
    QString folder = m_session.hasSet() && QFileInfo(set.path()).isDir() ? set.path()
                                                                         : QDir::homePath();
    if (m_prompts.chooseFolder(folder, tr("Open Set")))
        openSet(folder);
}

void SetCommands::newSet()
{
    if (!maybeSave(tr("New Set")))
        return;
    m_session.startNewSet();
}

bool SetCommands::saveSet()
{
    if (m_session.set().path().isEmpty())
        return saveSetAs();
    if (!m_follower->maySaveOver())
        return !m_session.set().isModified();  // reloaded or saved elsewhere: nothing to save
    return writeSet(QString(), tr("Save Set"));
}

bool SetCommands::saveSetAs()
{
    m_dialog.DialogTitle = tr("Save Set As");
    m_dialog.Filter = tr("Decks (*.csv)|*.csv");
    m_dialog.FilterIndex = 1;
    m_dialog.OverwritePrompt = true;
    // Offered: the deck itself, or a deck named after the folder beside it.
    const QString path = m_session.set().path();
    const QFileInfo current(path);
    m_dialog.FileName = path.isEmpty()       ? QString()
                        : current.isDir()    ? current.absoluteFilePath() + QStringLiteral(".csv")
                                             : current.absoluteFilePath();
    if (!m_prompts.showSave(m_dialog))
        return false;
    QString chosen = m_dialog.FileName;
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += QStringLiteral(".csv");
    return writeSet(chosen, tr("Save Set As"));
}

bool SetCommands::writeSet(const QString& path, const QString& title)
{
    CardSet& set = m_session.set();
    QString error;
    bool encodingLacks = false;
    bool ok = set.save(&error, path, &encodingLacks);
    if (!ok && encodingLacks) {
        // The deck's code page cannot hold a character of the set: UTF-8 can, and spreadsheet
        // programs read UTF-8 with a byte order mark as such.
        const int answer = m_prompts.messageBox(
            error + tr("\n\nSave the deck as UTF-8 instead? Every character is then kept; "
                       "the deck's other bytes are written in UTF-8 too."),
            YesNo | Question, title);
        if (answer != AnswerYes)
            return false;
        const DeckEncoding before = set.deckForm().encoding;
        set.setDeckEncoding(DeckEncoding::Utf8Bom);
        ok = set.save(&error, path);
        if (!ok)
            set.setDeckEncoding(before);
    }
    if (!ok) {
        m_prompts.messageBox(error, Exclamation, title);
        return false;
    }
    m_recovery->discard();
    emit message(tr("Set saved to %1.").arg(QDir::toNativeSeparators(set.path())));
    return true;
}

bool SetCommands::maybeSave(const QString& title)
{
    const CardSet& set = m_session.set();
    if (!m_session.hasSet() || !set.isModified())
        return true;
    const QString name = set.path().isEmpty()
                             ? tr("The new set")
                             : tr("The set %1").arg(QDir::toNativeSeparators(set.path()));
    switch (m_prompts.askSaveChanges(tr("%1 has unsaved changes. Save them?").arg(name), title)) {
    case SaveChoice::Save: return saveSet();
    case SaveChoice::Discard: m_recovery->discard(); return true;
    case SaveChoice::Cancel: break;
    }
    return false;
}

bool SetCommands::closeSet(const QString& title)
{
    if (!maybeSave(title))
        return false;
    m_session.closeSet();
    m_recovery->discard();
    return true;
}

bool SetCommands::offerRecovery()
{
    QFile file(m_recovery->path());
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.readAll();
    file.close();
    // The recovery text keeps the set's deck or folder under "path".
    const QString path =
        QJsonDocument::fromJson(text).object().value(QStringLiteral("path")).toString();
    const QString question =
        path.isEmpty()
            ? tr("Orvane ended without saving a set of cards. Restore it as it was?")
            : tr("Orvane ended without saving the set %1. Restore it as it was?")
                  .arg(QDir::toNativeSeparators(path));
    if (m_prompts.messageBox(question, YesNo | Question, tr("Restore Set")) != AnswerYes) {
        m_recovery->discard();
        return false;
    }
    QString error;
    if (!m_session.restoreSet(text, &error)) {
        m_prompts.messageBox(error + tr("\n\nThe recovery file is kept at %1.")
                                         .arg(QDir::toNativeSeparators(m_recovery->path())),
                             Exclamation, tr("Restore Set"));
        return false;
    }
    return true;
}

}  // namespace orvane
