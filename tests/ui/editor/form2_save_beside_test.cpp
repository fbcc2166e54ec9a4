// SPDX-License-Identifier: GPL-3.0-or-later
// Files read and written beside the window: what a close or an edit arriving meanwhile does,
// and a photo's card file saved through the window.
#include "card/card_file.h"
#include "document/card_document.h"
#include "support/form2_fixture.h"
#include "support/temp_settings.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

class Form2SaveBesideTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_settings = std::make_unique<TempSettings>(); }
    void closeMeanwhileWaitsForTheFile_data();
    void closeMeanwhileWaitsForTheFile();
    void anEditMeanwhileKeepsTheCardUnsaved();
    void aCloseWaitsForEveryFileInFlight();
    void aFailedSaveSaysWhyOnce();
    void aPhotoCardFileKeepsItsJpeg();

private:
    std::unique_ptr<TempSettings> m_settings;
};

namespace {

// A photo-like JPEG larger than the card.
QString writePhoto(const QString& path, int w, int h)
{
    QImage photo(w, h, QImage::Format_RGB32);
    quint32 noise = 5;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            noise = noise * 1664525u + 1013904223u;
            photo.setPixel(x, y, qRgb((x + int(noise >> 29)) % 256, (2 * y) % 256, (x ^ y) % 256));
        }
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    if (!writer.write(photo))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Runs `what` once the window's event loop next runs: inside the loop that waits for the file.
void whileTheFileIsBusy(Form2Fixture& f, std::function<void()> what)
{
    QMetaObject::invokeMethod(f.window.get(), std::move(what), Qt::QueuedConnection);
}

}  // namespace

void Form2SaveBesideTest::closeMeanwhileWaitsForTheFile_data()
{
    QTest::addColumn<QString>("work");
    QTest::addColumn<bool>("unsavedAfter");  // the window then asks, and is told Cancel
    QTest::newRow("save") << QStringLiteral("save") << false;
    QTest::newRow("open") << QStringLiteral("open") << false;
    QTest::newRow("load a picture") << QStringLiteral("load") << true;
}

// A close that comes while a file is read or written neither asks about unsaved changes in the
// middle nor ends the window under the work: the window closes once the file is done, and asks
// only if something is still unsaved then.
void Form2SaveBesideTest::closeMeanwhileWaitsForTheFile()
{
    QFETCH(QString, work);
    QFETCH(bool, unsavedAfter);
    QTemporaryDir dir;
    const QString photo = writePhoto(dir.filePath(QStringLiteral("photo.jpg")), 300, 200);
    const QString card = dir.filePath(QStringLiteral("c.orvcard"));
    orvane::Card stored;
    stored.x = 5;
    QVERIFY(orvane::writeCardFile(stored, card, nullptr));
    Form2Fixture f;
    f->show();
    if (work != QLatin1String("open"))
        f.scrX()->setValue(3);
    bool closedDuringTheWork = true;
    whileTheFileIsBusy(f, [&] { closedDuringTheWork = !f->close(); });
    if (work == QLatin1String("save")) {
        f.prompts.fileAnswers.enqueue(card);
        f.prompts.messageAnswers.enqueue(orvane::AnswerYes);  // replaces the file there
        QVERIFY(f.cardFiles().saveCardFileAs());
    } else if (work == QLatin1String("open")) {
        f.prompts.fileAnswers.enqueue(card);
        f.actOpenCard()->trigger();
        QCOMPARE(f.card().x, 5);
    } else {
        f.prompts.messageAnswers.enqueue(orvane::AnswerNo);  // not prepared now
        QVERIFY(f.form->loadMainPictureFile(photo));
        QCOMPARE(f.card().mainPicturePath, photo);
    }
    QVERIFY(closedDuringTheWork);  // refused while the work ran
    QVERIFY(f.prompts.saveQuestions.isEmpty());
    QVERIFY(f->isVisible());
    f.prompts.saveAnswers.enqueue(orvane::SaveChoice::Cancel);
    QCoreApplication::processEvents();  // the close asked for meanwhile
    QCOMPARE(f.prompts.saveQuestions.size(), unsavedAfter ? 1 : 0);
    QCOMPARE(f->isVisible(), unsavedAfter);
}

// The file holds the card as it was when the save began; a change made meanwhile is not in it,
// so the card stays marked unsaved instead of losing that change on close.
void Form2SaveBesideTest::anEditMeanwhileKeepsTheCardUnsaved()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("c.orvcard"));
    Form2Fixture f;
    f.scrX()->setValue(3);
    whileTheFileIsBusy(f, [&] { f.form->document().moveMainPicture(9, 9); });
    f.prompts.fileAnswers.enqueue(file);
    QVERIFY(!f.cardFiles().saveCardFileAs());
    QCOMPARE(orvane::readCardFile(file).card->x, 3);
    QCOMPARE(f.card().x, 9);
    QVERIFY(f.form->document().isModified());
    QVERIFY(f.status().contains(QLatin1String("changed meanwhile")));
    QVERIFY(f.prompts.messages.isEmpty());
}

// A picture loaded (by something other than the input, which waits) while a save runs: the
// close asked for before both waits for the last of them.
void Form2SaveBesideTest::aCloseWaitsForEveryFileInFlight()
{
    QTemporaryDir dir;
    const QString photo = writePhoto(dir.filePath(QStringLiteral("photo.jpg")), 300, 200);
    Form2Fixture f;
    f->show();
    f.scrX()->setValue(3);
    whileTheFileIsBusy(f, [&] { f->close(); });
    bool loaded = false;
    whileTheFileIsBusy(f, [&] {
        f.prompts.messageAnswers.enqueue(orvane::AnswerNo);
        loaded = f.form->loadMainPictureFile(photo);
    });
    f.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("c.orvcard")));
    QVERIFY(!f.cardFiles().saveCardFileAs());  // the picture came while it was written
    QVERIFY(loaded);
    QVERIFY(f.prompts.saveQuestions.isEmpty());
    f.prompts.saveAnswers.enqueue(orvane::SaveChoice::Cancel);
    QCoreApplication::processEvents();
    QCOMPARE(f.prompts.saveQuestions.size(), 1);  // asked once both were done
    QVERIFY(f->isVisible());
}

// The message names the file once, says why, and that nothing was lost.
void Form2SaveBesideTest::aFailedSaveSaysWhyOnce()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("gone/c.orvcard"));
    Form2Fixture f;
    f.scrX()->setValue(3);
    f.prompts.fileAnswers.enqueue(file);
    QVERIFY(!f.cardFiles().saveCardFileAs());
    QCOMPARE(f.prompts.messages.size(), 1);
    const QString text = f.prompts.messages[0].text;
    QCOMPARE(text.count(QDir::toNativeSeparators(file)), 1);
    QVERIFY2(text.startsWith(QStringLiteral("The card file ")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral(".\n\nThe card stays unsaved.")), qPrintable(text));
    QVERIFY(!text.contains(QLatin1String("..")));
    QVERIFY(f.form->document().isModified());
    QVERIFY(!QFileInfo::exists(file));
}

// A photo loaded and saved through the window: the card file holds the JPEG's own bytes, not a
// far larger PNG of them, and opens again to the same card and source.
void Form2SaveBesideTest::aPhotoCardFileKeepsItsJpeg()
{
    QTemporaryDir dir;
    const QString photo = writePhoto(dir.filePath(QStringLiteral("photo.jpg")), 640, 480);
    const QString file = dir.filePath(QStringLiteral("photo.orvcard"));
    Form2Fixture f;
    f.prompts.messageAnswers.enqueue(orvane::AnswerNo);
    QVERIFY(f.form->loadMainPictureFile(photo));
    QVERIFY(!f.card().preparation.source.isNull());
    f.prompts.fileAnswers.enqueue(file);
    QVERIFY(f.cardFiles().saveCardFileAs());

    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray json = saved.readAll();
    const QJsonObject preparation =
        QJsonDocument::fromJson(json).object().value(QLatin1String("preparation")).toObject();
    QFile original(photo);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(
        QByteArray::fromBase64(preparation.value(QLatin1String("original")).toString().toLatin1()),
        original.readAll());
    QVERIFY(!preparation.contains(QLatin1String("png")));
    QVERIFY(json.size() < 2 * original.size());

    Form2Fixture g;
    g.prompts.fileAnswers.enqueue(file);
    g.actOpenCard()->trigger();
    QVERIFY(g.prompts.messages.isEmpty());
    orvane::Card expected = f.card();
    expected.name = QStringLiteral("photo");
    QVERIFY(g.card() == expected);
    // Saved again from the opened card: the source is still the JPEG.
    g.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("again.orvcard")));
    QVERIFY(g.cardFiles().saveCardFileAs());
    QFile again(dir.filePath(QStringLiteral("again.orvcard")));
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(QJsonDocument::fromJson(again.readAll()).object().value(QLatin1String("preparation")),
             QJsonValue(preparation));
}

QTEST_MAIN(Form2SaveBesideTest)
#include "form2_save_beside_test.moc"
