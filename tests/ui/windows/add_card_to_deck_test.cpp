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

QTEST_MAIN(AddCardToDeckTest)
#include "add_card_to_deck_test.moc"
