// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/scripted_prompts.h"
#include "windows/pack_chooser.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace orvane;

class PackChooserTest : public QObject {
    Q_OBJECT

    QString bin() const { return qEnvironmentVariable("ORVANE_BIN_DIR"); }
    QString shared() const { return QDir(bin()).filePath(QStringLiteral("../share/orvane/packs")); }

    QStringList rows(PackChooser& chooser) const
    {
        QStringList names;
        for (int row = 0; row < chooser.model()->rowCount(); ++row)
            names << chooser.model()->item(row)->text();
        return names;
    }

private slots:
    void listsPacksAndChoosesByName()
    {
        ScriptedPrompts prompts;
        QTemporaryDir user;
        PackChooser chooser(prompts, QDir(bin()).filePath(QStringLiteral("gfx")), user.path(),
                            {shared()});
        QCOMPARE(rows(chooser), (QStringList{QStringLiteral("Built-in parts"),
                                             QStringLiteral("Sharp 4x"), QStringLiteral("Table")}));
        QSignalSpy chosen(&chooser, &PackChooser::packChosen);
        QVERIFY(chooser.choose(QStringLiteral("table")));
        QCOMPARE(chooser.currentRow(), 2);
        QCOMPARE(chosen.size(), 1);
        QVERIFY(chosen[0][1].toString().endsWith(QStringLiteral("/table")));
        // A pack installed with the program is not the user's to remove.
        QVERIFY(!chooser.removeAction()->isEnabled());
        // A card's pack that is not installed: the built-in parts, and the caller keeps the name.
        QVERIFY(!chooser.choose(QStringLiteral("Gone")));
        QCOMPARE(chooser.currentRow(), 0);
        QCOMPARE(chooser.currentFolder(), QDir(bin()).filePath(QStringLiteral("gfx")));
    }

    void newPackInstallAndRemove()
    {
        ScriptedPrompts prompts;
        QTemporaryDir user;
        PackChooser chooser(prompts, QDir(bin()).filePath(QStringLiteral("gfx")), user.path(),
                            {shared()});
        QStringList opened;
        chooser.setFolderOpener([&](const QString& folder) { opened << folder; });
        chooser.choose(QStringLiteral("Table"));

        prompts.inputAnswers.enqueue(QStringLiteral("My Table"));
        chooser.newPackAction()->trigger();
        QCOMPARE(chooser.currentName(), QStringLiteral("My Table"));
        QCOMPARE(opened, QStringList{QDir(user.path()).filePath(QStringLiteral("My Table"))});
        QVERIFY(
            QFile::exists(QDir(user.path()).filePath(QStringLiteral("My Table/bitblts/A.bmp"))));
        QVERIFY(chooser.removeAction()->isEnabled());

        // The same name again, through New Pack and through Install: refused, nothing written.
        prompts.inputAnswers.enqueue(QStringLiteral("my table"));
        chooser.newPackAction()->trigger();
        QVERIFY(prompts.messages.last().text.contains(QStringLiteral("installed already")));
        chooser.installFrom(QDir(user.path()).filePath(QStringLiteral("My Table")));
        QVERIFY(prompts.messages.last().text.contains(QStringLiteral("installed already")));
        QCOMPARE(QDir(user.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{QStringLiteral("My Table")});

        prompts.messageAnswers.enqueue(AnswerNo);
        chooser.removeAction()->trigger();
        QCOMPARE(chooser.currentName(), QStringLiteral("My Table"));
        prompts.messageAnswers.enqueue(AnswerYes);
        chooser.removeAction()->trigger();
        QCOMPARE(chooser.currentName(), QString());
        QCOMPARE(rows(chooser).size(), 3);
    }
};

QTEST_MAIN(PackChooserTest)
#include "pack_chooser_test.moc"
