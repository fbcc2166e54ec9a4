// SPDX-License-Identifier: GPL-3.0-or-later
// Card files through the window: the round trip, the title bar, the question about unsaved
// changes, the recent cards and files that cannot be read.
#include "card/card_file.h"
#include "document/card_document.h"
#include "editor/recent_cards.h"
#include "support/card_view.h"
#include "support/images.h"
#include "support/temp_settings.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <QUndoStack>

class Form2CardFilesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void roundTripShowsTheSameCards();
    void saveNamesTheFileAndClearsTheMark();
    void unsavedQuestionOnOpen_data();
    void unsavedQuestionOnOpen();
    void unsavedQuestionOnExit_data();
    void unsavedQuestionOnExit();
    void closeBoxAsksOnlyWithChanges();
    void recentCardsAndAMissingOne();
    void unreadableCardFileChangesNothing();
    void failedSaveKeepsTheMark();
    void saveAsAsksBeforeReplacingTheFileWithItsSuffix();
    void saveAsRenamesACardNamedAfterItsFile_data();
    void saveAsRenamesACardNamedAfterItsFile();
    void cardWithoutAnElement();
    void cardFileTypeIsRegistered();

private:
    std::unique_ptr<TempSettings> m_settings;
};

namespace {

// A card with something in every part: numbers, element, arrows, picture, offset, placement.
void makeACard(Form2Fixture& f, const QString& picturePath)
{
    f.optElem(2)->click();
    f.typeAll("9", "3", "A", "5");
    f.tick();
    f.clickArrow(1);
    f.clickArrow(6);
    QVERIFY(f.form->loadMainPictureFile(picturePath));
    f.scrX()->setValue(7);
    f.scrY()->setValue(13);
    orvane::CardPlacement placement;
    placement.TopX = 9;
    placement.ElemY = 6;
    f.form->document().setPlacement(placement);
}

}  // namespace

void Form2CardFilesTest::init()
{
    m_settings = std::make_unique<TempSettings>();
}

void Form2CardFilesTest::roundTripShowsTheSameCards()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("face.bmp"));
    QVERIFY(gradient(70, 50).save(picture, "BMP"));
    const QString card = dir.filePath(QStringLiteral("hero.orvcard"));
    CardView saved;
    {
        Form2Fixture f;
        makeACard(f, picture);
        saved = viewOf(f);
        f.prompts.fileAnswers.enqueue(card);
        f.actSaveCardFileAs()->trigger();
        QVERIFY(QFileInfo::exists(card));
    }
    // A fresh window, as after a restart.
    Form2Fixture g;
    QCOMPARE(g.card().placement, orvane::CardPlacement{});
    g.prompts.fileAnswers.enqueue(card);
    g.actOpenCard()->trigger();
    QCOMPARE(g.prompts.fileRequests.size(), 1);
    QCOMPARE(g.prompts.fileRequests[0].dialog.DialogTitle, QStringLiteral("Open Card"));
    QCOMPARE(g.prompts.fileRequests[0].dialog.Filter,
             QStringLiteral("Orvane Cards (*.orvcard)|*.orvcard"));
    QCOMPARE(g.prompts.messages.size(), 0);
    QVERIFY(viewOf(g) == saved);
    QCOMPARE(g.total(), qint16(27));
    QCOMPARE(g.arrowsTicked(), qint16(2));
    QCOMPARE(g.form->document().card().mainPicturePath, picture);
    QVERIFY(!g->isWindowModified());
    QCOMPARE(g.form->document().undoStack()->count(), 0);
    QCOMPARE(g.status(), QStringLiteral("Opened ") + orvane::homeRelative(card));
    // The opened card goes on being edited with its arrows counted right.
    g.clickArrow(0);
    QCOMPARE(g.arrowsTicked(), qint16(3));
    g.actUndo()->trigger();
    QVERIFY(viewOf(g) == saved);
}

void Form2CardFilesTest::saveNamesTheFileAndClearsTheMark()
{
    QTemporaryDir dir;
    const QString card = dir.filePath(QStringLiteral("knight"));  // the suffix is added
    Form2Fixture f;
    f.scrX()->setValue(4);
    QVERIFY(f->isWindowModified());
    f.prompts.fileAnswers.enqueue(card);
    f.actSaveCardFileAs()->trigger();
    QCOMPARE(f.prompts.fileRequests.back().dialog.DialogTitle, QStringLiteral("Save Card File"));
    QCOMPARE(f.prompts.fileRequests.back().dialog.FileName, QStringLiteral("card.orvcard"));
    const QString file = card + QStringLiteral(".orvcard");
    QVERIFY(QFileInfo::exists(file));
    QCOMPARE(orvane::readCardFile(file).card->name, QStringLiteral("knight"));
    QVERIFY(!f->isWindowModified());
    QCOMPARE(f->windowTitle(), QStringLiteral("knight.orvcard[*] - Orvane 4.0 by Kestrow"));
    QCOMPARE(f.status(), QStringLiteral("Saved the card knight.orvcard in ") +
                             orvane::homeRelative(dir.path()));
    // Ctrl+S saves again to the same file without a dialog, keeping the copies the file holds
    // (a folder set's); the next change marks the title.
    QVERIFY(orvane::writeCardFile(*orvane::readCardFile(file).card, file, nullptr, 3));
    f.scrX()->setValue(5);
    QVERIFY(f->isWindowModified());
    f.actSaveCardFile()->trigger();
    QCOMPARE(f.prompts.fileRequests.size(), 1);
    QVERIFY(!f->isWindowModified());
    QCOMPARE(orvane::readCardFile(file).card->x, 5);
    QCOMPARE(orvane::readCardFile(file).copies, 3);
    // The next dialog starts at the card's own file.
    f.actSaveCardFileAs()->trigger();
    QCOMPARE(f.prompts.fileRequests.back().dialog.FileName, QFileInfo(file).absoluteFilePath());
}

void Form2CardFilesTest::unsavedQuestionOnOpen_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<int>("dialogs");  // file dialogs shown
    QTest::newRow("cancel") << int(orvane::SaveChoice::Cancel) << false << 0;
    QTest::newRow("discard") << int(orvane::SaveChoice::Discard) << true << 1;
    QTest::newRow("save") << int(orvane::SaveChoice::Save) << true << 2;
}

void Form2CardFilesTest::unsavedQuestionOnOpen()
{
    QFETCH(int, answer);
    QFETCH(bool, opened);
    QFETCH(int, dialogs);
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other.orvcard"));
    orvane::Card card;
    card.sides = {"1", "2", "3", "4"};
    card.element = 0;
    QString error;
    QVERIFY(orvane::writeCardFile(card, other, &error));
    const QString unsaved = dir.filePath(QStringLiteral("unsaved.orvcard"));

    Form2Fixture f;
    f.scrY()->setValue(8);
    f.prompts.saveAnswers.enqueue(orvane::SaveChoice(answer));
    f.prompts.fileAnswers << unsaved << other;
    if (answer != int(orvane::SaveChoice::Save))
        f.prompts.fileAnswers.removeFirst();
    f.actOpenCard()->trigger();
    QCOMPARE(f.prompts.saveQuestions.size(), 1);
    QCOMPARE(f.prompts.saveQuestions[0].title, QStringLiteral("Open Card"));
    QCOMPARE(f.prompts.fileRequests.size(), dialogs);
    QCOMPARE(f.txtNums(0)->text(), opened ? QStringLiteral("1") : QStringLiteral("A"));
    QCOMPARE(QFileInfo::exists(unsaved), answer == int(orvane::SaveChoice::Save));
    if (QFileInfo::exists(unsaved))
        QCOMPARE(orvane::readCardFile(unsaved).card->y, 8);
    // Without changes there is no question.
    f.prompts.fileAnswers << other;
    if (!opened) {
        f.prompts.saveAnswers.enqueue(orvane::SaveChoice::Discard);
        f.actOpenCard()->trigger();
    }
    const qsizetype asked = f.prompts.saveQuestions.size();
    f.prompts.fileAnswers << other;
    f.actOpenCard()->trigger();
    QCOMPARE(f.prompts.saveQuestions.size(), asked);
}

void Form2CardFilesTest::unsavedQuestionOnExit_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("ends");
    QTest::newRow("cancel") << int(orvane::SaveChoice::Cancel) << false;
    QTest::newRow("discard") << int(orvane::SaveChoice::Discard) << true;
    QTest::newRow("save, dialog cancelled") << int(orvane::SaveChoice::Save) << false;
}

void Form2CardFilesTest::unsavedQuestionOnExit()
{
    QFETCH(int, answer);
    QFETCH(bool, ends);
    Form2Fixture f;
    f->show();
    f.tick();
    f.clickArrow(3);
    f.prompts.messageAnswers.enqueue(orvane::AnswerYes);
    f.prompts.saveAnswers.enqueue(orvane::SaveChoice(answer));
    f.cmdQuit()->click();
    // The layout's question first, then the one about the changes.
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, QStringLiteral("Are you sure you want to quit?"));
    QCOMPARE(f.prompts.saveQuestions.size(), 1);
    QCOMPARE(f.prompts.saveQuestions[0].title, QStringLiteral("Exit Program"));
    QCOMPARE(f->isVisible(), !ends);
    QCOMPARE(f.endCalls, ends ? 1 : 0);
    QCOMPARE(f.ticked(), 1);
}

void Form2CardFilesTest::closeBoxAsksOnlyWithChanges()
{
    Form2Fixture f;
    f->show();
    QVERIFY(f->close());
    QCOMPARE(f.prompts.saveQuestions.size(), 0);
    f->show();
    f.typeAll("2", "2", "2", "2");
    f.prompts.saveAnswers.enqueue(orvane::SaveChoice::Cancel);
    QVERIFY(!f->close());
    QVERIFY(f->isVisible());
    QCOMPARE(f.prompts.messages.size(), 0);  // the close box asks no "Exit Program" question
    QCOMPARE(f.prompts.saveQuestions.size(), 1);
}

void Form2CardFilesTest::recentCardsAndAMissingOne()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.orvcard"));
    const QString b = dir.filePath(QStringLiteral("b.orvcard"));
    {
        Form2Fixture f;
        f.prompts.fileAnswers << a << b;
        f.actSaveCardFileAs()->trigger();
        f.scrX()->setValue(3);
        f.actSaveCardFileAs()->trigger();
    }
    // Kept between runs, newest first.
    Form2Fixture g;
    QList<QAction*> entries = g.menuRecent()->actions();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0]->data().toString(), b);
    QCOMPARE(entries[1]->data().toString(), a);
    QCOMPARE(entries[0]->text(), QStringLiteral("&1 b.orvcard"));
    // The open dialog starts in the folder last used.
    g.actOpenCard()->trigger();
    QCOMPARE(g.prompts.fileRequests[0].dialog.FileName, dir.path() + QStringLiteral("/"));

    entries[1]->trigger();
    QCOMPARE(g.form->document().filePath(), a);
    QCOMPARE(g.scrX()->value(), 0);
    QCOMPARE(g.menuRecent()->actions()[0]->data().toString(), a);

    QVERIFY(QFile::remove(b));
    g.menuRecent()->actions()[1]->trigger();
    QCOMPARE(g.prompts.messages.size(), 0);  // a word, not an error
    QCOMPARE(g.status(),
             orvane::homeRelative(b) + QStringLiteral(" is no longer there; removed from the "
                                                      "recent cards"));
    QCOMPARE(g.menuRecent()->actions().size(), 1);
    QCOMPARE(orvane::recentCards(), QStringList{a});
    QCOMPARE(g.form->document().filePath(), a);
}

void Form2CardFilesTest::unreadableCardFileChangesNothing()
{
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.orvcard"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{ \"format\": \"orvane-card\", \"version\": 1, ");
    file.close();
    Form2Fixture f;
    f.scrX()->setValue(9);
    f.prompts.saveAnswers.enqueue(orvane::SaveChoice::Discard);
    QVERIFY(!f.cardFiles().openCardFile(broken));
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("Open Card"));
    QVERIFY(f.prompts.messages[0].text.contains(QStringLiteral("broken.orvcard")));
    QCOMPARE(f.scrX()->value(), 9);
    QVERIFY(f->isWindowModified());
    QVERIFY(orvane::recentCards().isEmpty());
    QVERIFY(!f.cardFiles().openCardFile(dir.filePath(QStringLiteral("absent.orvcard"))));
    QCOMPARE(f.prompts.messages.size(), 2);
}

void Form2CardFilesTest::failedSaveKeepsTheMark()
{
    QTemporaryDir dir;
    Form2Fixture f;
    f.scrX()->setValue(2);
    f.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("missing/folder/card.orvcard")));
    QVERIFY(!f.cardFiles().saveCardFileAs());
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("Save Card File"));
    QVERIFY(f->isWindowModified());
    QCOMPARE(f.form->document().filePath(), QString());
}

// The name typed has no suffix: the dialog cannot know the file that is replaced, so the
// window asks about it, once, and "No" offers the dialog again.
void Form2CardFilesTest::saveAsAsksBeforeReplacingTheFileWithItsSuffix()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("knight.orvcard"));
    QFile existing(file);
    QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("kept") == 4);
    existing.close();
    Form2Fixture f;
    f.scrX()->setValue(3);
    f.prompts.fileAnswers = QQueue<QString>({dir.filePath(QStringLiteral("knight")), QString()});
    QVERIFY(!f.cardFiles().saveCardFileAs());  // No, then the dialog again, cancelled
    QCOMPARE(f.prompts.fileRequests.size(), 2);
    QVERIFY(!f.prompts.fileRequests[0].dialog.OverwritePrompt);
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text,
             QStringLiteral("The card file %1 already exists.\n\nReplace it?")
                 .arg(QDir::toNativeSeparators(file)));
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("Save Card File"));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("kept"));
    existing.close();
    QVERIFY(f->isWindowModified());

    f.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("knight")));
    f.prompts.messageAnswers.enqueue(orvane::AnswerYes);
    QVERIFY(f.cardFiles().saveCardFileAs());
    QCOMPARE(orvane::readCardFile(file).card->x, 3);
    QVERIFY(!f->isWindowModified());
}

// Save Card File As: a card that carries its old file's name takes the new one, so exports and
// decks do not go on naming it after the card it was copied from; a name of its own stays.
void Form2CardFilesTest::saveAsRenamesACardNamedAfterItsFile_data()
{
    QTest::addColumn<QString>("nameInFile");
    QTest::addColumn<QString>("expected");
    QTest::newRow("named after its file")
        << QStringLiteral("Slime") << QStringLiteral("Red Dragon");
    QTest::newRow("a name of its own") << QStringLiteral("Hero") << QStringLiteral("Hero");
}

void Form2CardFilesTest::saveAsRenamesACardNamedAfterItsFile()
{
    QFETCH(QString, nameInFile);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString slime = dir.filePath(QStringLiteral("Slime.orvcard"));
    orvane::Card card;
    card.name = nameInFile;
    QString error;
    QVERIFY2(orvane::writeCardFile(card, slime, &error), qPrintable(error));
    Form2Fixture f;
    QVERIFY(f.cardFiles().openCardFile(slime));
    const QString dragon = dir.filePath(QStringLiteral("Red Dragon.orvcard"));
    f.prompts.fileAnswers.enqueue(dragon);
    QVERIFY(f.cardFiles().saveCardFileAs());
    QCOMPARE(orvane::readCardFile(dragon).card->name, expected);
    QCOMPARE(f.form->document().card().name, expected);
    QCOMPARE(f.form->document().displayName(), expected);
    QVERIFY(!f->isWindowModified());
    QCOMPARE(orvane::readCardFile(slime).card->name, nameInFile);  // the old file is untouched
}

void Form2CardFilesTest::cardWithoutAnElement()
{
    // A card file may have no element chosen (a deck row without one): no option is on and the
    // icon layer is transparent, and it stays so through undo.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.orvcard"));
    orvane::Card card;
    card.sides = {"2", "2", "2", "2"};
    QString error;
    QVERIFY(orvane::writeCardFile(card, path, &error));
    Form2Fixture f;
    f.optElem(0)->click();
    f.tick();  // the Fire icon is in the icon layer
    f.prompts.saveAnswers.enqueue(orvane::SaveChoice::Discard);
    QVERIFY(f.cardFiles().openCardFile(path));
    QCOMPARE(f.form->selectedElement(), orvane::NoElementChosen);
    f.tick();
    QCOMPARE(f.picFinalElem()->image(), solid(16, 17, 0x000000));
    const CardView plain = viewOf(f);
    QCOMPARE(f.form->document().card().element, orvane::NoElementChosen);
    f.optElem(5)->click();
    QCOMPARE(f.txtNums(0)->text(), QStringLiteral("A"));
    f.actUndo()->trigger();
    QCOMPARE(f.form->selectedElement(), orvane::NoElementChosen);
    QVERIFY(viewOf(f) == plain);
}

void Form2CardFilesTest::cardFileTypeIsRegistered()
{
    // The desktop entry, the MIME type and the suffix the editor writes agree.
    const QString source = qEnvironmentVariable("ORVANE_SOURCE_DIR");
    QFile mime(source + QStringLiteral("/assets/mime/orvane-card.xml"));
    QVERIFY(mime.open(QIODevice::ReadOnly));
    const QByteArray xml = mime.readAll();
    QVERIFY(xml.contains("type=\"application/x-orvane-card\""));
    QVERIFY(xml.contains(QByteArray("<glob pattern=\"*.") + orvane::CardFileSuffix + "\"/>"));
    QVERIFY(xml.contains("<icon name=\"application-x-orvane-card\"/>"));
    QVERIFY(
        QFileInfo::exists(source + QStringLiteral("/assets/mime/application-x-orvane-card.xpm")));
    QFile desktop(source + QStringLiteral("/assets/orvane.desktop"));
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = desktop.readAll().split('\n');
    QVERIFY(lines.contains("Exec=orvane %f"));
    // Pictures too: a picture given by the desktop loads as the main picture.
    QVERIFY(lines.contains("MimeType=application/x-orvane-card;image/png;image/jpeg;image/bmp;"
                           "image/gif;"));
}

QTEST_MAIN(Form2CardFilesTest)
#include "form2_card_files_test.moc"
