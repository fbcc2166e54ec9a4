// SPDX-License-Identifier: GPL-3.0-or-later
// Export Cards and Play Sheets start in the open set's folder; without a set, where they went
// last (the home or pictures folder the first time).
#include "setpanel/set_commands.h"
#include "support/form2_fixture.h"
#include "support/temp_settings.h"
#include "windows/export_cards_dialog.h"
#include "windows/play_sheets_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

class StartFolderTest : public QObject {
    Q_OBJECT
private slots:
    void dialogsStartInTheSetsFolder_data();
    void dialogsStartInTheSetsFolder();
};

void StartFolderTest::dialogsStartInTheSetsFolder_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("withSet");
    for (const char* action : {"actExportCards", "actPlaySheets"}) {
        QTest::addRow("%s, a set open", action) << QString(action) << true;
        QTest::addRow("%s, no set", action) << QString(action) << false;
    }
}

void StartFolderTest::dialogsStartInTheSetsFolder()
{
    QFETCH(QString, action);
    QFETCH(bool, withSet);
    TempSettings settings;
    QTemporaryDir dir;
    const QString deck = dir.filePath("deck.csv");
    QFile file(deck);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("name,up,left,right,down,element,arrows,picture\nSlime,1,2,3,4,fire,up,\n");
    file.close();
    Form2Fixture f;
    if (withSet)
        QVERIFY(f->findChild<orvane::SetCommands*>()->openSet(deck));
    f.child<QAction>(action)->trigger();

    QString shown;
    if (auto* exportDialog = f->findChild<ExportCardsDialog*>())
        shown = QDir::fromNativeSeparators(exportDialog->txtFolder->text());
    else if (auto* sheets = f->findChild<PlaySheetsDialog*>())
        shown = QFileInfo(QDir::fromNativeSeparators(sheets->txtSheet->text())).absolutePath();
    else
        QFAIL("no dialog opened");
    const QString folder = QFileInfo(dir.path()).absoluteFilePath();
    QCOMPARE(QDir::cleanPath(shown) == QDir::cleanPath(folder), withSet);
}

QTEST_MAIN(StartFolderTest)
#include "start_folder_test.moc"
