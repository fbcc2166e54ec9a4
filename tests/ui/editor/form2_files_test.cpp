// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands through the main window: load the main picture, save both cards, export.
#include "document/card_document.h"
#include "support/form2_fixture.h"
#include "support/gif_writer.h"
#include "support/images.h"
#include "support/small_disk.h"

#include <QCursor>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class Form2FilesTest : public QObject {
    Q_OBJECT
private slots:
    void loadCancelChangesNothing();
    void loadSetsThePictureAndOffersTheLastPath();
    void loadRefusesBrokenFiles();
    void loadShowsABusyCursorWhileTheWindowGoesOn();
    void loadRefusesAPipeAtOnce();
    void saveWritesFourFilesBlueFirst();
    void saveRedCancelledKeepsBlue();
    void saveIntoAFolderNamedJpgAndWithoutExtension();
    void saveToAnUnwritableFolderReports();
    void saveWithoutTheConverterWritesNothingAndReports();
    void saveNamesEveryFileItWouldReplaceInOneQuestion_data();
    void saveNamesEveryFileItWouldReplaceInOneQuestion();
    void saveNotReplacingOffersTheDialogAgain();
    void saveRedOnAFullDiskKeepsTheOldRedPair();
    void aBareNameLandsBesideTheLastFile();
    void exportStartState();
    void exportTrapAndLevels_data();
    void exportTrapAndLevels();
    void exportCancelledWritesNothingAndRestartsTheTimer();

private:
    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

void Form2FilesTest::loadCancelChangesNothing()
{
    Form2Fixture f;
    const QImage before = f.picMainPic()->image();
    f.cmdLoadMain()->click();
    QCOMPARE(f.prompts.fileRequests.size(), 1);
    const orvane::Dialog& asked = f.prompts.fileRequests.front().dialog;
    QCOMPARE(asked.DialogTitle, QStringLiteral("Open Main Picture..."));
    // The three filters of the layout in their order, the first selected, then all pictures.
    QCOMPARE(asked.Filter,
             QStringLiteral("Windows Bitmaps (*.bmp)|*.bmp|GIF Format (*.gif)|*.gif|"
                            "JPEG Compression (*.jpg)|*.jpg|All Pictures (*.bmp *.gif *.jpg *.jpeg "
                            "*.png)|*.bmp;*.gif;*.jpg;*.jpeg;*.png"));
    QCOMPARE(asked.FilterIndex, 1);
    QVERIFY(!f.prompts.fileRequests.front().save);
    QCOMPARE(f.picMainPic()->image(), before);
    QVERIFY(!f.form->document().needsRedraw());
    QCOMPARE(f.prompts.messages.size(), 0);
}

void Form2FilesTest::loadSetsThePictureAndOffersTheLastPath()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.bmp"));
    const QString second = dir.filePath(QStringLiteral("second.gif"));
    QVERIFY(gradient(100, 80).save(first, "BMP"));
    QFile gif(second);
    QVERIFY(gif.open(QIODevice::WriteOnly));
    gif.write(gifOf(solid(40, 30, 0x00FF00)));
    gif.close();
    Form2Fixture f;
    const int composedBefore = f.compositions();
    f.prompts.fileAnswers.enqueue(first);
    f.cmdLoadMain()->click();
    // Larger than the card: the box keeps the part the card can show, the preparation the whole.
    QCOMPARE(f.picMainPic()->size(), QSize(66, 66));
    QCOMPARE(f.picMainPic()->image(), gradient(100, 80).copy(0, 0, 62, 62));
    QCOMPARE(f.form->document().card().preparation.source, gradient(100, 80));
    QCOMPARE(f.prompts.messages.size(), 1);  // the offer to prepare it, answered No
    QVERIFY(f.prompts.messages.front().text.contains(QStringLiteral("100 × 80")));
    QVERIFY(f.compositions() > composedBefore);
    f.prompts.fileAnswers.enqueue(second);
    f.cmdLoadMain()->click();
    QCOMPARE(f.prompts.fileRequests[1].dialog.FileName, first);  // offered the last path
    QCOMPARE(f.picMainPic()->size(), QSize(44, 34));
    QCOMPARE(rgb(f.picMainPic()->image(), 39, 29), 0x00FF00u);
}

void Form2FilesTest::loadRefusesBrokenFiles()
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.bmp"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    Form2Fixture f;
    const QImage before = f.picMainPic()->image();
    f.prompts.fileAnswers.enqueue(text);
    f.cmdLoadMain()->click();
    QCOMPARE(f.picMainPic()->image(), before);
    QVERIFY(!f.form->document().needsRedraw());
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.front().text.contains(QStringLiteral("notes.bmp")));
}

void Form2FilesTest::loadShowsABusyCursorWhileTheWindowGoesOn()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.jpg"));
    QVERIFY(gradient(255, 255).scaled(3000, 3000).save(path, "JPEG"));
    Form2Fixture f;
    // Runs while the picture is read, if the window's events go on meanwhile.
    int cursorWhileLoading = -1;
    QTimer::singleShot(0, [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        cursorWhileLoading = cursor ? int(cursor->shape()) : int(Qt::ArrowCursor);
    });
    f.prompts.fileAnswers.enqueue(path);
    f.cmdLoadMain()->click();
    QCOMPARE(cursorWhileLoading, int(Qt::WaitCursor));
    QCOMPARE(f.picMainPic()->image().size(), QSize(62, 62));
    QCOMPARE(f.form->document().card().preparation.source.size(), QSize(3000, 3000));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void Form2FilesTest::loadRefusesAPipeAtOnce()
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("pipe.bmp"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    Form2Fixture f;
    const QImage before = f.picMainPic()->image();
    f.prompts.fileAnswers.enqueue(pipe);
    QElapsedTimer clock;
    clock.start();
    f.cmdLoadMain()->click();
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.front().text.contains(QStringLiteral("not a regular file")));
    QCOMPARE(f.picMainPic()->image(), before);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void Form2FilesTest::saveWritesFourFilesBlueFirst()
{
    QTemporaryDir dir;
    Form2Fixture f;
    f.type(0, QStringLiteral("7"));
    f.tick();
    QStringList seenWhileRedAsked;
    f.prompts.onFileDialog = [&] {
        seenWhileRedAsked = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    };
    f.prompts.fileAnswers = QQueue<QString>({dir.filePath("blue.jpg"), dir.filePath("red.jpg")});
    f.cmdSaveCards()->click();
    QCOMPARE(f.prompts.messages.size(), 0);
    QCOMPARE(f.prompts.fileRequests.size(), 2);
    QCOMPARE(f.prompts.fileRequests[0].dialog.DialogTitle, QStringLiteral("Save Blue Card..."));
    QCOMPARE(f.prompts.fileRequests[0].dialog.FileName, QStringLiteral("*.jpg"));
    QCOMPARE(f.prompts.fileRequests[0].dialog.Filter,
             QStringLiteral("JPEG Compression (*.jpg)|*.jpg"));
    QCOMPARE(f.prompts.fileRequests[1].dialog.DialogTitle, QStringLiteral("Save Red Card..."));
    for (const auto& request : f.prompts.fileRequests)
        QVERIFY(!request.dialog.OverwritePrompt);  // the replaced files are asked about in one
    QCOMPARE(seenWhileRedAsked, QStringList({"blue.bmp", "blue.jpg"}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
             QStringList({"blue.bmp", "blue.jpg", "red.bmp", "red.jpg"}));
    QCOMPARE(QImage(dir.filePath("blue.bmp")).convertToFormat(QImage::Format_RGB32),
             f.picBlueBase()->image());
    QCOMPARE(QImage(dir.filePath("red.bmp")).convertToFormat(QImage::Format_RGB32),
             f.picRedBase()->image());
    QVERIFY(!QImage(dir.filePath("red.jpg")).isNull());
    QVERIFY(f.nextSharedDialog().FileName.isEmpty());
}

void Form2FilesTest::saveRedCancelledKeepsBlue()
{
    QTemporaryDir dir;
    Form2Fixture f;
    f.prompts.fileAnswers = QQueue<QString>({dir.filePath("blue.jpg"), QString()});
    f.cmdSaveCards()->click();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
             QStringList({"blue.bmp", "blue.jpg"}));
    QCOMPARE(f.prompts.messages.size(), 0);
    QCOMPARE(f.nextSharedDialog().FileName, QStringLiteral("*.jpg"));
}

void Form2FilesTest::saveIntoAFolderNamedJpgAndWithoutExtension()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x.jpg")));
    Form2Fixture f;
    f.prompts.fileAnswers =
        QQueue<QString>({dir.filePath("x.jpg/hero.jpg"), dir.filePath("plain")});
    f.cmdSaveCards()->click();
    QCOMPARE(QDir(dir.filePath("x.jpg")).entryList(QDir::Files, QDir::Name),
             QStringList({"hero.bmp", "hero.jpg"}));
    QVERIFY(QFile::exists(dir.filePath("plain.jpg")));
    QVERIFY(QFile::exists(dir.filePath("plain.bmp")));
    QVERIFY(!QFile::exists(dir.filePath("x.bmp")));
    // Capital extensions are accepted as they are.
    f.prompts.fileAnswers = QQueue<QString>({dir.filePath("CAPS.JPG"), dir.filePath("r.jpg")});
    f.cmdSaveCards()->click();
    QVERIFY(QFile::exists(dir.filePath("CAPS.JPG")));
    QVERIFY(QFile::exists(dir.filePath("CAPS.bmp")));
}

void Form2FilesTest::saveToAnUnwritableFolderReports()
{
    QTemporaryDir dir;
    Form2Fixture f;
    // A missing folder, and a folder no one may write into (not even root: /proc).
    for (const QString& target :
         {dir.filePath("missing/folder/blue.jpg"), QStringLiteral("/proc/orvane-blue.jpg")}) {
        f.prompts.messages.clear();
        f.prompts.fileRequests.clear();
        f.prompts.fileAnswers = QQueue<QString>({target});
        f.cmdSaveCards()->click();
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages.front().text.contains(QStringLiteral("blue.bmp")));
        QCOMPARE(f.prompts.fileRequests.size(), 1);  // the red card is not asked for
        QVERIFY(!f.nextSharedDialog().FileName.isEmpty());
    }
}

void Form2FilesTest::saveWithoutTheConverterWritesNothingAndReports()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Form2::Services services;
    services.prompts = &prompts;
    services.assetRoot = qEnvironmentVariable("ORVANE_BIN_DIR");
    services.imageUtilsPath = dir.filePath(QStringLiteral("libMissing.so"));
    orvane::CardDocument card;
    Form2 form(services, card);
    form.findChild<WakeTimer*>(QStringLiteral("Timer1"))->stop();
    prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("blue.jpg")));
    form.findChild<QPushButton*>(QStringLiteral("cmdSaveCards"))->click();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(prompts.messages.front().text.contains(QStringLiteral("libMissing.so")));
    QVERIFY(prompts.messages.front().text.contains(QStringLiteral("blue.jpg")));
}

void Form2FilesTest::saveNamesEveryFileItWouldReplaceInOneQuestion_data()
{
    QTest::addColumn<QStringList>("present");  // files there before the save
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("named");  // the files the one question names, in order
    QTest::newRow("nothing there") << QStringList{"other.jpg"} << "hero.jpg" << QStringList{};
    QTest::newRow("the bitmap beside")
        << QStringList{"hero.bmp"} << "hero.jpg" << QStringList{"hero.bmp"};
    QTest::newRow("both") << QStringList{"hero.bmp", "hero.jpg"} << "hero.jpg"
                          << QStringList{"hero.jpg", "hero.bmp"};
    QTest::newRow("completed name")
        << QStringList{"keep", "keep.jpg"} << "keep" << QStringList{"keep.jpg"};
}

void Form2FilesTest::saveNamesEveryFileItWouldReplaceInOneQuestion()
{
    QFETCH(QStringList, present);
    QFETCH(QString, typed);
    QFETCH(QStringList, named);
    QTemporaryDir dir;
    for (const QString& name : present) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("the user's " + name.toUtf8());
    }
    Form2Fixture f;
    // The question is answered "No", the dialog offered again is cancelled: nothing is written.
    f.prompts.fileAnswers = QQueue<QString>({dir.filePath(typed)});
    f.cmdSaveCards()->click();
    if (named.isEmpty()) {
        QCOMPARE(f.prompts.messages.size(), 0);
        return;
    }
    QCOMPARE(f.prompts.messages.size(), 1);
    const auto& question = f.prompts.messages.front();
    QCOMPARE(question.style, int(orvane::YesNo | orvane::Exclamation));
    QVERIFY(question.text.startsWith(QStringLiteral("The blue card would replace")));
    qsizetype at = 0;
    for (const QString& name : named) {
        const qsizetype found = question.text.indexOf(QDir::toNativeSeparators(dir.filePath(name)));
        QVERIFY2(found > at, qPrintable(question.text));
        at = found;
    }
    for (const QString& name : present)
        QCOMPARE(read(dir.filePath(name)), "the user's " + name.toUtf8());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), present.size());
}

void Form2FilesTest::saveNotReplacingOffersTheDialogAgain()
{
    QTemporaryDir dir;
    QFile old(dir.filePath("hero.bmp"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("my drawing");
    old.close();
    Form2Fixture f;
    f.prompts.messageAnswers = QQueue<int>({orvane::AnswerNo, orvane::AnswerYes});
    f.prompts.fileAnswers = QQueue<QString>(
        {dir.filePath("hero.jpg"), dir.filePath("hero.jpg"), dir.filePath("red.jpg")});
    f.cmdSaveCards()->click();
    QCOMPARE(f.prompts.fileRequests.size(), 3);
    QCOMPARE(f.prompts.fileRequests[1].dialog.DialogTitle, QStringLiteral("Save Blue Card..."));
    QCOMPARE(f.prompts.fileRequests[1].dialog.FileName, dir.filePath("hero.jpg"));
    QCOMPARE(f.prompts.messages.size(), 2);
    QCOMPARE(QImage(dir.filePath("hero.bmp")).convertToFormat(QImage::Format_RGB32),
             f.picBlueBase()->image());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"hero.bmp", "hero.jpg", "red.bmp", "red.jpg"}));
}

void Form2FilesTest::saveRedOnAFullDiskKeepsTheOldRedPair()
{
    SmallDisk disk(128);
    if (!disk.mounted())
        QSKIP("a memory disk cannot be mounted here (needs root)");
    QTemporaryDir blueDir;
    for (const char* name : {"red.jpg", "red.bmp"}) {
        QFile file(disk.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("old ") + name);
    }
    QVERIFY(disk.fillLeaving(3 * 4096));  // room for the new bitmap, not for its JPEG
    const auto before = disk.contents();
    Form2Fixture f;
    f.prompts.messageAnswers = QQueue<int>({orvane::AnswerYes});
    f.prompts.fileAnswers =
        QQueue<QString>({blueDir.filePath("blue.jpg"), disk.filePath("red.jpg")});
    f.cmdSaveCards()->click();
    QCOMPARE(f.prompts.messages.size(), 2);  // the question, then the failure
    QVERIFY(f.prompts.messages[1].text.contains(QStringLiteral("The red card could not be saved")));
    QCOMPARE(disk.contents(), before);
    QCOMPARE(QDir(blueDir.path()).entryList(QDir::Files), QStringList({"blue.bmp", "blue.jpg"}));
}

// Every file command shares one dialog, which keeps the folder of the last chosen file.
void Form2FilesTest::aBareNameLandsBesideTheLastFile()
{
    QTemporaryDir dir;
    QTemporaryDir pictures;
    Form2Fixture f;
    f.prompts.fileAnswers = QQueue<QString>({dir.filePath("blue.jpg"), QStringLiteral("red.jpg")});
    f.cmdSaveCards()->click();
    QCOMPARE(f.prompts.messages.size(), 0);
    QCOMPARE(f.prompts.fileRequests[1].dialog.startFolder(), dir.path());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
             QStringList({"blue.bmp", "blue.jpg", "red.bmp", "red.jpg"}));

    // Load Main Picture... opens where the cards went; a bare name is looked for there.
    QVERIFY(gradient(20, 20).save(dir.filePath("hero.bmp"), "BMP"));
    f.prompts.fileAnswers.enqueue(QStringLiteral("hero.bmp"));
    f.cmdLoadMain()->click();
    QCOMPARE(f.prompts.fileRequests[2].dialog.startFolder(), dir.path());
    QCOMPARE(f.prompts.messages.size(), 0);
    QCOMPARE(f.picMainPic()->image().size(), QSize(20, 20));

    // ... and the other way round: a picture loaded elsewhere moves the next save there.
    QVERIFY(gradient(20, 20).save(pictures.filePath("other.bmp"), "BMP"));
    f.prompts.fileAnswers = QQueue<QString>(
        {pictures.filePath("other.bmp"), QStringLiteral("b2.jpg"), QStringLiteral("r2.jpg")});
    f.cmdLoadMain()->click();
    f.cmdSaveCards()->click();
    QCOMPARE(f.prompts.messages.size(), 0);
    QVERIFY(QFile::exists(pictures.filePath("b2.jpg")));
    QVERIFY(QFile::exists(pictures.filePath("r2.jpg")));
}

void Form2FilesTest::exportStartState()
{
    QTemporaryDir dir;
    Form2Fixture f;
    f.cmdSaveCards()->click();  // cancelled: leaves the shared dialog not asking to replace
    QVERIFY(!f.nextSharedDialog().OverwritePrompt);
    f.prompts.fileRequests.clear();
    f.timer()->start();
    bool timerStoppedWhileAsked = false;
    f.prompts.onFileDialog = [&] { timerStoppedWhileAsked = !f.timer()->isActive(); };
    f.prompts.inputAnswers.enqueue(QStringLiteral("[My] Card"));
    f.prompts.fileAnswers.enqueue(dir.filePath("card.txt"));
    f.form->run(Form2::Command::ExportCardData);
    QVERIFY(f.prompts.fileRequests.front().dialog.OverwritePrompt);  // asks nothing itself
    QVERIFY(timerStoppedWhileAsked);
    QVERIFY(f.timer()->isActive());
    QCOMPARE(f.prompts.inputs.front().first, QStringLiteral("What is the name of your card?"));
    QCOMPARE(f.prompts.inputs.front().second, QStringLiteral("Name"));
    QCOMPARE(f.prompts.fileRequests.front().dialog.FileName, QStringLiteral("[My] Card.txt"));
    QCOMPARE(f.prompts.fileRequests.front().dialog.Filter,
             QStringLiteral("Text Files (*.txt)|*.txt"));
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    QCOMPARE(read(dir.filePath("card.txt")),
             QByteArray("[[My] Card]\r\nID=\r\nLevel=10\r\nLeft=10\r\nUp=10\r\nRight=10\r\n"
                        "Down=10\r\nElement=None\r\nDate=") +
                 date.toLocal8Bit() + "\r\nAvailable=Yes\r\n");
}

void Form2FilesTest::exportTrapAndLevels_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("element");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("trap") << QStringList() << 10
                          << QByteArray(
                                 "Level=1\r\nLeft=2\r\nUp=2\r\nRight=2\r\nDown=2\r\nElement=None");
    const struct {
        const char* name;
        QStringList texts;
        int level;
    } levels[] = {{"8", {"2", "2", "2", "2"}, 1},  {"9", {"3", "2", "2", "2"}, 2},
                  {"10", {"10", "", "", ""}, 2},   {"11", {"5", "2", "2", "2"}, 3},
                  {"22", {"A", "A", "1", "1"}, 8}, {"23", {"A", "A", "2", "1"}, 9},
                  {"25", {"A", "A", "3", "2"}, 9}, {"26", {"A", "A", "3", "3"}, 10}};
    for (const auto& l : levels)
        QTest::newRow(l.name) << l.texts << 6 << QByteArray("Level=") + QByteArray::number(l.level);
}

void Form2FilesTest::exportTrapAndLevels()
{
    QFETCH(QStringList, texts);
    QFETCH(int, element);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    Form2Fixture f;
    f.optElem(size_t(element))->click();
    for (int i = 0; i < texts.size(); ++i)
        f.type(i, texts[i]);
    f.prompts.inputAnswers.enqueue(QStringLiteral("c"));
    f.prompts.fileAnswers.enqueue(dir.filePath("c.txt"));
    f.form->run(Form2::Command::ExportCardData);
    QVERIFY2(read(dir.filePath("c.txt")).contains(expected),
             read(dir.filePath("c.txt")).constData());
}

void Form2FilesTest::exportCancelledWritesNothingAndRestartsTheTimer()
{
    QTemporaryDir dir;
    Form2Fixture f;
    f.timer()->start();
    f.form->run(Form2::Command::ExportCardData);  // name cancelled
    QVERIFY(f.timer()->isActive());
    QCOMPARE(f.prompts.fileRequests.size(), 0);
    f.prompts.inputAnswers.enqueue(QStringLiteral("n"));
    f.form->run(Form2::Command::ExportCardData);  // dialog cancelled
    QVERIFY(f.timer()->isActive());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 0);
    f.prompts.inputAnswers.enqueue(QStringLiteral("n"));
    f.prompts.fileAnswers.enqueue(dir.filePath("no/such/n.txt"));
    f.form->run(Form2::Command::ExportCardData);  // cannot be written
    QVERIFY(f.timer()->isActive());
    QCOMPARE(f.prompts.messages.size(), 1);
}

QTEST_MAIN(Form2FilesTest)
#include "form2_files_test.moc"
