// SPDX-License-Identifier: GPL-3.0-or-later
// Play Sheets: the files listed before writing, the real writing of the current card's deck
// sheets, atlas and print sheet, the question about existing files, progress and Cancel.
#include "files/card_export.h"
#include "render/card_parts.h"
#include "set/card_set.h"
#include "setpanel/set_panel.h"
#include "support/form2_fixture.h"
#include "support/images.h"
#include "support/scripted_prompts.h"
#include "windows/play_sheets_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace orvane;

namespace {

NamedCard testCard()
{
    return {QStringLiteral("Hero"),
            QStringLiteral("Hero"),
            {gradient(62, 62), solid(62, 62, qRgb(200, 20, 30))}};
}

struct Fixture {
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    PlaySheetsDialog::Runner runner = &runSheetsJob;
    PlaySheetsDialog dialog{prompts,
                            {testCard()},
                            QStringLiteral("Hero"),
                            [this](const SheetsJob& j, const QList<NamedCard>& c,
                                   const Progress& p) { return runner(j, c, p); }};

    Fixture()
    {
        dialog.chkTabletop->setChecked(false);
        dialog.chkAtlas->setChecked(false);
        dialog.chkSheet->setChecked(false);
        dialog.txtTabletopDir->setText(dir.filePath("tts"));
        dialog.txtAtlas->setText(dir.filePath("atlas.png"));
        dialog.txtSheet->setText(dir.filePath("hero.pdf"));
    }
    bool waitUntilDone() const
    {
        return QTest::qWaitFor([this] { return !dialog.isWriting(); }, 10000);
    }
};

}  // namespace

class PlaySheetsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void filesAreListedAsTheyAreChosen();
    void writesTheCurrentCard();
    void existingFilesAreNamedFirst();
    void nothingChosenOrTooLargeWritesNothing();
    void cancelStopsTheWriting();
    void editorOpensItForTheCurrentCard();
    void setPanelOpensItForTheSetWithoutBadRows();
};

void PlaySheetsDialogTest::initTestCase()
{
    static QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QCoreApplication::setOrganizationName(QStringLiteral("OrvaneTest"));
    QCoreApplication::setApplicationName(QStringLiteral("play_sheets_dialog_test"));
}

void PlaySheetsDialogTest::filesAreListedAsTheyAreChosen()
{
    Fixture f;
    QCOMPARE(f.dialog.labFiles->text(), QStringLiteral("(nothing chosen)"));
    QVERIFY(!f.dialog.cmdWrite->isEnabled());
    const QString tts = QDir::toNativeSeparators(f.dir.filePath("tts"));
    const struct {
        QCheckBox* box;
        int colours;
        QStringList files;
    } cases[] = {
        {f.dialog.chkTabletop,
         0,
         {tts + "/Hero-back.png", tts + "/Hero-blue-1.png", tts + "/Hero-blue.json",
          tts + "/Hero-red-1.png", tts + "/Hero-red.json"}},
        {f.dialog.chkTabletop,
         2,
         {tts + "/Hero-back.png", tts + "/Hero-red-1.png", tts + "/Hero-red.json"}},
        {f.dialog.chkAtlas, 0, {f.dir.filePath("atlas.png"), f.dir.filePath("atlas.json")}},
        {f.dialog.chkSheet, 0, {f.dir.filePath("hero.pdf")}},
    };
    for (const auto& c : cases) {
        f.dialog.cboColours->setCurrentIndex(c.colours);
        c.box->setChecked(true);
        QCOMPARE(f.dialog.labFiles->text(), c.files.join('\n'));
        QVERIFY(f.dialog.cmdWrite->isEnabled());
        c.box->setChecked(false);
    }
    // The name follows the base name typed.
    f.dialog.chkTabletop->setChecked(true);
    f.dialog.txtBaseName->setText(QStringLiteral("My: deck"));
    QVERIFY(f.dialog.labFiles->text().contains(QStringLiteral("My_ deck-back.png")));
}

void PlaySheetsDialogTest::writesTheCurrentCard()
{
    Fixture f;
    f.dialog.chkTabletop->setChecked(true);
    f.dialog.chkAtlas->setChecked(true);
    f.dialog.spnExtrude->setValue(2);
    f.dialog.chkSheet->setChecked(true);
    f.dialog.chkBacks->setChecked(true);
    f.dialog.spnBleed->setValue(1.5);
    QSignalSpy written(&f.dialog, &PlaySheetsDialog::written);
    const QStringList planned = f.dialog.plannedFiles();
    f.dialog.cmdWrite->click();
    QVERIFY(f.waitUntilDone());
    QCOMPARE(written.size(), 1);
    QCOMPARE(written.front().front().toString(), QStringLiteral("Wrote 8 files"));
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(f.dialog.lastResult().written, planned);

    // One card: a 2 x 2 sheet at the largest scale, the card in the first cell.
    const QImage sheet =
        QImage(f.dir.filePath("tts/Hero-blue-1.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(sheet.size(), QSize(2 * 62 * 16, 2 * 62 * 16));
    QCOMPARE(sheet.copy(0, 0, 62 * 16, 62 * 16), scaleCardPicture(gradient(62, 62), 16));
    const QJsonObject index = QJsonDocument::fromJson([&] {
                                  QFile file(f.dir.filePath("atlas.json"));
                                  file.open(QIODevice::ReadOnly);
                                  return file.readAll();
                              }())
                                  .object();
    const QJsonObject frame = index["frames"].toObject()["Hero-red"].toObject()["frame"].toObject();
    const QImage atlas(f.dir.filePath("atlas.png"));
    QCOMPARE(atlas.copy(frame["x"].toInt(), frame["y"].toInt(), 62, 62)
                 .convertToFormat(QImage::Format_RGB32),
             solid(62, 62, qRgb(200, 20, 30)));
    QFile pdf(f.dir.filePath("hero.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.readAll().count("/Type /Page\n"), 2);  // faces, then backs
    QCOMPARE(QSettings().value(QStringLiteral("PlaySheets/bleed")).toDouble(), 1.5);
}

void PlaySheetsDialogTest::existingFilesAreNamedFirst()
{
    Fixture f;
    f.dialog.chkAtlas->setChecked(true);
    QFile old(f.dir.filePath("atlas.png"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    f.prompts.messageAnswers.enqueue(AnswerNo);
    f.dialog.cmdWrite->click();
    QVERIFY(!f.dialog.isWriting());
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.front().text.contains(
        QDir::toNativeSeparators(f.dir.filePath("atlas.png"))));
    QVERIFY(!f.prompts.messages.front().text.contains(QStringLiteral("atlas.json")));
    QCOMPARE(QFileInfo(f.dir.filePath("atlas.png")).size(), qint64(3));

    f.prompts.messageAnswers.enqueue(AnswerYes);
    f.dialog.cmdWrite->click();
    QVERIFY(f.waitUntilDone());
    QCOMPARE(QImage(f.dir.filePath("atlas.png")).size(), QSize(124, 62));  // blue, red
}

void PlaySheetsDialogTest::nothingChosenOrTooLargeWritesNothing()
{
    Fixture f;
    f.dialog.startWriting();
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.back().text.startsWith(QStringLiteral("Choose")));
    // An atlas beyond the limit is refused before any file.
    PlaySheetsDialog big(f.prompts, QList<NamedCard>(2200, testCard()), QStringLiteral("x"),
                         &runSheetsJob);
    big.chkTabletop->setChecked(false);
    big.chkSheet->setChecked(false);
    big.chkAtlas->setChecked(true);
    big.txtAtlas->setText(f.dir.filePath("big.png"));
    big.spnPadding->setValue(64);
    big.spnExtrude->setValue(64);
    big.startWriting();
    QVERIFY(!big.isWriting());
    QVERIFY(f.prompts.messages.back().text.contains(QStringLiteral("over the limit")));
    QVERIFY(!QFile::exists(f.dir.filePath("big.png")));
}

void PlaySheetsDialogTest::cancelStopsTheWriting()
{
    Fixture f;
    // The real writer, held after its first picture until Cancel.
    f.runner = [](const SheetsJob& job, const QList<NamedCard>& cards, const Progress& progress) {
        bool held = false;
        return runSheetsJob(job, cards, progress.withListener([&](int done, int total) {
            progress.report(done, total);
            if (!held) {
                held = true;
                for (int wait = 0; wait < 5000 && !progress.stopRequested(); ++wait)
                    QThread::msleep(1);
            }
        }));
    };
    f.dialog.chkTabletop->setChecked(true);
    connect(&f.dialog, &PlaySheetsDialog::progressed, &f.dialog, [&](int done, int) {
        if (done == 1)
            f.dialog.progressDialog()->findChild<QPushButton*>()->click();
    });
    QSignalSpy written(&f.dialog, &PlaySheetsDialog::written);
    f.dialog.cmdWrite->click();
    QVERIFY(f.waitUntilDone());
    QVERIFY(f.dialog.lastResult().cancelled);
    QCOMPARE(f.dialog.lastResult().written.size(), 1);  // the back, whole
    QCOMPARE(QDir(f.dir.filePath("tts")).entryList(QDir::Files), QStringList{"Hero-back.png"});
    QCOMPARE(written.front().front().toString(),
             QStringLiteral("Cancelled after 1 file; every file written is whole"));
    QVERIFY(f.dialog.isVisible() || !f.dialog.result());
}

void PlaySheetsDialogTest::editorOpensItForTheCurrentCard()
{
    Form2Fixture f;
    QTemporaryDir dir;
    f.typeAll("A", "3", "7", "2");
    f.clickArrow(1);
    f.tick();
    auto* action = f->findChild<QAction*>(QStringLiteral("actPlaySheets"));
    QVERIFY(action);
    QCOMPARE(action->text(), QStringLiteral("Pla&y Sheets..."));
    action->trigger();
    auto* dialog = f->findChild<PlaySheetsDialog*>();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->txtBaseName->text(), QStringLiteral("card"));  // an unnamed card
    dialog->chkTabletop->setChecked(true);
    dialog->chkAtlas->setChecked(false);
    dialog->chkSheet->setChecked(false);
    dialog->cboColours->setCurrentIndex(0);
    dialog->txtTabletopDir->setText(dir.path());
    dialog->cmdWrite->click();
    // The dialog closes itself, and is deleted, once the files are written.
    const QPointer<PlaySheetsDialog> open(dialog);
    QVERIFY(QTest::qWaitFor([open] { return !open || !open->isWriting(); }, 10000));
    for (const auto& [file, picture] : {std::pair{"card-blue-1.png", f.picBlueBase()},
                                        std::pair{"card-red-1.png", f.picRedBase()}}) {
        const QImage sheet =
            QImage(dir.filePath(QLatin1String(file))).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(sheet.copy(0, 0, 62 * 16, 62 * 16), scaleCardPicture(picture->image(), 16));
    }
    QTRY_COMPARE(f.status(), QStringLiteral("Wrote 5 files"));
}

void PlaySheetsDialogTest::setPanelOpensItForTheSetWithoutBadRows()
{
    QTemporaryDir dir;
    solid(62, 62, qRgb(200, 40, 90)).save(dir.filePath("pic.bmp"));
    QFile csv(dir.filePath("mine.csv"));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("name,up,left,right,down,element,arrows,picture\n"
              "Slime,1,2,3,4,fire,up,pic.bmp\n"
              "Broken,1,Q,1,1,,,\n"
              "Imp,1,1,1,1,fire,,\n");
    csv.close();
    CardSet set;
    QString error;
    QVERIFY2(set.open(dir.filePath("mine.csv"), &error), qPrintable(error));
    ScriptedPrompts prompts;
    SetPanel panel(set, prompts, qEnvironmentVariable("ORVANE_BIN_DIR"));
    QSignalSpy messages(&panel, &SetPanel::message);
    panel.cmdSetPlaySheets->click();
    auto* dialog = panel.findChild<PlaySheetsDialog*>();
    QVERIFY(dialog);
    QCOMPARE(dialog->txtBaseName->text(), QStringLiteral("mine"));
    dialog->chkTabletop->setChecked(false);
    dialog->chkSheet->setChecked(false);
    dialog->chkAtlas->setChecked(true);
    dialog->cboColours->setCurrentIndex(1);  // blue
    dialog->txtAtlas->setText(dir.filePath("out/atlas.png"));
    dialog->cmdWrite->click();
    // The dialog closes itself, and is deleted, once the files are written.
    const QPointer<PlaySheetsDialog> open(dialog);
    QVERIFY(QTest::qWaitFor([open] { return !open || !open->isWriting(); }, 10000));

    // The two good cards, each the renderer's picture of the card as the set has it.
    const CardParts parts =
        CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr).value();
    QFile indexFile(dir.filePath("out/atlas.json"));
    QVERIFY(indexFile.open(QIODevice::ReadOnly));
    const QJsonObject frames =
        QJsonDocument::fromJson(indexFile.readAll()).object()["frames"].toObject();
    QCOMPARE(frames.keys(), (QStringList{"Imp-blue", "Slime-blue"}));
    const QImage atlas(dir.filePath("out/atlas.png"));
    for (int row : {0, 2}) {
        const quint64 id = set.entries()[row].id;
        const Card card = set.readyCard(id);
        const QJsonObject f = frames[card.name + "-blue"].toObject()["frame"].toObject();
        QCOMPARE(atlas.copy(f["x"].toInt(), f["y"].toInt(), 62, 62)
                     .convertToFormat(QImage::Format_RGB32),
                 renderCard(card, parts).blue.convertToFormat(QImage::Format_RGB32));
    }
    QTRY_COMPARE(messages.size(), 1);
    QCOMPARE(messages.front().front().toString(), QStringLiteral("Wrote 2 files"));
}

QTEST_MAIN(PlaySheetsDialogTest)
#include "play_sheets_dialog_test.moc"
