#include "set/set_file_follower.h"

#include "set/follow_step.h"

#include "card/card_file.h"
#include "set/card_set.h"
#include "set/set_folder_order.h"
#include "session/session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace orvane {
namespace {

// The file's bytes; none when it cannot be read (removed, renamed away, not allowed).
std::optional<QByteArray> fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

}  // namespace

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
    QStringList files;
    QString folder;
    if (m_set.kind() == SetKind::Deck) {
        files << QDir::cleanPath(m_set.path());
        files += m_set.picturePaths();
    } else if (m_set.kind() == SetKind::Folder) {
        // The order file need not exist: through it the folder is watched for new card files.
        folder = m_set.path();
        files << QDir(folder).filePath(QLatin1String(SetOrderFileName));
        files += m_set.cardFilePaths();
    }
    if (files == m_watched && folder == m_watchedFolder)
        return;
    m_watched = files;
    m_watchedFolder = folder;
    m_watcher.watch(files, folder, QLatin1Char('.') + QLatin1String(CardFileSuffix));
}

void SetFileFollower::filesChanged(const QStringList& files)
{
    if (m_set.kind() == SetKind::Folder) {
        for (const QString& file : files)
            if (!m_pending.contains(file))
                m_pending << file;
        folderChanged();
        return;
    }
    if (m_set.kind() != SetKind::Deck)
        return;
    const QString deck = QFileInfo(m_set.path()).absoluteFilePath();
    QStringList pictures;
    bool deckTouched = false;
    for (const QString& file : files) {
        if (QFileInfo(file).absoluteFilePath() == deck)
            deckTouched = true;
        else
            pictures << file;
    }
    // Pictures first: a deck read again draws every picture afresh anyway.
    if (!pictures.isEmpty()) {
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
    if (deckTouched)
        deckChanged();
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

void SetFileFollower::folderChanged()
{
    if (m_asking) {
        m_changedWhileAsking = true;
        return;
    }
    FolderChanges changes = m_set.folderChanges(std::exchange(m_pending, {}));
    // A file the user chose to keep their card over, unchanged since, asks no more.
    changes.conflicts.removeIf([this](const QString& file) {
        const auto kept = m_keptFiles.constFind(file);
        return kept != m_keptFiles.cend() && *kept == cardFileDigest(file);
    });
    const FollowStep step = folderFollowStep(changes, m_set.isModified());
    if (step == FollowStep::Nothing)
        return;
    if (step == FollowStep::TakeTheirs) {
        takeTheirs(changes.theirs);
        emit message(changes.theirs.size() == 1
                         ? tr("The card file %1 changed on disk and was read again.")
                               .arg(QDir::toNativeSeparators(changes.theirs.front().path))
                         : tr("%1 card files changed on disk and were read again.")
                               .arg(changes.theirs.size()));
        emit followed();
        return;
    }
    if (step == FollowStep::Reload) {
        if (reload())
            emit message(tr("The folder %1 changed on disk and was read again.").arg(shownPath()));
        return;
    }
    settleWithUser(droppedMessage(), [&] {
        // Rewrites of cards not edited here lose nothing: they are taken.
        takeTheirs(changes.theirs);
        for (const QString& file : std::as_const(changes.conflicts))
            m_keptFiles.insert(file, cardFileDigest(file));
        emit message(tr("Your changes are kept; the card files in %1 are theirs "
                        "until you save.")
                         .arg(shownPath()));
    });
    if (std::exchange(m_changedWhileAsking, false))
        folderChanged();
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

void SetFileFollower::deckChanged()
{
    if (m_asking) {
        m_changedWhileAsking = true;
        return;
    }
    const std::optional<QByteArray> theirs = fileBytes(m_set.path());
    switch (deckFollowStep(theirs, m_set.deckBytes(), m_kept, m_set.isModified())) {
    case FollowStep::Removed:
        emit message(tr("The deck %1 was removed or renamed by another program; the set keeps "
                        "its cards.")
                         .arg(shownPath()));
        return;
    case FollowStep::Unchanged: m_kept.clear(); return;
    case FollowStep::Reload:
        if (reload())
            emit message(tr("The deck %1 changed on disk and was read again.").arg(shownPath()));
        return;
    case FollowStep::Ask: break;
    case FollowStep::Nothing:
    case FollowStep::TakeTheirs: return;
    }
    settleWithUser(droppedMessage(), [&] {
        m_kept = *theirs;
        emit message(tr("Your changes are kept; the deck %1 on disk is theirs "
                        "until you save.")
                         .arg(shownPath()));
    });
    if (std::exchange(m_changedWhileAsking, false))
        deckChanged();
}

bool SetFileFollower::maySaveOver()
{
    QString question;
    bool hasTheirs = true;
    if (m_set.kind() == SetKind::Folder) {
        const QStringList over = m_set.overwrittenFiles();
        if (over.isEmpty())
            return true;
        QStringList shown;
        for (const QString& file : over)
            shown << QDir::toNativeSeparators(file);
        question = tr("These card files were changed or removed by another program since the set "
                      "read them: saving would write over them.\n%1\n\nReload theirs (your "
                      "changes are dropped), or save yours to a deck file?")
                       .arg(shown.join(QLatin1Char('\n')));
    } else if (m_set.kind() == SetKind::Deck) {
        const std::optional<QByteArray> theirs = fileBytes(m_set.path());
        if (theirs && *theirs == m_set.deckBytes())
            return true;
        hasTheirs = theirs.has_value();
        question = theirs ? tr("The deck %1 was changed by another program since the set read "
                               "it: saving over it would lose their changes.\n\nReload theirs "
                               "(your changes are dropped), or save yours to another file?")
                                .arg(shownPath())
                          : tr("The deck %1 was removed or renamed by another program since the "
                               "set read it.\n\nSave your set to another file?")
                                .arg(shownPath());
    } else {
        return true;
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
    m_kept.clear();
    m_keptFiles.clear();
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
    m_kept.clear();
    emit message(tr("Your set was saved to %1; theirs stays in %2.")
                     .arg(QDir::toNativeSeparators(m_set.path()), theirs));
    return true;
}

}  // namespace orvane
