// SPDX-License-Identifier: GPL-3.0-or-later
// Export Cards: the names shown before writing, the bytes against the shared encoder, the one
// question about files already there, failures that leave nothing behind, kept choices.
#include "files/card_export.h"
#include "render/part_pack.h"
#include "render/part_scales.h"
#include "support/images.h"
#include "support/scripted_prompts.h"
#include "windows/export_cards_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

QImage blueCard()
{
    return gradient(62, 62);
}
QImage redCard()
{
    QImage card = gradient(62, 62);
    card.invertPixels();
    return card;
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct Fixture {
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    ExportCardsDialog dialog{prompts, blueCard(), redCard(), QStringLiteral("hero")};

    Fixture() { dialog.txtFolder->setText(dir.path()); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
};

}  // namespace

class ExportCardsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void namesShownBeforeWriting_data();
    void namesShownBeforeWriting();
    void sameBytesAsTheSharedEncoder_data();
    void sameBytesAsTheSharedEncoder();
    void existingFilesAreNamedInOneQuestion();
    void answeringNoWritesNothing();
    void aFolderThatCannotBeMadeWritesNothing();
    void aMissingFolderIsMade();
    void noBaseNameNoExport();
    void choicesAreKept();
    void browseAsksForAFolder();
    void aCardWithAPackIsDrawnWithItsLargerParts();
};

void ExportCardsDialogTest::initTestCase()
{
    static QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QCoreApplication::setOrganizationName(QStringLiteral("OrvaneTest"));
    QCoreApplication::setApplicationName(QStringLiteral("export_cards_dialog_test"));
}

void ExportCardsDialogTest::init()
{
    QSettings().clear();
}

void ExportCardsDialogTest::namesShownBeforeWriting_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<int>("format");  // index in the list
    QTest::addColumn<int>("colours");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("png both") << "hero" << 0 << 0 << QStringList{"hero-blue.png", "hero-red.png"};
    QTest::newRow("jpeg blue") << "hero" << 1 << 1 << QStringList{"hero-blue.jpg"};
    QTest::newRow("bmp red") << "hero" << 2 << 2 << QStringList{"hero-red.bmp"};
    QTest::newRow("unsafe name") << "Hero: 1/2" << 0 << 1 << QStringList{"Hero_ 1_2-blue.png"};
    QTest::newRow("blanks trimmed") << "  a b  " << 0 << 2 << QStringList{"a b-red.png"};
}

void ExportCardsDialogTest::namesShownBeforeWriting()
{
    QFETCH(QString, base);
    QFETCH(int, format);
    QFETCH(int, colours);
    QFETCH(QStringList, names);
    Fixture f;
    f.dialog.txtBaseName->setText(base);
    f.dialog.cboFormat->setCurrentIndex(format);
    f.dialog.cboColours->setCurrentIndex(colours);
    QCOMPARE(f.dialog.labFiles->text(), names.join(QStringLiteral(", ")));
    QStringList expected;
    for (const QString& name : names)
        expected << f.path(name);
    QCOMPARE(f.dialog.plannedFiles(), expected);
    QVERIFY(f.files().isEmpty());  // shown, not written
    f.dialog.cmdExport->click();
    QCOMPARE(f.files(), names);  // sorted by name: blue before red
}

void ExportCardsDialogTest::sameBytesAsTheSharedEncoder_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("scale");
    QTest::newRow("png 1") << int(ExportFormat::Png) << 1;
    QTest::newRow("png 16") << int(ExportFormat::Png) << 16;
    QTest::newRow("jpeg 3") << int(ExportFormat::Jpeg) << 3;
    QTest::newRow("bmp 2") << int(ExportFormat::Bmp) << 2;
}

void ExportCardsDialogTest::sameBytesAsTheSharedEncoder()
{
    QFETCH(int, format);
    QFETCH(int, scale);
    Fixture f;
    f.dialog.cboFormat->setCurrentIndex(f.dialog.cboFormat->findData(format));
    f.dialog.spnScale->setValue(scale);
    QSignalSpy exported(&f.dialog, &ExportCardsDialog::exported);
    f.dialog.cmdExport->click();
    QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
    const QStringList files = f.dialog.plannedFiles();
    QCOMPARE(files.size(), 2);
    QString error;
    QCOMPARE(read(files[0]), encodeCardPicture(blueCard(), ExportFormat(format), scale, &error));
    QCOMPARE(read(files[1]), encodeCardPicture(redCard(), ExportFormat(format), scale, &error));
    QCOMPARE(QImage(files[0]).size(), QSize(62, 62) * scale);
    QCOMPARE(exported.size(), 1);
    QVERIFY(exported.front().front().toString().startsWith(
        QStringLiteral("Exported hero-blue.%1 and hero-red.")
            .arg(exportSuffix(ExportFormat(format)))));
    QVERIFY(f.prompts.messages.isEmpty());
}

void ExportCardsDialogTest::existingFilesAreNamedInOneQuestion()
{
    Fixture f;
    write(f.path("hero-blue.png"), "old blue");
    write(f.path("hero-red.png"), "old red");
    f.prompts.messageAnswers.enqueue(AnswerYes);
    f.dialog.cmdExport->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    const ScriptedPrompts::Message& question = f.prompts.messages.front();
    QCOMPARE(question.title, QStringLiteral("Export Cards"));
    QCOMPARE(question.style & 7, int(YesNo));
    QVERIFY(question.text.contains(QDir::toNativeSeparators(f.path("hero-blue.png"))));
    QVERIFY(question.text.contains(QDir::toNativeSeparators(f.path("hero-red.png"))));
    QCOMPARE(QImage(f.path("hero-blue.png")), blueCard());
    QCOMPARE(QImage(f.path("hero-red.png")), redCard());
}

void ExportCardsDialogTest::answeringNoWritesNothing()
{
    Fixture f;
    write(f.path("hero-red.png"), "old red");
    f.dialog.cmdExport->click();  // scripted answer: No
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.front().text.startsWith(QStringLiteral("This file already exists")));
    QVERIFY(!f.prompts.messages.front().text.contains(QStringLiteral("hero-blue")));
    QCOMPARE(f.files(), QStringList{"hero-red.png"});  // the blue one was not written either
    QCOMPARE(read(f.path("hero-red.png")), QByteArray("old red"));
    QVERIFY(f.dialog.result() != QDialog::Accepted);
}

void ExportCardsDialogTest::aFolderThatCannotBeMadeWritesNothing()
{
    Fixture f;
    write(f.path("plain file"), "x");
    f.dialog.txtFolder->setText(f.path("plain file/cards"));
    f.dialog.cmdExport->click();
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.front().text.contains(QStringLiteral("could not be made")));
    QCOMPARE(f.files(), QStringList{"plain file"});
}

void ExportCardsDialogTest::aMissingFolderIsMade()
{
    Fixture f;
    f.dialog.txtFolder->setText(f.path("new/cards"));
    f.dialog.cmdExport->click();
    QVERIFY(QFile::exists(f.path("new/cards/hero-blue.png")));
    QVERIFY(QFile::exists(f.path("new/cards/hero-red.png")));
}

void ExportCardsDialogTest::noBaseNameNoExport()
{
    Fixture f;
    f.dialog.txtBaseName->setText(QStringLiteral("   "));
    QVERIFY(!f.dialog.cmdExport->isEnabled());
    QVERIFY(!f.dialog.exportCards());
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.files().isEmpty());
}

void ExportCardsDialogTest::choicesAreKept()
{
    {
        Fixture f;
        f.dialog.cboFormat->setCurrentIndex(2);
        f.dialog.spnScale->setValue(5);
        f.dialog.cboColours->setCurrentIndex(ExportCardsDialog::RedOnly);
        f.dialog.cmdExport->click();
        QCOMPARE(QSettings().value(QStringLiteral("Export/scale")).toInt(), 5);
        ScriptedPrompts prompts;
        ExportCardsDialog again(prompts, blueCard(), redCard(), QString());
        QCOMPARE(again.format(), ExportFormat::Bmp);
        QCOMPARE(again.spnScale->value(), 5);
        QCOMPARE(again.cboColours->currentIndex(), int(ExportCardsDialog::RedOnly));
        QCOMPARE(again.txtFolder->text(), f.dir.path());
        QCOMPARE(again.txtBaseName->text(), QStringLiteral("hero"));  // no name given: the last
    }
    ScriptedPrompts prompts;
    ExportCardsDialog cancelled(prompts, blueCard(), redCard(), QStringLiteral("x"));
    cancelled.spnScale->setValue(9);
    cancelled.reject();
    QCOMPARE(QSettings().value(QStringLiteral("Export/scale")).toInt(), 5);
}

void ExportCardsDialogTest::browseAsksForAFolder()
{
    Fixture f;
    f.prompts.folderAnswers.enqueue(f.path("chosen"));
    f.dialog.cmdBrowse->click();
    QCOMPARE(f.prompts.folderRequests.size(), 1);
    QCOMPARE(f.prompts.folderRequests.front().first, f.dir.path());
    QCOMPARE(f.prompts.folderRequests.front().second, QStringLiteral("Export Cards"));
    QCOMPARE(f.dialog.plannedFiles().front(), f.path("chosen/hero-blue.png"));
    f.dialog.cmdBrowse->click();  // cancelled: the folder stays
    QCOMPARE(f.dialog.plannedFiles().front(), f.path("chosen/hero-blue.png"));
}

// At 4 x a card kept with the Sharp 4x pack is written with the pack's 4 x parts.
void ExportCardsDialogTest::aCardWithAPackIsDrawnWithItsLargerParts()
{
    Fixture f;
    const QString bin = qEnvironmentVariable("ORVANE_BIN_DIR");
    const QString pack = QDir(bin).filePath(QStringLiteral("../share/orvane/packs/sharp4x"));
    const CardParts builtIn = *CardParts::load(bin, nullptr);
    Card card;
    card.sides = {QStringLiteral("7"), QStringLiteral("A"), QStringLiteral("2"),
                  QStringLiteral("9")};
    f.dialog.drawLargerWith(
        renderCardWithScales(card, std::make_shared<PartScales>(builtIn, pack)));
    f.dialog.spnScale->setValue(4);
    f.dialog.cmdExport->click();
    QCOMPARE(QImage(f.dialog.plannedFiles()[1]).convertToFormat(QImage::Format_RGB32),
             renderCard(card, loadPackParts(pack, 4, builtIn).parts).red);
}

QTEST_MAIN(ExportCardsDialogTest)
#include "export_cards_dialog_test.moc"
