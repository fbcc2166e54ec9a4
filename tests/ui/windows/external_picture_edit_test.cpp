// SPDX-License-Identifier: GPL-3.0-or-later
// Edit Main Picture Externally...: the file opened, a save there taken as one undoable step, a
// missing program named once with the card unchanged, a broken save reported once.
#include "document/card_document.h"
#include "render/picture_prep.h"
#include "support/images.h"
#include "support/scripted_prompts.h"
#include "support/temp_settings.h"
#include "windows/external_picture_edit.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <QUndoStack>

using namespace orvane;

namespace {

// Writes the file as an editor saves: a new file renamed over the old one.
bool saveAsAnEditorDoes(const QImage& image, const QString& path)
{
    const QString temporary = path + QStringLiteral(".saving.png");
    return image.save(temporary, "PNG") && (!QFile::exists(path) || QFile::remove(path)) &&
           QFile::rename(temporary, path);
}

}  // namespace

class ExternalPictureEditTest : public QObject {
    Q_OBJECT
private slots:
    void theFileOpenedAndItsSavesTaken_data();
    void theFileOpenedAndItsSavesTaken();
    void aMissingProgramIsNamedAndTheCardUnchanged();
    void aSaveThatIsNoPictureIsReportedOnce();
};

void ExternalPictureEditTest::theFileOpenedAndItsSavesTaken_data()
{
    QTest::addColumn<bool>("ownFile");
    QTest::addColumn<bool>("prepared");
    QTest::newRow("the picture's own file") << true << false;
    QTest::newRow("a prepared picture's source") << true << true;
    QTest::newRow("no file: a PNG of the card's picture") << false << false;
}

void ExternalPictureEditTest::theFileOpenedAndItsSavesTaken()
{
    QFETCH(bool, ownFile);
    QFETCH(bool, prepared);
    TempSettings settings;
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    CardDocument document;
    const QImage first = prepared ? gradient(200, 100) : gradient(40, 30);
    const QString path = dir.filePath(QStringLiteral("art.png"));
    QVERIFY(first.save(path, "PNG"));
    PictureFit fit;
    fit.colours = ColourMode::Reduce;
    fit.colourCount = 3;
    if (prepared)
        document.setMainPicture(preparePicture(first, fit), path, {first, fit});
    else
        document.setMainPicture(first, ownFile ? path : QString());
    const int steps = document.undoStack()->count();

    ExternalPictureEdit edit(&document, &prompts);
    QString startedProgram, startedFile;
    edit.setLauncher([&](const QString& program, const QString& file, QString*) {
        startedProgram = program;
        startedFile = file;
        return true;
    });
    ExternalPictureEdit::setProgram(QStringLiteral("/usr/bin/my-painter"));
    QVERIFY(edit.start());
    QCOMPARE(startedProgram, QStringLiteral("/usr/bin/my-painter"));
    QCOMPARE(startedFile, ownFile ? path : edit.file());
    QCOMPARE(QImage(startedFile).convertToFormat(QImage::Format_RGB32).size(), first.size());

    QSignalSpy taken(&edit, &ExternalPictureEdit::pictureTaken);
    const QImage edited = solid(first.width(), first.height(), qRgb(200, 40, 40));
    QVERIFY(saveAsAnEditorDoes(edited, startedFile));
    QTRY_COMPARE(taken.count(), 1);
    QCOMPARE(document.undoStack()->count(), steps + 1);
    if (prepared) {
        QCOMPARE(document.card().preparation.fit, fit);  // made again with its settings
        QCOMPARE(document.card().mainPicture, preparePicture(edited, fit));
    } else {
        QCOMPARE(document.card().mainPicture, edited);
    }
    document.undoStack()->undo();
    QCOMPARE(document.card().mainPicture, prepared ? preparePicture(first, fit) : first);
    QVERIFY(prompts.messages.isEmpty());
}

void ExternalPictureEditTest::aMissingProgramIsNamedAndTheCardUnchanged()
{
    TempSettings settings;
    ScriptedPrompts prompts;
    CardDocument document;
    document.setMainPicture(gradient(20, 20), {});
    const Card before = document.card();
    ExternalPictureEdit edit(&document, &prompts);  // the real launcher
    ExternalPictureEdit::setProgram(QStringLiteral("/nonexistent/painter"));
    QVERIFY(!edit.start());
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(prompts.messages.front().text.contains(QLatin1String("/nonexistent/painter")));
    QVERIFY(document.card() == before);

    // No picture: said so, nothing started.
    CardDocument empty;
    ExternalPictureEdit none(&empty, &prompts);
    none.setLauncher([](const QString&, const QString&, QString*) { return true; });
    QVERIFY(!none.start());
    QCOMPARE(prompts.messages.size(), 2);
}

void ExternalPictureEditTest::aSaveThatIsNoPictureIsReportedOnce()
{
    TempSettings settings;
    ScriptedPrompts prompts;
    CardDocument document;
    document.setMainPicture(gradient(20, 20), {});
    const Card before = document.card();
    ExternalPictureEdit edit(&document, &prompts);
    edit.setLauncher([](const QString&, const QString&, QString*) { return true; });
    QVERIFY(edit.start());
    for (int k = 0; k < 2; ++k) {
        QFile file(edit.file());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture at all, and no PNG end either");
        file.close();
        QTest::qWait(1300);  // held back as incomplete, then let through once
    }
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(document.card() == before);
}

QTEST_MAIN(ExternalPictureEditTest)
#include "external_picture_edit_test.moc"
