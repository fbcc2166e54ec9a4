// SPDX-License-Identifier: GPL-3.0-or-later
#include "setpanel/set_file_follower.h"

#include "set/follow_step.h"

#include "session/session.h"
#include "set/card_set.h"

#include <QDir>
#include <QFileInfo>

namespace orvane {

SetFileFollower::SetFileFollower(Session& session, Prompts& prompts, QObject* parent)
    : QObject(parent), m_session(session), m_set(session.set()), m_prompts(prompts)
{
    m_rewatch.setSingleShot(true);
    m_rewatch.setInterval(0);
    connect(&m_rewatch, &QTimer::timeout, this, &SetFileFollower::rewatch);
    for (auto signal : {&CardSet::opened, &CardSet::cardsReset, &CardSet::changed})
        connect(&m_set, signal, &m_rewatch, qOverload<>(&QTimer::start));
    // An edit may give a card another picture file.
    connect(&m_set, &CardSet::cardChanged, &m_rewatch, qOverload<>(&QTimer::start));
    connect(&m_watcher, &DeckWatcher::changed, this, &SetFileFollower::filesChanged);
    m_saveDialog.DialogTitle = tr("Save My Set As");
    m_saveDialog.Filter = tr("Decks (*.csv)|*.csv");
    m_saveDialog.FilterIndex = 1;
}

QString SetFileFollower::shownPath() const
{
    return QDir::toNativeSeparators(m_set.path());
}

void SetFileFollower::rewatch()
{
    const SetWatch watch = m_set.watch();
    if (watch == m_watching)
        return;
    m_watching = watch;
    m_watcher.watch(watch.files, watch.folder, watch.suffix);
}

void SetFileFollower::filesChanged(const QStringList& files)
{
    for (const QString& file : files)
        if (!m_pending.contains(file))
            m_pending << file;
    followPending();
}

void SetFileFollower::drawPictures(const QStringList& pictures)
{
    // The card shown may become a bad row or heal: the editor then shows it afresh.
    const quint64 current = m_session.currentId();
    const auto isBad = [&] {
        const SetEntry* e = m_set.entry(current);
        return e && e->isBad();
    };
    const bool wasBad = isBad();
    if (m_set.reloadPictures(pictures) > 0) {
        if (isBad() != wasBad)
            m_session.setCurrentId(current);
        emit message(pictureMessage(pictures));
        emit followed();
    }
}

int SetFileFollower::askTheirsOrMine()
{
    const bool folder = m_set.kind() == SetKind::Folder;
    const QString question =
        folder ? tr("Card files in the folder %1 were changed, added or removed by another "
                    "program, and the set has changes that are not saved.\n\nReload theirs: "
                    "read the folder again; your changes are dropped.\nKeep mine: go on with "
                    "your changes; saving over a changed file will ask again.\nSave mine as: "
                    "write your set to a deck file; theirs stay in %1.")
               : tr("The deck %1 was changed by another program, and the set has changes that "
                    "are not saved.\n\nReload theirs: read the file again; your changes are "
                    "dropped.\nKeep mine: go on with your changes; saving over the file will ask "
                    "again.\nSave mine as: write your set to another file; theirs stays in %1.");
    return m_prompts.choose(
        question.arg(shownPath()), folder ? tr("Set Folder Changed") : tr("Deck Changed"),
        {tr("Reload Theirs"), tr("Keep Mine"), tr("Save Mine As...")}, KeepMine);
}

void SetFileFollower::settleWithUser(const QString& droppedMessage,
                                     const std::function<void()>& keepMine)
{
    m_asking = true;
    switch (askTheirsOrMine()) {
    case ReloadTheirs:
        if (reload())
            emit message(droppedMessage);
        break;
    case SaveMineElsewhere:
        if (saveElsewhere())
            break;
        [[fallthrough]];
    default: keepMine(); break;
    }
    m_asking = false;
}

void SetFileFollower::takeTheirs(const QList<FileCard>& cards)
{
    if (cards.isEmpty())
        return;
    const quint64 current = m_session.currentId();
    const SetEntry* shown = m_set.entry(current);
    const bool wasBad = shown && shown->isBad();
    m_set.takeFileCards(cards);
    shown = m_set.entry(current);
    if (shown && shown->isBad() != wasBad)
        m_session.setCurrentId(current);
}

void SetFileFollower::followPending()
{
    if (m_asking) {
        m_changedWhileAsking = true;
        return;
    }
    const DiskChange change = m_set.diskChange(std::exchange(m_pending, {}));
    // Pictures first: a set read again draws every picture afresh anyway.
    if (!change.pictures.isEmpty())
        drawPictures(change.pictures);
    const bool folder = m_set.kind() == SetKind::Folder;  // only for the words
    switch (change.step) {
    case FollowStep::Nothing:
    case FollowStep::Unchanged: return;
    case FollowStep::Removed:
        emit message(tr("The deck %1 was removed or renamed by another program; the set keeps "
                        "its cards.")
                         .arg(shownPath()));
        return;
    case FollowStep::TakeTheirs:
        takeTheirs(change.theirs);
        emit message(change.theirs.size() == 1
                         ? tr("The card file %1 changed on disk and was read again.")
                               .arg(QDir::toNativeSeparators(change.theirs.front().path))
                         : tr("%1 card files changed on disk and were read again.")
                               .arg(change.theirs.size()));
        emit followed();
        return;
    case FollowStep::Reload:
        if (reload())
            emit message((folder ? tr("The folder %1 changed on disk and was read again.")
                                 : tr("The deck %1 changed on disk and was read again."))
                             .arg(shownPath()));
        return;
    case FollowStep::Ask: break;
    }
    settleWithUser(droppedMessage(), [&] {
        // Rewrites of cards not edited here lose nothing: they are taken.
        takeTheirs(change.theirs);
        m_set.keepMine(change);
        emit message((folder ? tr("Your changes are kept; the card files in %1 are theirs "
                                  "until you save.")
                             : tr("Your changes are kept; the deck %1 on disk is theirs "
                                  "until you save."))
                         .arg(shownPath()));
    });
    if (std::exchange(m_changedWhileAsking, false))
        followPending();
}

QString SetFileFollower::pictureMessage(const QStringList& pictures) const
{
    if (pictures.size() > 1)
        return tr("%1 pictures changed on disk: their cards are drawn again.").arg(pictures.size());
    const QString shown = QDir::toNativeSeparators(pictures.front());
    return QFileInfo(pictures.front()).isFile()
               ? tr("The picture %1 changed on disk: its cards are drawn again.").arg(shown)
               : tr("The picture %1 is gone: the rows that name it are marked.").arg(shown);
}

bool SetFileFollower::maySaveOver()
{
    const QStringList over = m_set.overwrittenFiles();
    if (over.isEmpty())
        return true;
    // A removed deck has no "theirs" to reload; a folder is there while its files change.
    const bool hasTheirs = QFileInfo::exists(m_set.path());
    QString question;
    if (m_set.kind() == SetKind::Folder) {
        QStringList shown;
        for (const QString& file : over)
            shown << QDir::toNativeSeparators(file);
        question = tr("These card files were changed or removed by another program since the set "
                      "read them: saving would write over them.\n%1\n\nReload theirs (your "
                      "changes are dropped), or save yours to a deck file?")
                       .arg(shown.join(QLatin1Char('\n')));
    } else {
        question = hasTheirs ? tr("The deck %1 was changed by another program since the set read "
                                  "it: saving over it would lose their changes.\n\nReload theirs "
                                  "(your changes are dropped), or save yours to another file?")
                                   .arg(shownPath())
                             : tr("The deck %1 was removed or renamed by another program since "
                                  "the set read it.\n\nSave your set to another file?")
                                   .arg(shownPath());
    }
    // A removed deck has no "theirs" to reload.
    const int reloadButton = hasTheirs ? 0 : -1;
    const int saveButton = reloadButton + 1;
    QStringList buttons{tr("Save Mine As..."), tr("Cancel")};
    if (hasTheirs)
        buttons.prepend(tr("Reload Theirs"));
    const int answer = m_prompts.choose(question, tr("Save Set"), buttons, int(buttons.size()) - 1);
    if (answer == reloadButton && reloadButton >= 0) {
        if (reload())
            emit message(droppedMessage());
    } else if (answer == saveButton) {
        saveElsewhere();
    }
    return false;
}

QString SetFileFollower::droppedMessage() const
{
    return (m_set.kind() == SetKind::Folder
                ? tr("The folder %1 was read again; your changes were dropped.")
                : tr("The deck %1 was read again; your changes were dropped."))
        .arg(shownPath());
}

bool SetFileFollower::reload()
{
    const QString path = m_set.path();
    const quint64 currentId = m_session.currentId();
    const SetEntry* current = m_set.entry(currentId);
    const QString currentName = current ? current->card.name : QString();
    const int currentIndex = m_set.indexOf(currentId);
    QString error;
    if (!m_set.open(path, &error)) {
        emit message(error + tr(" The set keeps its cards as they were."));
        return false;
    }
    quint64 next = 0;
    for (const SetEntry& e : m_set.entries())
        if (!currentName.isEmpty() && e.card.name == currentName) {
            next = e.id;
            break;
        }
    if (!next && currentIndex >= 0 && m_set.count() > 0)
        next = m_set.entries()[std::min(currentIndex, m_set.count() - 1)].id;
    m_session.setCurrentId(next);
    emit followed();
    return true;
}

bool SetFileFollower::saveElsewhere()
{
    m_saveDialog.InitDir = QFileInfo(m_set.path()).absolutePath();
    if (!m_prompts.showSave(m_saveDialog))
        return false;
    QString path = m_saveDialog.FileName;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    const QString theirs = shownPath();
    QString error;
    if (!m_set.save(&error, path)) {
        m_prompts.messageBox(error, Exclamation, tr("Save My Set As"));
        return false;
    }
    emit message(tr("Your set was saved to %1; theirs stays in %2.")
                     .arg(QDir::toNativeSeparators(m_set.path()), theirs));
    return true;
}

}  // namespace orvane
