// SPDX-License-Identifier: GPL-3.0-or-later
// The question after a crash names the set the recovery file holds, when it names one.
#include "support/form2_fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class RecoveryQuestionTest : public QObject {
    Q_OBJECT
private slots:
    void theQuestionNamesTheSet_data();
    void theQuestionNamesTheSet();
};

void RecoveryQuestionTest::theQuestionNamesTheSet_data()
{
    QTest::addColumn<QByteArray>("recovery");
    QTest::addColumn<QString>("question");
    const QString old =
        QStringLiteral("Orvane ended without saving a set of cards. Restore it as it was?");
    QTest::newRow("a deck") << QByteArray(R"({"format":"orvane-set-recovery","version":1,)"
                                          R"("kind":"deck","path":"/cards/deck.csv"})")
                            << QStringLiteral("Orvane ended without saving the set %1. Restore "
                                              "it as it was?")
                                   .arg(QDir::toNativeSeparators("/cards/deck.csv"));
    QTest::newRow("no path") << QByteArray(R"({"format":"orvane-set-recovery","version":1})")
                             << old;
    QTest::newRow("empty path") << QByteArray(R"({"format":"orvane-set-recovery","path":""})")
                                << old;
    QTest::newRow("damaged") << QByteArray("{\"path\": \"/cards/de") << old;
}

void RecoveryQuestionTest::theQuestionNamesTheSet()
{
    QFETCH(QByteArray, recovery);
    QFETCH(QString, question);
    QTemporaryDir keep;
    QFile file(keep.filePath("set-recovery.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(recovery);
    file.close();
    Form2Fixture f(qEnvironmentVariable("ORVANE_BIN_DIR"), keep.path());
    f->offerRecovery();  // answered No: the recovery is dropped
    QVERIFY(!f.prompts.messages.isEmpty());
    QCOMPARE(f.prompts.messages.front().text, question);
    QCOMPARE(f.prompts.messages.front().title, QStringLiteral("Restore Set"));
    QVERIFY(!QFile::exists(keep.filePath("set-recovery.json")));
}

QTEST_MAIN(RecoveryQuestionTest)
#include "recovery_question_test.moc"
