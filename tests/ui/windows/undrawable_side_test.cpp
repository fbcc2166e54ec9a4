// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that write the card ask first when a side holds text the card cannot draw.
#include "support/form2_fixture.h"
#include "support/temp_settings.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QMimeData>
#include <QtTest>

class UndrawableSideTest : public QObject {
    Q_OBJECT
private slots:
    void commandsAskFirst_data();
    void commandsAskFirst();
};

void UndrawableSideTest::commandsAskFirst_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer");  // 0: no question expected
    QTest::addColumn<bool>("written");
    for (const auto& [action, title] :
         {std::pair{"actExportCards", "Export Cards"}, std::pair{"actCopyBlue", "Copy Blue Card"},
          std::pair{"actCopyRed", "Copy Red Card"},
          std::pair{"actAddCardToDeck", "Add Card to Deck"},
          std::pair{"actPlaySheets", "Play Sheets"}}) {
        const QString name = QLatin1String(action);
        QTest::addRow("%s no", action) << name << QString(title) << 0 << "Z" << int(orvane::AnswerNo)
                                       << false;
        QTest::addRow("%s yes", action) << name << QString(title) << 0 << "Z"
                                        << int(orvane::AnswerYes) << true;
        QTest::addRow("%s drawable", action) << name << QString(title) << 0 << "7" << 0 << true;
    }
    QTest::newRow("empty right side") << "actCopyBlue" << "Copy Blue Card" << 2 << ""
                                      << int(orvane::AnswerNo) << false;
    QTest::newRow("lower a is drawn") << "actCopyBlue" << "Copy Blue Card" << 3 << "a" << 0 << true;
}

void UndrawableSideTest::commandsAskFirst()
{
    QFETCH(QString, action);
    QFETCH(QString, title);
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(int, answer);
    QFETCH(bool, written);
    TempSettings settings;
    Form2Fixture f;
    f.type(box, text);
    f.tick();
    QGuiApplication::clipboard()->clear();
    const qsizetype dialogs = f->findChildren<QDialog*>().size();
    if (answer)
        f.prompts.messageAnswers.enqueue(answer);
    f.child<QAction>(action)->trigger();

    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    const bool copied = clipboard && clipboard->hasImage();
    const bool opened = f->findChildren<QDialog*>().size() > dialogs;
    const bool asked = !f.prompts.fileRequests.isEmpty() || !f.prompts.inputs.isEmpty();
    QCOMPARE(copied || opened || asked, written);
    const auto question = std::find_if(
        f.prompts.messages.cbegin(), f.prompts.messages.cend(),
        [](const ScriptedPrompts::Message& m) { return m.text.endsWith("Write the card anyway?"); });
    if (!answer) {
        QVERIFY(question == f.prompts.messages.cend());
        return;
    }
    QVERIFY(question != f.prompts.messages.cend());
    const QString side = box == 0 ? QStringLiteral("top") : QStringLiteral("right");
    QCOMPARE(question->text,
             QStringLiteral("The %1 side holds \"%2\", which the card cannot show: it shows the "
                            "digit drawn before. Write the card anyway?")
                 .arg(side, text));
    QCOMPARE(question->title, title);
    QCOMPARE(question->style & orvane::MessageButtonsMask, int(orvane::YesNo));
}

QTEST_MAIN(UndrawableSideTest)
#include "undrawable_side_test.moc"
