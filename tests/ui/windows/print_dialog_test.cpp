// SPDX-License-Identifier: GPL-3.0-or-later
// Print...: the profile's preview and count follow the choices, the print lands in the set's
// folder by the same core code, and files already there are asked about first.
#include "files/print_card.h"
#include "support/images.h"
#include "support/scripted_prompts.h"
#include "windows/print_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

QList<NamedCard> threeCards()
{
    return {{"Hero", "Hero", {gradient(62, 62), solid(62, 62, qRgb(200, 20, 30))}, 2},
            {"Ogre", "Ogre", {solid(62, 62, qRgb(0, 90, 0)), gradient(62, 62)}, 0},
            {"Imp", "Imp", {gradient(62, 62), gradient(62, 62)}, 13}};
}

}  // namespace

class PrintDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void countAndPreviewFollowTheChoices();
    void printsIntoTheSetsFolderAndAsksBeforeReplacing();
};

void PrintDialogTest::initTestCase()
{
    static QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
}

void PrintDialogTest::countAndPreviewFollowTheChoices()
{
    ScriptedPrompts prompts;
    QTemporaryDir folder;
    QPointer<PrintDialog> dialog = new PrintDialog(prompts, threeCards(), "set", folder.path());
    dialog->cboProfile->setCurrentText("home-a4");
    // 15 copies of two colours: 30 faces, 12 a page.
    QCOMPARE(dialog->labCount->text(), QStringLiteral("3 pages of 30 faces"));
    dialog->chkBacks->setChecked(true);
    QCOMPARE(dialog->labCount->text(), QStringLiteral("6 pages of 30 faces"));
    dialog->cboColours->setCurrentText("blue");
    QCOMPARE(dialog->labCount->text(), QStringLiteral("4 pages of 15 faces"));
    QCOMPARE(dialog->txtOutput->text(), QDir(folder.path()).filePath("set-home-a4.pdf"));

    dialog->cboProfile->setCurrentText("service-300");
    QCOMPARE(dialog->labCount->text(), QStringLiteral("30 pictures"));
    QCOMPARE(dialog->txtOutput->text(), QDir(folder.path()).filePath("set-service-300"));
    // The preview: the printed picture at most the preview's size, trim drawn in red.
    const QPixmap preview = dialog->labPreview->pixmap();
    QVERIFY(!preview.isNull());
    QVERIFY(preview.width() <= 220 && preview.width() >= 200);
    QCOMPARE(dialog->request()->profile.enlargement, Enlargement::Blocks);
    dialog->cboEnlarge->setCurrentText("scale3x");
    QCOMPARE(dialog->request()->profile.enlargement, Enlargement::Scale3x);
    delete dialog;
}

void PrintDialogTest::printsIntoTheSetsFolderAndAsksBeforeReplacing()
{
    ScriptedPrompts prompts;
    QTemporaryDir folder;
    QPointer<PrintDialog> dialog = new PrintDialog(prompts, threeCards(), "set", folder.path());
    dialog->cboProfile->setCurrentText("service-300");
    dialog->cboColours->setCurrentText("red");
    dialog->cmdPrint->click();
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(dialog->lastResult().pictures, 15);
    const QImage first(QDir(folder.path()).filePath("set-service-300/001-Hero-red-front.png"));
    const PrintProfile profile = dialog->request()->profile;
    QCOMPARE(first.convertToFormat(QImage::Format_RGB32),
             composePrintCard(solid(62, 62, qRgb(200, 20, 30)), profile, printCardGeometry(profile))
                 .convertToFormat(QImage::Format_RGB32));
    QVERIFY(dialog->isHidden());

    // Again: the files are there; No keeps them.
    dialog = new PrintDialog(prompts, threeCards(), "set", folder.path());
    dialog->cboProfile->setCurrentText("service-300");
    dialog->cboColours->setCurrentText("red");
    prompts.messageAnswers.enqueue(AnswerNo);
    dialog->cmdPrint->click();
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(prompts.messages[0].text.contains("001-Hero-red-front.png"));
    QVERIFY(prompts.messages[0].text.contains("and 5 more"));
    QCOMPARE(dialog->lastResult().pictures, 0);
    delete dialog;
}

QTEST_MAIN(PrintDialogTest)
#include "print_dialog_test.moc"
