// SPDX-License-Identifier: GPL-3.0-or-later
// Add Card to Deck: the questions asked, a new deck, the row of the same name replaced only
// after a yes, and a deck that cannot be written left as it was.
#include "card/deck_file.h"
#include "support/images.h"
#include "support/scripted_prompts.h"
#include "windows/add_card_to_deck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

Card heroCard()
{
    Card card;
    card.name = QStringLiteral("hero");
    card.sides = {"3", "9", "7", "A"};
    card.element = 6;
    card.arrows[1] = card.arrows[7] = true;
    card.mainPicture = gradient(62, 62);
    card.x = 5;
    return card;
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class AddCardToDeckTest : public QObject {
    Q_OBJECT
private slots:
    void aNewDeck();
    void aCardWithoutANameIsNamedFirst();
    void theRowOfTheSameNameIsReplacedAfterAYes();
    void aCardTheDeckCannotHoldIsRefused();
    void answeringNoKeepsTheDeck();
    void aDeckThatCannotBeWrittenIsTold();
    void noFileIsReplacedWithoutBeingNamed();
};

void AddCardToDeckTest::aNewDeck()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Dialog dialog;
    prompts.fileAnswers.enqueue(dir.filePath("deck"));  // no suffix typed
    const QString status = addCardToDeckAsking(prompts, dialog, heroCard());
    QCOMPARE(status, QStringLiteral("Added \"hero\" in deck.csv"));
    QCOMPARE(prompts.fileRequests.size(), 1);
    QVERIFY(prompts.fileRequests.front().save);
    QVERIFY(!prompts.fileRequests.front().dialog.OverwritePrompt);  // a deck chosen is added to
    QCOMPARE(prompts.fileRequests.front().dialog.DialogTitle, QStringLiteral("Add Card to Deck"));
    QCOMPARE(dialog.FileName, dir.filePath("deck.csv"));  // offered again next time
    const Deck deck = readDeck(dir.filePath("deck.csv"));
    QVERIFY(deck.problems.isEmpty());
    QCOMPARE(deck.rows.size(), 1);
    QCOMPARE(deck.rows.front().card.name, QStringLiteral("hero"));
    QCOMPARE(deck.rows.front().card.sides, heroCard().sides);
    QVERIFY(prompts.messages.isEmpty());
}

void AddCardToDeckTest::aCardWithoutANameIsNamedFirst()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Dialog dialog;
    Card card = heroCard();
    card.name.clear();
    QVERIFY(addCardToDeckAsking(prompts, dialog, card).isEmpty());  // name cancelled
    QCOMPARE(prompts.inputs.size(), 1);
    QCOMPARE(prompts.fileRequests.size(), 0);
    prompts.inputAnswers.enqueue(QStringLiteral("  Wyvern "));
    prompts.fileAnswers.enqueue(dir.filePath("deck.csv"));
    QCOMPARE(addCardToDeckAsking(prompts, dialog, card),
             QStringLiteral("Added \"Wyvern\" in deck.csv"));
    QCOMPARE(readDeck(dir.filePath("deck.csv")).rows.front().card.name, QStringLiteral("Wyvern"));
}

void AddCardToDeckTest::theRowOfTheSameNameIsReplacedAfterAYes()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Dialog dialog;
    Card villain = heroCard();
    villain.name = QStringLiteral("villain");
    for (const Card& card : {heroCard(), villain}) {
        prompts.fileAnswers.enqueue(dir.filePath("deck.csv"));
        QVERIFY(!addCardToDeckAsking(prompts, dialog, card).isEmpty());
    }
    Card changed = heroCard();
    changed.sides = {"5", "6", "7", "8"};  // a total of 26 allows both arrows
    changed.mainPicture = gradient(40, 20);
    prompts.fileAnswers.enqueue(dir.filePath("deck.csv"));
    prompts.messageAnswers.enqueue(AnswerYes);
    QCOMPARE(addCardToDeckAsking(prompts, dialog, changed),
             QStringLiteral("Replaced \"hero\" in deck.csv"));
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(prompts.messages.front().text.contains(QStringLiteral("\"hero\"")));
    const Deck deck = readDeck(dir.filePath("deck.csv"));
    QVERIFY(deck.problems.isEmpty());
    QCOMPARE(deck.rows.size(), 2);  // in place, the other row kept
    Card row = deck.rows.front().card;
    QCOMPARE(QImage(row.mainPicturePath).convertToFormat(QImage::Format_RGB32),
             changed.mainPicture);
    row.mainPicture = changed.mainPicture;
    row.mainPicturePath.clear();
    QCOMPARE(row, changed);
    QCOMPARE(deck.rows.back().card.name, villain.name);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"deck.csv", "hero-picture.png", "villain-picture.png"}));
}

void AddCardToDeckTest::aCardTheDeckCannotHoldIsRefused()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Dialog dialog;
    Card card = heroCard();
    card.sides[3] = QStringLiteral("a");  // the editor draws A for it but counts 0
    prompts.fileAnswers.enqueue(dir.filePath("deck.csv"));
    QVERIFY(addCardToDeckAsking(prompts, dialog, card).isEmpty());
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages.front().text,
             QStringLiteral("The card \"hero\" could not be added to the deck %1: its down side "
                            "is \"a\", and a deck row holds 1 to 9 or A.\n\nThe deck is as it was.")
                 .arg(QDir::toNativeSeparators(dir.filePath("deck.csv"))));
    QVERIFY(QDir(dir.path()).isEmpty());
}

void AddCardToDeckTest::answeringNoKeepsTheDeck()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Dialog dialog;
    prompts.fileAnswers.enqueue(dir.filePath("deck.csv"));
    addCardToDeckAsking(prompts, dialog, heroCard());
    const QByteArray before = read(dir.filePath("deck.csv"));
    prompts.fileAnswers.enqueue(dir.filePath("deck.csv"));
    QVERIFY(addCardToDeckAsking(prompts, dialog, heroCard()).isEmpty());  // scripted: No
    QCOMPARE(read(dir.filePath("deck.csv")), before);
}

void AddCardToDeckTest::aDeckThatCannotBeWrittenIsTold()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Dialog dialog;
    QFile blocker(dir.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    prompts.fileAnswers.enqueue(dir.filePath("file/deck.csv"));  // a file where a folder must be
    QVERIFY(addCardToDeckAsking(prompts, dialog, heroCard()).isEmpty());
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages.front().title, QStringLiteral("Add Card to Deck"));
    QVERIFY(prompts.messages.front().text.contains(QStringLiteral("could not be added")));
}

// A file that happens to have the picture's name is kept: the picture takes a free name. The
// replaced row's own picture is named in the question, whose default is No.
void AddCardToDeckTest::noFileIsReplacedWithoutBeingNamed()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Dialog dialog;
    QFile mine(dir.filePath("hero-picture.png"));
    QVERIFY(mine.open(QIODevice::WriteOnly));
    mine.write("the user's own file");
    mine.close();
    prompts.fileAnswers.enqueue(dir.filePath("deck.csv"));
    QVERIFY(!addCardToDeckAsking(prompts, dialog, heroCard()).isEmpty());
    QCOMPARE(read(dir.filePath("hero-picture.png")), QByteArray("the user's own file"));
    QVERIFY(QFileInfo::exists(dir.filePath("hero-picture-2.png")));
    QVERIFY(prompts.messages.isEmpty());  // a new row replaces nothing: nothing to ask

    Card changed = heroCard();
    changed.mainPicture = gradient(30, 30);
    prompts.fileAnswers.enqueue(dir.filePath("deck.csv"));
    QVERIFY(addCardToDeckAsking(prompts, dialog, changed).isEmpty());  // the default: No
    QCOMPARE(prompts.messages.size(), 1);
    const auto& question = prompts.messages.front();
    QVERIFY(question.style & DefaultButton2);
    QVERIFY2(question.text.contains(QDir::toNativeSeparators(dir.filePath("hero-picture-2.png"))),
             qPrintable(question.text));
    QCOMPARE(QImage(dir.filePath("hero-picture-2.png")).size(), QSize(62, 62));

    prompts.fileAnswers.enqueue(dir.filePath("deck.csv"));
    prompts.messageAnswers.enqueue(AnswerYes);
    QVERIFY(!addCardToDeckAsking(prompts, dialog, changed).isEmpty());
    QCOMPARE(QImage(dir.filePath("hero-picture-2.png")).size(), QSize(30, 30));  // as named
    QCOMPARE(read(dir.filePath("hero-picture.png")), QByteArray("the user's own file"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             (QStringList{"deck.csv", "hero-picture-2.png", "hero-picture.png"}));
}

QTEST_MAIN(AddCardToDeckTest)
#include "add_card_to_deck_test.moc"
