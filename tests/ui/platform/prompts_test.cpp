// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt prompts without showing them: message styles, and the file dialog's handling of
// wildcard names, of its start folder and of the listing's icons.
#include "platform/file_dialog.h"
#include "platform/file_icons.h"
#include "platform/qt_prompts.h"

#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {

bool touch(const QString& path, const QByteArray& content = {})
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Types into the name box and presses Enter, as the user does.
void enter(FileDialog& dialog, const QString& text)
{
    dialog.nameBox()->setText(text);
    QTest::keyClick(dialog.nameBox(), Qt::Key_Return);
}

}  // namespace

class PromptsTest : public QObject {
    Q_OBJECT
private slots:
    void messageIcons_data();
    void messageIcons();
    void messageButtons_data();
    void messageButtons();
    void longPathsWrapInMessageBoxes_data();
    void longPathsWrapInMessageBoxes();
    void wildcardNamesFilterAndKeepTheDialogOpen_data();
    void wildcardNamesFilterAndKeepTheDialogOpen();
    void aWildcardInAFolderIsRefused();
    void aRealNameIsAccepted();
    void anExistingFileIsAskedAboutUnlessTheCommandAsks();
    void aBareNameLandsInTheFolderOfTheLastChoice();
    void listingTypesComeFromTheNameOnly();
};

void PromptsTest::messageIcons_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::newRow("critical") << int(Critical) << QMessageBox::Critical;
    QTest::newRow("question") << int(Question) << QMessageBox::Question;
    QTest::newRow("exclamation") << int(Exclamation) << QMessageBox::Warning;
    QTest::newRow("information") << int(Information) << QMessageBox::Information;
    QTest::newRow("none") << int(OkOnly) << QMessageBox::NoIcon;
    QTest::newRow("yes/no question") << int(YesNo | Question) << QMessageBox::Question;
    QTest::newRow("yes/no/cancel exclamation")
        << int(YesNoCancel | Exclamation) << QMessageBox::Warning;
    QTest::newRow("retry/cancel critical") << int(RetryCancel | Critical) << QMessageBox::Critical;
    // Bits above the icon (modality, default button) change nothing.
    QTest::newRow("exclamation, second button default")
        << int(Exclamation | 256) << QMessageBox::Warning;
}

void PromptsTest::messageIcons()
{
    QFETCH(int, style);
    QFETCH(QMessageBox::Icon, icon);
    QCOMPARE(messageIcon(style), icon);
    QMessageBox box;
    setUpMessageBox(box, style);
    QCOMPARE(box.icon(), icon);
}

void PromptsTest::messageButtons_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("answers");  // in the order shown
    QTest::newRow("ok") << int(OkOnly | Exclamation) << QList<int>{AnswerOk};
    QTest::newRow("ok/cancel") << int(OkCancel) << QList<int>{AnswerOk, AnswerCancel};
    QTest::newRow("abort/retry/ignore")
        << int(AbortRetryIgnore) << QList<int>{AnswerAbort, AnswerRetry, AnswerIgnore};
    QTest::newRow("yes/no/cancel")
        << int(YesNoCancel | Question) << QList<int>{AnswerYes, AnswerNo, AnswerCancel};
    QTest::newRow("yes/no") << int(YesNo | Question) << QList<int>{AnswerYes, AnswerNo};
    QTest::newRow("retry/cancel") << int(RetryCancel) << QList<int>{AnswerRetry, AnswerCancel};
    QTest::newRow("yes/no, no the default")
        << int(YesNo | Question | DefaultButton2) << QList<int>{AnswerYes, AnswerNo};
}

void PromptsTest::messageButtons()
{
    QFETCH(int, style);
    QFETCH(QList<int>, answers);
    QMessageBox box;
    const QList<MessageButton> buttons = setUpMessageBox(box, style);
    QList<int> shown;
    for (const MessageButton& b : buttons) {
        shown << b.answer;
        QVERIFY(box.button(b.button));
    }
    QCOMPARE(shown, answers);
    QCOMPARE(box.buttons().size(), answers.size());
    const int defaultIndex = (style & DefaultButton2) ? 1 : 0;
    QCOMPARE(static_cast<QAbstractButton*>(box.defaultButton()),
             box.button(buttons[defaultIndex].button));
}

void PromptsTest::wildcardNamesFilterAndKeepTheDialogOpen_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filter");  // the listing's filter afterwards
    QTest::newRow("save, the offered name") << true << "*.jpg"
                                            << "JPEG Compression (*.jpg)";
    QTest::newRow("save, another pattern") << true << "*.bmp"
                                           << "*.bmp";
    QTest::newRow("save, question mark") << true << "card?.jpg"
                                         << "card?.jpg";
    QTest::newRow("save, full path") << true << "%1/sub/*.jpg"
                                     << "JPEG Compression (*.jpg)";
    QTest::newRow("open, pattern") << false << "*.gif"
                                   << "*.gif";
    QTest::newRow("open, all") << false << "*"
                               << "*";
}

void PromptsTest::wildcardNamesFilterAndKeepTheDialogOpen()
{
    QFETCH(bool, save);
    QFETCH(QString, typed);
    QFETCH(QString, filter);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(touch(dir.filePath(QStringLiteral("card1.jpg"))));
    Dialog settings;
    settings.Filter = QStringLiteral("JPEG Compression (*.jpg)|*.jpg");
    settings.FileName = QStringLiteral("*.jpg");
    settings.InitDir = dir.path();
    FileDialog dialog(settings, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QCOMPARE(QDir(dialog.directory()), QDir(dir.path()));
    QCOMPARE(dialog.nameBox()->text(), QStringLiteral("*.jpg"));  // offered as given
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    enter(dialog, typed.contains(QLatin1String("%1")) ? typed.arg(dir.path()) : typed);
    dialog.accept();  // the dialog's button, pressed on the same text
    QCOMPARE(accepted.size(), 0);
    QCOMPARE(dialog.selectedNameFilter(), filter);
    QCOMPARE(dialog.nameBox()->text(), QFileInfo(typed).fileName());
    if (typed.contains(QLatin1String("sub")))
        QCOMPARE(QDir(dialog.directory()), QDir(dir.filePath(QStringLiteral("sub"))));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"card1.jpg"}));
}

void PromptsTest::aWildcardInAFolderIsRefused()
{
    QTemporaryDir dir;
    Dialog settings;
    settings.InitDir = dir.path();
    FileDialog dialog(settings, QFileDialog::AcceptSave);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    for (const QString& typed : {dir.filePath(QStringLiteral("*/card.jpg")),
                                 dir.filePath(QStringLiteral("missing/*.jpg"))}) {
        enter(dialog, typed);
        dialog.accept();
        QCOMPARE(accepted.size(), 0);
        QCOMPARE(QDir(dialog.directory()), QDir(dir.path()));
    }
}

void PromptsTest::aRealNameIsAccepted()
{
    QTemporaryDir dir;
    Dialog settings;
    settings.FileName = QStringLiteral("*.jpg");
    settings.InitDir = dir.path();
    FileDialog dialog(settings, QFileDialog::AcceptSave);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    dialog.nameBox()->setText(QStringLiteral("blue.jpg"));
    dialog.accept();
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(dialog.selectedFiles(), QStringList({dir.filePath(QStringLiteral("blue.jpg"))}));
}

// Where the command asks its own question (or adds to the file chosen), the dialog asks none:
// an existing file is taken at once.
void PromptsTest::anExistingFileIsAskedAboutUnlessTheCommandAsks()
{
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("deck.csv")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    Dialog settings;
    settings.InitDir = dir.path();
    QVERIFY(!FileDialog(settings, QFileDialog::AcceptSave)
                 .testOption(QFileDialog::DontConfirmOverwrite));
    settings.OverwritePrompt = false;
    FileDialog dialog(settings, QFileDialog::AcceptSave);
    QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    dialog.nameBox()->setText(QStringLiteral("deck.csv"));
    dialog.accept();
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(dialog.selectedFiles(), QStringList({existing.fileName()}));
}

// The shared settings remember the folder of the last chosen file: a bare name typed in the
// next dialog lands beside it, whatever the next dialog is for.
void PromptsTest::aBareNameLandsInTheFolderOfTheLastChoice()
{
    QTemporaryDir dir;
    Dialog settings;
    settings.choose(dir.filePath(QStringLiteral("blue.jpg")));  // typed as a full path
    settings.FileName = QStringLiteral("*.jpg");                // the next command's offer
    FileDialog red(settings, QFileDialog::AcceptSave);
    QCOMPARE(QDir(red.directory()), QDir(dir.path()));
    red.nameBox()->setText(QStringLiteral("red.jpg"));
    red.accept();
    QCOMPARE(red.result(), int(QDialog::Accepted));
    settings.choose(red.selectedFiles().constFirst());
    QCOMPARE(settings.FileName, dir.filePath(QStringLiteral("red.jpg")));

    settings.FileName.clear();  // as after a save: the open dialog still starts there
    FileDialog open(settings, QFileDialog::AcceptOpen);
    QCOMPARE(QDir(open.directory()), QDir(dir.path()));
}

// The listing names a file's type from its name: a file without extension that starts like a
// PNG picture is no "PNG image", because its content is never read (a read of a file such as
// /proc/kmsg never returns).
void PromptsTest::listingTypesComeFromTheNameOnly()
{
    QTemporaryDir dir;
    const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    const QString plain = dir.filePath(QStringLiteral("noextension"));
    const QString picture = dir.filePath(QStringLiteral("card.bmp"));
    QVERIFY(touch(plain, png));
    QVERIFY(touch(picture));
    const FileIcons icons;
    // The default provider reads the file and finds a PNG picture; this one does not.
    const QString pngType = QMimeDatabase().mimeTypeForName(QStringLiteral("image/png")).comment();
    QCOMPARE(QFileIconProvider().type(QFileInfo(plain)), pngType);
    QCOMPARE(icons.type(QFileInfo(plain)), QStringLiteral("File"));
    QVERIFY(icons.type(QFileInfo(picture)).contains(QLatin1String("image"), Qt::CaseInsensitive));
    QCOMPARE(icons.type(QFileInfo(dir.path())), QStringLiteral("Folder"));
    QCOMPARE(icons.type(QFileInfo(QStringLiteral("/"))), QStringLiteral("Drive"));
    QCOMPARE(icons.type(QFileInfo(QStringLiteral("/dev/null"))), QStringLiteral("Special file"));
    QVERIFY(!icons.icon(QFileInfo(plain)).isNull() || icons.icon(QFileIconProvider::File).isNull());
}

void PromptsTest::longPathsWrapInMessageBoxes_data()
{
    QTest::addColumn<QString>("text");
    const QString folder = QString(70, QLatin1Char('f'));
    QTest::newRow("deep path") << QStringLiteral(
                                      "The card /%1/%1/%1/%1/card.jpg cannot be written: "
                                      "the disk is full")
                                      .arg(folder);
    QTest::newRow("one long name") << QStringLiteral("/tmp/%1.jpg").arg(QString(250, 'n'));
    QTest::newRow("short words") << QStringLiteral("Save the changes to hero.orvcard?");
}

// A path of hundreds of characters wraps: the box stays narrow and no character is lost.
void PromptsTest::longPathsWrapInMessageBoxes()
{
    QFETCH(QString, text);
    QString shown = wrappableText(text);
    QCOMPARE(shown.remove(QChar(0x200B)), text);
    QMessageBox box;
    setMessageText(box, text);
    box.setStandardButtons(QMessageBox::Ok);
    box.show();  // offscreen: lays the box out as shown
    QVERIFY2(box.width() <= 640, qPrintable(QString::number(box.width())));
}

QTEST_MAIN(PromptsTest)
#include "prompts_test.moc"
