// SPDX-License-Identifier: GPL-3.0-or-later
// An open set follows its files as other programs write them: the deck rewritten in place or
// replaced by a rename, a picture redrawn, a folder's card files rewritten, added or removed;
// with unsaved changes the user chooses, and a save never overwrites the other program's file
// unasked. No window: what the editor would show is the session's current document.
#include "card/card_file.h"
#include "session/session.h"
#include "set/card_set.h"
#include "setpanel/set_file_follower.h"
#include "support/file_bytes.h"
#include "support/scripted_prompts.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <QUndoStack>

using namespace orvane;

namespace {

const QByteArray Deck = "name,up,left,right,down,element,picture\n"
                        "Slime,1,2,3,4,fire,slime.png\n"
                        "Golem,5,5,5,5,earth,\n";

QByteArray picture(QRgb colour)
{
    QImage image(62, 62, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The middle pixel of a card's main picture (0: it has none).
QRgb middlePixel(const Card& card)
{
    return card.mainPicture.isNull() ? 0 : card.mainPicture.pixel(30, 30);
}

// A session with a set open, followed on disk; the prompts answer from a script.
struct Followed {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Session session;
    SetFileFollower follower{session, prompts};

    void open(const QString& path, int watched)
    {
        QString error;
        if (!session.openSet(path, &error))
            qFatal("the set does not open: %s", qPrintable(error));
        // Watching starts once the set's change has been seen.
        QTRY_COMPARE(follower.watchedFiles().size(), watched);
    }
    CardSet& set() { return session.set(); }
    QString name(int row) { return set().entries()[row].card.name; }
    quint64 id(int row) { return set().entries()[row].id; }
    // Save Set as the window does it: asked first when it would write over their file.
    bool save()
    {
        QString error;
        return follower.maySaveOver() && set().save(&error);
    }
    // What the editor shows: the current document's card; none when there is no document.
    std::optional<Card> shown() const
    {
        const CardDocument* document = session.currentDocument();
        return document ? std::optional<Card>(document->card()) : std::nullopt;
    }
    QRgb shownPixel() const { return shown() ? middlePixel(*shown()) : 0; }
};

struct FollowFixture : Followed {
    explicit FollowFixture(const QByteArray& deckBytes = Deck, int watched = 2)
    {
        QVERIFY(writeFileBytes(deck(), deckBytes));
        QVERIFY(writeFileBytes(dir.filePath("slime.png"), picture(qRgb(0, 200, 0))));
        open(deck(), watched);
    }
    QString deck() const { return dir.filePath("deck.csv"); }
    // Unsaved changes in the window.
    void edit() { QVERIFY(set().renameCard(set().entries()[1].id, "Mine", nullptr)); }
};

// A card as another program writes it into a folder set.
Card folderCard(const QString& name, const QString& up)
{
    Card card;
    card.name = name;
    card.sides = {up, "2", "3", "4"};
    card.element = 1;
    return card;
}

struct FolderFixture : Followed {
    FolderFixture()
    {
        put("Golem", folderCard("Golem", "5"));
        put("Slime", folderCard("Slime", "1"));
        // The two card files and the order file that watches the folder.
        open(folder(), 3);
    }
    QString folder() const { return dir.filePath("cards"); }
    QString file(const QString& name) const { return folder() + "/" + name + ".orvcard"; }
    // Another program writes a card file, in place or by renaming a new file over it.
    void put(const QString& name, const Card& card, bool byRename = false)
    {
        QDir().mkpath(folder());
        const QByteArray json = cardToJson(card);
        QVERIFY(byRename ? replaceFileByRename(file(name), json)
                         : writeFileBytes(file(name), json));
    }
    QStringList names()
    {
        QStringList names;
        for (const SetEntry& e : set().entries())
            names << e.card.name;
        return names;
    }
    // Unsaved changes in the window: the first card's up side.
    void edit(const QString& up = "9")
    {
        Card card = set().readyCard(id(0));
        card.sides[0] = up;
        set().setCard(id(0), card);
    }
};

}  // namespace

class SetFileFollowerTest : public QObject {
    Q_OBJECT
private slots:
    void theDeckIsReadAgainWhenWrittenInPlaceOrByRename_data();
    void theDeckIsReadAgainWhenWrittenInPlaceOrByRename();
    void aChangedPictureIsDrawnAgain_data();
    void aChangedPictureIsDrawnAgain();
    void unsavedChangesAskTheUser_data();
    void unsavedChangesAskTheUser();
    void keepMineThenSaveDoesNotOverwriteTheirs();
    void theSetsOwnSaveIsNoChange();
    void aRemovedDeckLeavesTheCards();
    void aRowHealsWhenItsPictureAppears_data();
    void aRowHealsWhenItsPictureAppears();
    void aRemovedPictureMakesAnUneditedCardABadRow_data();
    void aRemovedPictureMakesAnUneditedCardABadRow();
    void aFolderSetFollowsItsFolder_data();
    void aFolderSetFollowsItsFolder();
    void aFolderSetAsksWhenTheUsersCardMeetsTheirs_data();
    void aFolderSetAsksWhenTheUsersCardMeetsTheirs();
    void aFolderSetsOwnSaveIsNoChange();
};

void SetFileFollowerTest::theDeckIsReadAgainWhenWrittenInPlaceOrByRename_data()
{
    QTest::addColumn<bool>("byRename");
    QTest::newRow("in place") << false;
    QTest::newRow("by rename") << true;
}

void SetFileFollowerTest::theDeckIsReadAgainWhenWrittenInPlaceOrByRename()
{
    QFETCH(bool, byRename);
    FollowFixture h;
    h.session.setCurrentId(h.set().entries()[1].id);  // Golem
    QSignalSpy reopened(&h.set(), &CardSet::opened);  // what the panel shows anew
    QByteArray theirs = Deck;
    theirs.replace("Golem,5,5,5,5", "Golem,9,9,9,9").append("Ooze,1,1,1,1,water,\n");
    QVERIFY(byRename ? replaceFileByRename(h.deck(), theirs) : writeFileBytes(h.deck(), theirs));

    QTRY_COMPARE(h.set().count(), 3);
    QCOMPARE(h.set().entries()[1].card.sides[0], QString("9"));
    QVERIFY(!h.set().isModified());
    QVERIFY(h.prompts.choices.isEmpty());
    QCOMPARE(reopened.size(), 1);
    // The card shown stays the one shown, as the file now holds it.
    QCOMPARE(h.session.currentId(), h.set().entries()[1].id);
    QCOMPARE(h.shown().value_or(Card()).sides[0], QString("9"));

    // Still followed after the change (a rename gives the file a new identity).
    QVERIFY(writeFileBytes(h.deck(), Deck));
    QTRY_COMPARE(h.set().count(), 2);
}

void SetFileFollowerTest::aChangedPictureIsDrawnAgain_data()
{
    theDeckIsReadAgainWhenWrittenInPlaceOrByRename_data();
}

void SetFileFollowerTest::aChangedPictureIsDrawnAgain()
{
    QFETCH(bool, byRename);
    FollowFixture h;
    h.edit();  // a picture is no conflict: unsaved changes stay and nothing is asked
    const quint64 slime = h.set().entries()[0].id;
    const quint64 golem = h.set().entries()[1].id;
    h.session.setCurrentId(slime);
    QCOMPARE(h.shownPixel(), qRgb(0, 200, 0));
    QSignalSpy redrawn(&h.set(), &CardSet::cardChanged);  // what the thumbnails follow
    const QString path = h.dir.filePath("slime.png");
    const QByteArray blue = picture(qRgb(0, 0, 200));
    QVERIFY(byRename ? replaceFileByRename(path, blue) : writeFileBytes(path, blue));

    QTRY_COMPARE(middlePixel(h.set().readyCard(slime)), qRgb(0, 0, 200));
    QTRY_VERIFY(!redrawn.isEmpty());
    for (const QList<QVariant>& changed : redrawn)
        QVERIFY(changed.front().toULongLong() != golem);
    QCOMPARE(h.set().entries()[0].id, slime);  // the same card, drawn again
    QCOMPARE(h.name(1), QString("Mine"));
    QVERIFY(h.set().isModified());
    QVERIFY(h.prompts.choices.isEmpty());
    // The editor shows the new picture too.
    QTRY_COMPARE(h.shownPixel(), qRgb(0, 0, 200));
}

void SetFileFollowerTest::unsavedChangesAskTheUser_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("expectedName");  // the second card's name afterwards
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("savedElsewhere");
    QTest::newRow("reload theirs")
        << int(SetFileFollower::ReloadTheirs) << "Theirs" << false << false;
    QTest::newRow("keep mine") << int(SetFileFollower::KeepMine) << "Mine" << true << false;
    QTest::newRow("save mine elsewhere")
        << int(SetFileFollower::SaveMineElsewhere) << "Mine" << false << true;
    QTest::newRow("save mine elsewhere, cancelled")
        << int(SetFileFollower::SaveMineElsewhere) << "Mine" << true << false;
    QTest::newRow("the box closed") << -1 << "Mine" << true << false;
}

void SetFileFollowerTest::unsavedChangesAskTheUser()
{
    QFETCH(int, answer);
    QFETCH(QString, expectedName);
    QFETCH(bool, modified);
    QFETCH(bool, savedElsewhere);
    FollowFixture h;
    h.edit();
    const QString mine = h.dir.filePath("mine.csv");
    if (answer >= 0)
        h.prompts.choiceAnswers.enqueue(answer);
    if (savedElsewhere)
        h.prompts.fileAnswers.enqueue(mine);
    const QByteArray theirs = QByteArray(Deck).replace("Golem", "Theirs");
    QVERIFY(writeFileBytes(h.deck(), theirs));

    QTRY_COMPARE(h.prompts.choices.size(), 1);
    QCOMPARE(h.prompts.choiceButtons.front().size(), 3);
    QCOMPARE(h.prompts.choices.front().style, int(SetFileFollower::KeepMine));  // Escape
    QTRY_COMPARE(h.name(1), expectedName);
    QCOMPARE(h.set().isModified(), modified);
    QCOMPARE(fileBytes(h.deck()), theirs);  // their file is never touched
    QCOMPARE(QFile::exists(mine), savedElsewhere);
    if (savedElsewhere) {
        QVERIFY(fileBytes(mine).contains("Mine,5,5,5,5"));
        QCOMPARE(h.set().path(), mine);
        QTRY_VERIFY(h.follower.watchedFiles().contains(mine));
    }
    if (modified) {
        // The same file again asks no more; another change of theirs asks again.
        QVERIFY(writeFileBytes(h.deck(), theirs));
        QTest::qWait(100);
        QCOMPARE(h.prompts.choices.size(), 1);
        QVERIFY(writeFileBytes(h.deck(), QByteArray(theirs).replace("Slime", "Ooze")));
        QTRY_COMPARE(h.prompts.choices.size(), 2);
    }
}

void SetFileFollowerTest::keepMineThenSaveDoesNotOverwriteTheirs()
{
    FollowFixture h;
    h.edit();
    h.prompts.choiceAnswers.enqueue(SetFileFollower::KeepMine);
    const QByteArray theirs = QByteArray(Deck).replace("Golem", "Theirs");
    QVERIFY(writeFileBytes(h.deck(), theirs));
    QTRY_COMPARE(h.prompts.choices.size(), 1);

    // Save Set: asked again; Cancel (the default) writes nothing.
    QVERIFY(!h.save());
    QCOMPARE(h.prompts.choices.size(), 2);
    QCOMPARE(h.prompts.choiceButtons.back(),
             QStringList({"Reload Theirs", "Save Mine As...", "Cancel"}));
    QCOMPARE(fileBytes(h.deck()), theirs);
    QVERIFY(h.set().isModified());

    // Save again, then Save Mine As: both files kept, nothing left unsaved.
    const QString mine = h.dir.filePath("mine.csv");
    h.prompts.choiceAnswers.enqueue(1);
    h.prompts.fileAnswers.enqueue(mine);
    QVERIFY(!h.save());  // not over theirs
    QCOMPARE(fileBytes(h.deck()), theirs);
    QVERIFY(fileBytes(mine).contains("Mine,5,5,5,5"));
    QVERIFY(!h.set().isModified());
    QCOMPARE(h.set().path(), mine);
}

void SetFileFollowerTest::theSetsOwnSaveIsNoChange()
{
    FollowFixture h;
    h.edit();
    const quint64 golem = h.set().entries()[1].id;
    QVERIFY(h.save());
    QTest::qWait(100);
    QCOMPARE(h.set().entries()[1].id, golem);  // not read again: the same card
    QVERIFY(h.prompts.choices.isEmpty());
    QVERIFY(h.prompts.messages.isEmpty());
}

void SetFileFollowerTest::aRemovedDeckLeavesTheCards()
{
    FollowFixture h;
    QSignalSpy said(&h.follower, &SetFileFollower::message);
    QVERIFY(QFile::remove(h.deck()));
    QTRY_COMPARE(said.size(), 1);
    QVERIFY(said.front().front().toString().contains("removed"));
    QCOMPARE(h.set().count(), 2);
    // Saving asks first: no file of theirs to reload; Cancel writes nothing.
    h.edit();
    QVERIFY(!h.save());
    QCOMPARE(h.prompts.choiceButtons.back(), QStringList({"Save Mine As...", "Cancel"}));
    QVERIFY(!QFile::exists(h.deck()));
    QVERIFY(h.set().isModified());
    // Brought back by the other program as it was: no question, the unsaved changes stay.
    QVERIFY(writeFileBytes(h.deck(), Deck));
    QTest::qWait(100);
    QCOMPARE(h.prompts.choices.size(), 1);
    QCOMPARE(h.name(1), QString("Mine"));
    QVERIFY(h.save());
    // Changed by the other program once more, nothing unsaved: read again.
    QVERIFY(writeFileBytes(h.deck(), QByteArray(Deck).replace("Golem", "Back")));
    QTRY_COMPARE(h.name(1), QString("Back"));
}

void SetFileFollowerTest::aRowHealsWhenItsPictureAppears_data()
{
    theDeckIsReadAgainWhenWrittenInPlaceOrByRename_data();
}

void SetFileFollowerTest::aRowHealsWhenItsPictureAppears()
{
    QFETCH(bool, byRename);
    // A third row names a picture that is not there yet, in a folder of its own (watched
    // through its parent until the image editor makes it).
    FollowFixture h(QByteArray(Deck).append("Ghost,1,1,1,1,,art/ghost.png\n"), 3);
    const QString path = h.dir.filePath("art/ghost.png");
    const quint64 ghost = h.set().entries()[2].id;
    QVERIFY(h.set().entries()[2].isBad());
    QCOMPARE(h.set().entries()[2].problemColumn, QString("picture"));
    QVERIFY(h.follower.watchedFiles().contains(path));
    h.session.setCurrentId(ghost);
    QSignalSpy said(&h.follower, &SetFileFollower::message);

    QVERIFY(QDir(h.dir.path()).mkdir("art"));
    const QByteArray magenta = picture(qRgb(200, 0, 200));
    QVERIFY(byRename ? replaceFileByRename(path, magenta) : writeFileBytes(path, magenta));

    QTRY_VERIFY(!h.set().entries()[2].isBad());
    QCOMPARE(h.set().entries()[2].id, ghost);
    QCOMPARE(h.name(2), QString("Ghost"));
    QVERIFY(!h.set().isModified());  // the deck's text is the same
    QVERIFY(h.prompts.choices.isEmpty());
    QCOMPARE(said.size(), 1);
    QCOMPARE(middlePixel(h.set().readyCard(ghost)), qRgb(200, 0, 200));
    // The editor shows the healed card, picture and all.
    QTRY_COMPARE(h.shown().value_or(Card()).name, QString("Ghost"));
    QCOMPARE(h.shownPixel(), qRgb(200, 0, 200));

    // Gone again, then back: it follows both ways, never unsaved.
    QVERIFY(QFile::remove(path));
    QTRY_VERIFY(h.set().entries()[2].isBad());
    QVERIFY(h.set().entries()[2].problem.contains("no picture"));
    QVERIFY(!h.set().isModified());
    QVERIFY(writeFileBytes(path, picture(qRgb(0, 200, 200))));
    QTRY_VERIFY(!h.set().entries()[2].isBad());
    QTRY_COMPARE(h.shownPixel(), qRgb(0, 200, 200));
    // Saving writes the deck as it was: nothing of the row changed.
    const QByteArray before = fileBytes(h.deck());
    QVERIFY(h.save());
    QCOMPARE(fileBytes(h.deck()), before);
}

void SetFileFollowerTest::aRemovedPictureMakesAnUneditedCardABadRow_data()
{
    QTest::addColumn<bool>("edited");
    QTest::newRow("unedited: a bad row") << false;
    QTest::newRow("edited: the edit stays, drawn without it") << true;
}

void SetFileFollowerTest::aRemovedPictureMakesAnUneditedCardABadRow()
{
    QFETCH(bool, edited);
    FollowFixture h;
    const quint64 slime = h.set().entries()[0].id;
    h.session.setCurrentId(slime);
    if (edited) {
        Card card = h.set().readyCard(slime);
        card.sides[0] = "9";
        h.set().setCard(slime, card);
    }
    QTRY_COMPARE(h.shownPixel(), qRgb(0, 200, 0));
    QSignalSpy said(&h.follower, &SetFileFollower::message);

    QVERIFY(QFile::remove(h.dir.filePath("slime.png")));
    QTRY_COMPARE(said.size(), 1);
    QVERIFY(said.front().front().toString().contains("gone"));
    const SetEntry& e = h.set().entries()[0];
    QCOMPARE(e.id, slime);
    QCOMPARE(e.isBad(), !edited);
    QCOMPARE(h.set().isModified(), edited);
    if (edited) {
        QCOMPARE(e.card.sides[0], QString("9"));
        QCOMPARE(h.shown().value_or(Card()).sides[0], QString("9"));
    } else {
        QCOMPARE(e.problemColumn, QString("picture"));
        QVERIFY(e.problem.contains("slime.png"));
        // The editor no longer edits the row, and says why.
        QVERIFY(!h.shown());
        QVERIFY(h.session.whyNoCard().contains("slime.png"));
    }
    QVERIFY(h.prompts.choices.isEmpty());
    QVERIFY(h.prompts.messages.isEmpty());
    // Still followed: the picture put back makes the card whole again.
    QVERIFY(writeFileBytes(h.dir.filePath("slime.png"), picture(qRgb(0, 200, 0))));
    QTRY_VERIFY(!h.set().entries()[0].isBad());
    QTRY_COMPARE(h.shownPixel(), qRgb(0, 200, 0));
}

void SetFileFollowerTest::aFolderSetFollowsItsFolder_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("unsavedElsewhere");  // another card edited in the window meanwhile
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("slimeUp");
    const QStringList both{"Golem", "Slime"};
    QTest::newRow("rewritten in place") << "in place" << false << both << "7";
    QTest::newRow("rewritten by rename") << "by rename" << false << both << "7";
    QTest::newRow("rewritten, another card unsaved") << "by rename" << true << both << "7";
    QTest::newRow("added") << "added" << false << QStringList{"Golem", "Ooze", "Slime"} << "1";
    QTest::newRow("removed") << "removed" << false << QStringList{"Golem"} << "";
    QTest::newRow("made unreadable") << "broken" << false << both << "A";
}

void SetFileFollowerTest::aFolderSetFollowsItsFolder()
{
    QFETCH(QString, change);
    QFETCH(bool, unsavedElsewhere);
    QFETCH(QStringList, names);
    QFETCH(QString, slimeUp);
    FolderFixture h;
    QCOMPARE(h.names(), QStringList({"Golem", "Slime"}));
    const quint64 slime = h.set().entries()[1].id;
    h.session.setCurrentId(slime);
    if (unsavedElsewhere)
        h.edit();  // Golem
    QSignalSpy followed(&h.follower, &SetFileFollower::followed);

    if (change == "in place" || change == "by rename")
        h.put("Slime", folderCard("Slime", "7"), change == "by rename");
    else if (change == "added")
        h.put("Ooze", folderCard("Ooze", "3"));
    else if (change == "removed")
        QVERIFY(QFile::remove(h.file("Slime")));
    else
        QVERIFY(
            writeFileBytes(h.file("Slime"), "{\"format\": \"orvane-card\", \"version\": 99}\n"));

    QTRY_COMPARE(h.names(), names);
    QTRY_COMPARE(followed.size(), 1);
    QVERIFY(h.prompts.choices.isEmpty());
    QCOMPARE(h.set().isModified(), unsavedElsewhere);
    if (unsavedElsewhere)
        QCOMPARE(h.set().entries()[0].card.sides[0], QString("9"));  // mine stays
    if (change == "broken") {
        QVERIFY(h.set().entries()[1].isBad());
        QCOMPARE(h.set().entries()[1].id, slime);
        return;
    }
    if (!slimeUp.isEmpty()) {
        const SetEntry& e = h.set().entries()[names.indexOf("Slime")];
        QCOMPARE(e.card.sides[0], slimeUp);
        // The card shown is still shown, as the file now holds it.
        QCOMPARE(h.session.currentId(), e.id);
        QTRY_COMPARE(h.shown().value_or(Card()).sides[0], slimeUp);
    }
    // Still followed afterwards (a rename gives the file a new identity).
    h.put("Golem", folderCard("Golem", "8"));
    QTRY_COMPARE(h.set().entries()[0].card.sides[0],
                 unsavedElsewhere ? QString("9") : QString("8"));
    if (unsavedElsewhere)
        QTRY_COMPARE(h.prompts.choices.size(), 1);  // their Golem meets mine: asked
}

void SetFileFollowerTest::aFolderSetAsksWhenTheUsersCardMeetsTheirs_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("golemUp");  // afterwards, in the set
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("savedElsewhere");
    QTest::newRow("reload theirs") << int(SetFileFollower::ReloadTheirs) << "6" << false << false;
    QTest::newRow("keep mine") << int(SetFileFollower::KeepMine) << "9" << true << false;
    QTest::newRow("save mine as a deck")
        << int(SetFileFollower::SaveMineElsewhere) << "9" << false << true;
    QTest::newRow("the box closed") << -1 << "9" << true << false;
}

void SetFileFollowerTest::aFolderSetAsksWhenTheUsersCardMeetsTheirs()
{
    QFETCH(int, answer);
    QFETCH(QString, golemUp);
    QFETCH(bool, modified);
    QFETCH(bool, savedElsewhere);
    FolderFixture h;
    h.edit();  // Golem's up side: 9
    const QString mine = h.dir.filePath("mine.csv");
    if (answer >= 0)
        h.prompts.choiceAnswers.enqueue(answer);
    if (savedElsewhere)
        h.prompts.fileAnswers.enqueue(mine);
    h.put("Golem", folderCard("Golem", "6"), true);
    const QByteArray theirs = fileBytes(h.file("Golem"));

    QTRY_COMPARE(h.prompts.choices.size(), 1);
    QCOMPARE(h.prompts.choiceButtons.front(),
             QStringList({"Reload Theirs", "Keep Mine", "Save Mine As..."}));
    QCOMPARE(h.prompts.choices.front().style, int(SetFileFollower::KeepMine));
    QTRY_COMPARE(h.set().entries()[0].card.sides[0], golemUp);
    QCOMPARE(h.set().isModified(), modified);
    QCOMPARE(fileBytes(h.file("Golem")), theirs);  // their file is not touched
    QCOMPARE(QFile::exists(mine), savedElsewhere);
    if (!modified)
        return;
    // The same file again asks no more; Save Set asks before writing over theirs, and Cancel
    // (the default) writes nothing.
    QVERIFY(writeFileBytes(h.file("Golem"), theirs));
    QTest::qWait(100);
    QCOMPARE(h.prompts.choices.size(), 1);
    QVERIFY(!h.save());
    QCOMPARE(h.prompts.choiceButtons.back(),
             QStringList({"Reload Theirs", "Save Mine As...", "Cancel"}));
    QCOMPARE(fileBytes(h.file("Golem")), theirs);
    QVERIFY(h.set().isModified());
    // Reload Theirs there says what was read again: the folder, not a deck.
    QSignalSpy said(&h.follower, &SetFileFollower::message);
    h.prompts.choiceAnswers.enqueue(0);
    QVERIFY(!h.save());  // read again instead: nothing left to save
    QCOMPARE(said.size(), 1);
    QVERIFY(said.back().front().toString().startsWith("The folder "));
    QCOMPARE(h.set().entries()[0].card.sides[0], QString("6"));
    QVERIFY(!h.set().isModified());
}

void SetFileFollowerTest::aFolderSetsOwnSaveIsNoChange()
{
    FolderFixture h;
    h.edit();
    const quint64 golem = h.set().entries()[0].id;
    QSignalSpy followed(&h.follower, &SetFileFollower::followed);
    QVERIFY(h.save());
    QTest::qWait(100);
    QCOMPARE(h.set().entries()[0].id, golem);
    QVERIFY(h.set().undoStack()->canUndo());  // not read again: the history stays
    QVERIFY(followed.isEmpty());
    QVERIFY(h.prompts.choices.isEmpty());
    // Another program's change after the save is followed as usual.
    h.put("Slime", folderCard("Slime", "7"));
    QTRY_COMPARE(h.set().entries()[1].card.sides[0], QString("7"));
}

QTEST_MAIN(SetFileFollowerTest)
#include "set_file_follower_test.moc"
