// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar and the status line: every command in its menu and order, its shortcuts, and the
// commands of the layout's buttons reached through the menus.
#include "support/form2_fixture.h"

#include "editor/recent_cards.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

class Form2MenusTest : public QObject {
    Q_OBJECT
private slots:
    void menusInOrder();
    void mnemonicsAreUniqueInEachMenu();
    void shortcuts_data();
    void shortcuts();
    void buttonCommandsThroughTheMenu();
    void exitThroughTheMenuAsksTheQuestion();
    void saveCardSaysWhereBothCardsWent();
    void savedPairText();
};

// The entries of a menu as "objectName" (separators "-", submenus their menu's name).
static QStringList entries(QMenu* menu)
{
    QStringList names;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            names << QStringLiteral("-");
        else if (action->menu())
            names << action->menu()->objectName();
        else
            names << action->objectName();
    }
    return names;
}

void Form2MenusTest::menusInOrder()
{
    Form2Fixture f;
    QStringList titles;
    QList<QMenu*> menus;
    for (QAction* action : f->menuBar()->actions()) {
        titles << action->text();
        menus << action->menu();
    }
    QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Parts", "&Help"}));
    QCOMPARE(entries(menus[0]),
             (QStringList{"actOpenCard", "actOpenSet", "actOpenSetFolder", "actNewSet",
                          "actSaveSet", "actSaveSetAs", "actSaveCardFile", "actSaveCardFileAs",
                          "menuRecent", "-", "actNewCard", "actDuplicateCard", "actLoadMain",
                          "actSaveCard", "actExportCards", "actExportCardData", "actRenderDeck",
                          "actAddCardToDeck", "actPlaySheets", "actPrint", "actPrintCalibration",
                          "-", "actExit"}));
    QCOMPARE(entries(menus[1]),
             (QStringList{"actUndo", "actRedo", "-", "actCopyBlue", "actCopyRed", "menuCopyScale",
                          "actPaste", "-", "actPrepareMain", "actEditExternally",
                          "actChooseImageEditor", "actAdvanced", "-", "actKeepNumbers"}));
    QCOMPARE(entries(menus[2]),
             (QStringList{"actZoomedPreview", "actDockZoomedPreview", "actViewSet",
                          "actViewStatistics"}));
    QCOMPARE(entries(menus[3]),
             (QStringList{"actionInstallPack", "actionRemovePack", "actionOpenPackFolder",
                          "actionNewPack"}));
    QCOMPARE(entries(menus[4]), QStringList{"actAbout"});

    const std::pair<QAction*, const char*> captions[] = {
        {f.actOpenCard(), "Open Card..."},
        {f.actSaveCardFile(), "Save Card File"},
        {f.actSaveCardFileAs(), "Save Card File As..."},
        {f.actLoadMain(), "Load Main Picture..."},
        {f.actSaveCard(), "Save Card"},
        {f.actExportCards(), "Export Cards..."},
        {f.actExportCardData(), "Export Card Data..."},
        {f.actRenderDeck(), "Render Deck..."},
        {f.actAddCardToDeck(), "Add Card to Deck..."},
        {f.actExit(), "Exit Program"},
        {f.actCopyBlue(), "Copy Blue Card (1 ×)"},
        {f.actCopyRed(), "Copy Red Card (1 ×)"},
        {f.actPaste(), "Paste Main Picture"},
        {f.actAdvanced(), "Advanced Settings"},
        {f.actZoomedPreview(), "Zoomed Preview"},
        {f.actAbout(), "About"}};
    for (const auto& [action, caption] : captions)
        QCOMPARE(action->text().remove(QLatin1Char('&')), QString::fromUtf8(caption));
    QCOMPARE(f.menuRecent()->title().remove(QLatin1Char('&')), QStringLiteral("Recent Cards"));
    QVERIFY(f.actUndo()->text().remove(QLatin1Char('&')).startsWith(QStringLiteral("Undo")));
    QVERIFY(f.actRedo()->text().remove(QLatin1Char('&')).startsWith(QStringLiteral("Redo")));
}

// The letter after "&" in a caption ("" when there is none), as Alt or the open menu takes it.
static QString mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i;  // "&&" is a plain "&"
    }
    return {};
}

// Every command of every menu (and every menu title) has a letter of its own in its menu.
void Form2MenusTest::mnemonicsAreUniqueInEachMenu()
{
    Form2Fixture f;
    QList<QList<QAction*>> groups{f->menuBar()->actions()};
    for (QMenu* menu : f->findChildren<QMenu*>())
        groups << menu->actions();
    for (const QList<QAction*>& group : groups) {
        QMap<QString, QString> taken;
        for (QAction* action : group) {
            // A disabled entry ("No recent cards") is never chosen by its letter.
            if (action->isSeparator() || !action->isVisible() || !action->isEnabled())
                continue;
            const QString letter = mnemonic(action->text());
            QVERIFY2(!letter.isEmpty(), qPrintable(action->text()));
            QVERIFY2(!taken.contains(letter),
                     qPrintable(action->text() + QStringLiteral(" and ") + taken.value(letter)));
            taken.insert(letter, action->text());
        }
    }
}

void Form2MenusTest::shortcuts_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("keys");
    const auto row = [](const char* action, QStringList keys) {
        QTest::newRow(action) << QString::fromLatin1(action) << keys;
    };
    row("actOpenCard", {"Ctrl+O"});
    row("actSaveCardFile", {"Ctrl+S"});
    row("actSaveCardFileAs", {"Ctrl+Shift+S"});
    row("actExportCards", {"Ctrl+E"});
    row("actExit", {"Ctrl+Q"});
    row("actUndo", {"Ctrl+Z"});
    row("actRedo", {"Ctrl+Shift+Z", "Ctrl+Y"});
    row("actCopyBlue", {"Ctrl+C"});
    row("actCopyRed", {"Ctrl+Shift+C"});
    row("actPaste", {"Ctrl+V"});
    row("actZoomedPreview", {"Ctrl+1"});
    row("actLoadMain", {});
    row("actAbout", {});
}

void Form2MenusTest::shortcuts()
{
    QFETCH(QString, action);
    QFETCH(QStringList, keys);
    Form2Fixture f;
    auto* a = f->findChild<QAction*>(action);
    QVERIFY(a);
    QStringList actual;
    for (const QKeySequence& key : a->shortcuts())
        actual << key.toString(QKeySequence::PortableText);
    QCOMPARE(actual, keys);
}

void Form2MenusTest::buttonCommandsThroughTheMenu()
{
    Form2Fixture f;
    // Load Main Picture...: the button's dialog, cancelled.
    f.actLoadMain()->trigger();
    QCOMPARE(f.prompts.fileRequests.size(), 1);
    QCOMPARE(f.prompts.fileRequests[0].dialog.DialogTitle, QStringLiteral("Open Main Picture..."));
    // Save Card: the blue card's dialog first, cancelled.
    f.actSaveCard()->trigger();
    QCOMPARE(f.prompts.fileRequests.size(), 2);
    QCOMPARE(f.prompts.fileRequests[1].dialog.DialogTitle, QStringLiteral("Save Blue Card..."));
    // Export Card Data...: the hidden button's name question, cancelled.
    f.actExportCardData()->trigger();
    QCOMPARE(f.prompts.inputs.size(), 1);
    QCOMPARE(f.prompts.inputs[0].second, QStringLiteral("Name"));
    QVERIFY(f.timer()->isActive());  // restarted when the command ends
    f.timer()->stop();
}

void Form2MenusTest::exitThroughTheMenuAsksTheQuestion()
{
    Form2Fixture f;
    f->show();
    f.prompts.messageAnswers.enqueue(orvane::AnswerNo);
    f.actExit()->trigger();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("Exit Program"));
    QVERIFY(f->isVisible());
    f.prompts.messageAnswers.enqueue(orvane::AnswerYes);
    f.actExit()->trigger();
    QVERIFY(!f->isVisible());
    QCOMPARE(f.endCalls, 1);
}

void Form2MenusTest::saveCardSaysWhereBothCardsWent()
{
    QTemporaryDir dir;
    Form2Fixture f;
    f.prompts.fileAnswers << dir.filePath(QStringLiteral("blue card.jpg"))
                          << dir.filePath(QStringLiteral("red card"));
    f.actSaveCard()->trigger();
    QCOMPARE(f.prompts.messages.size(), 0);
    QCOMPARE(f.status(), QStringLiteral("Saved blue card.jpg and red card.jpg in ") +
                             orvane::homeRelative(dir.path()));
    // Cancelled at the red card: the blue card is saved, and the line says just that.
    f.prompts.fileAnswers << dir.filePath(QStringLiteral("other.jpg"));
    f.actSaveCard()->trigger();
    QCOMPARE(f.status(), QStringLiteral("Saved the blue card as %1; the red card was not saved "
                                        "(cancelled)")
                             .arg(orvane::homeRelative(dir.filePath(QStringLiteral("other.jpg")))));
}

void Form2MenusTest::savedPairText()
{
    const QString home = QDir::homePath();
    QCOMPARE(orvane::savedPairText(home + "/cards/blue card.jpg", home + "/cards/red card.jpg"),
             QStringLiteral("Saved blue card.jpg and red card.jpg in ~/cards"));
    QCOMPARE(orvane::savedPairText("/srv/a/b.jpg", home + "/r.jpg"),
             QStringLiteral("Saved /srv/a/b.jpg and ~/r.jpg"));
    QCOMPARE(orvane::homeRelative(home), QStringLiteral("~"));
    QCOMPARE(orvane::homeRelative(home + "x/y"), QDir::cleanPath(home + "x/y"));  // not inside
}

QTEST_MAIN(Form2MenusTest)
#include "form2_menus_test.moc"
