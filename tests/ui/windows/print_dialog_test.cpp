// SPDX-License-Identifier: GPL-3.0-or-later
// Print...: the profile's preview and count follow the choices, the print lands in the set's
// folder by the same core code beside the window (progress, a Cancel that leaves no part of a
// sheet), files already there are asked about first; Printer Calibration writes the page, keeps
// what it measured per profile and refuses likely typing errors.
#include "files/print_card.h"
#include "support/images.h"
#include "files/print_calibration.h"
#include "support/scripted_prompts.h"
#include "windows/calibration_dialog.h"
#include "windows/print_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
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
    void cancelStopsThePrintAndLeavesNoSheet();
    void calibrationIsWrittenCheckedKeptAndUsed();
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
    QSignalSpy ended(dialog.data(), &PrintDialog::printEnded);
    dialog->cmdPrint->click();
    QVERIFY(ended.wait(20000));
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(dialog->lastResult().pictures, 15);
    QCOMPARE(dialog->barProgress->value(), dialog->barProgress->maximum());
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

void PrintDialogTest::cancelStopsThePrintAndLeavesNoSheet()
{
    ScriptedPrompts prompts;
    QTemporaryDir folder;
    QPointer<PrintDialog> dialog = new PrintDialog(prompts, threeCards(), "set", folder.path());
    dialog->cboProfile->setCurrentText("home-a4");
    dialog->chkBacks->setChecked(true);  // 6 pages
    dialog->show();
    QSignalSpy ended(dialog.data(), &PrintDialog::printEnded);
    dialog->print();
    QVERIFY(dialog->isPrinting() && dialog->barProgress->isVisible());
    QVERIFY(!dialog->cmdPrint->isEnabled());
    dialog->cmdCancel->click();  // stops the print; the window stays
    QVERIFY(ended.wait(20000));
    QVERIFY(dialog->lastResult().cancelled);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(dialog->isVisible() && dialog->cmdPrint->isEnabled());
    dialog->cmdCancel->click();  // not printing: closes
    QVERIFY(dialog.isNull() || dialog->isHidden());
    delete dialog;
}

void PrintDialogTest::calibrationIsWrittenCheckedKeptAndUsed()
{
    ScriptedPrompts prompts;
    QTemporaryDir folder;
    QPointer<CalibrationDialog> calibration =
        new CalibrationDialog(prompts, "home-a4", folder.path());
    QCOMPARE(calibration->cboProfile->findText("service-300"), -1);  // pictures need none
    prompts.fileAnswers.enqueue(QDir(folder.path()).filePath("cal"));
    QVERIFY(calibration->writePage());
    QFile page(QDir(folder.path()).filePath("cal.pdf"));
    QVERIFY(page.open(QIODevice::ReadOnly) && page.read(5) == "%PDF-");

    const QList<QLineEdit*> fields = {calibration->txtScaleX, calibration->txtScaleY,
                                      calibration->txtBackX, calibration->txtBackY};
    const std::pair<QStringList, const char*> refused[] = {
        {{"100", "100", "0", "-11"}, "over 10 mm"},  // the core's own refusal
        {{"100", "100", "x", "0"}, "the back offset across is not a number"},
    };
    for (const auto& [values, says] : refused) {
        for (int k = 0; k < 4; ++k)
            fields[k]->setText(values[k]);
        QVERIFY2(!calibration->keep(), says);
        QVERIFY2(prompts.messages.back().text.contains(says), says);
    }
    QString error;
    QCOMPARE(loadCalibration("home-a4", &error), PrinterCalibration());
    const QStringList good = {"99,5", "100.4 %", "1.2", "-0.6"};
    for (int k = 0; k < 4; ++k)
        fields[k]->setText(good[k]);
    QVERIFY(calibration->keep());
    const PrinterCalibration measured{99.5, 100.4, 1.2, -0.6};
    QCOMPARE(loadCalibration("home-a4", &error), measured);
    QCOMPARE(loadCalibration("home-letter", &error), PrinterCalibration());  // per profile

    // Every later sheet of the profile is drawn with it.
    QPointer<PrintDialog> dialog = new PrintDialog(prompts, threeCards(), "set", folder.path());
    dialog->cboProfile->setCurrentText("home-a4");
    QCOMPARE(dialog->request()->calibration, measured);
    QVERIFY(dialog->labCalibration->text().contains("99.5 % x 100.4 %"));
    delete dialog;
    delete calibration;
}

QTEST_MAIN(PrintDialogTest)
#include "print_dialog_test.moc"
