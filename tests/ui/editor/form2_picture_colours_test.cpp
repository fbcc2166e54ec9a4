// SPDX-License-Identifier: GPL-3.0-or-later
// The colour controls of Prepare Main Picture...: the preview on both cards, OK as one undo
// step, palette files chosen through the prompts (a bad one named, nothing changed), and the
// settings kept in the card file, editable again.
#include "card/card_file.h"
#include "document/card_document.h"
#include "render/picture_colours.h"
#include "render/picture_prep.h"
#include "support/card_view.h"
#include "support/images.h"
#include "widgets/zoom_view.h"
#include "windows/prepare_picture_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <QUndoStack>

using namespace orvane;

namespace {

QImage photo(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x + y) % 256));
    return image;
}

QSet<QRgb> visibleColours(const QImage& image)
{
    QSet<QRgb> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0)
                out.insert(image.pixel(x, y) | 0xFF000000u);
    return out;
}

QString written(QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    QFile file(dir.filePath(QLatin1String(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

PreparePictureWindow* openPrepared(Form2Fixture& f, QTemporaryDir& dir, const QImage& source)
{
    const QString path = dir.filePath(QStringLiteral("photo.png"));
    source.save(path, "PNG");
    f.prompts.fileAnswers.enqueue(path);
    f.prompts.messageAnswers.enqueue(AnswerYes);  // prepare it now
    f.actLoadMain()->trigger();
    return f->findChild<PreparePictureWindow*>();
}

}  // namespace

class Form2PictureColoursTest : public QObject {
    Q_OBJECT
private slots:
    void reducedDitheredOutlinedInOneStep();
    void aPaletteFileBadThenGood();
    void theSettingsComeBackFromTheCardFile();
};

void Form2PictureColoursTest::reducedDitheredOutlinedInOneStep()
{
    QTemporaryDir dir;
    Form2Fixture f;
    const QImage source = photo(300, 200);
    QPointer<PreparePictureWindow> window = openPrepared(f, dir, source);
    QVERIFY(window);
    QUndoStack* stack = f.form->document().undoStack();
    const int stepsBefore = stack->count();
    const QImage blueBefore = window->picPreviewBlue->picture();
    const QImage redBefore = window->picPreviewRed->picture();

    window->cboColours->setCurrentIndex(1);  // Reduce to
    window->txtColourCount->setValue(4);
    window->cboDither->setCurrentIndex(1);   // ordered
    window->cboOutline->setCurrentIndex(1);  // outside
    window->txtOutlineColour->setText(QStringLiteral("#ffff00"));
    emit window->txtOutlineColour->textEdited(QStringLiteral("#ffff00"));
    QCOMPARE(window->fit().colours, ColourMode::Reduce);
    QCOMPARE(window->fit().colourCount, 4);
    QCOMPARE(window->fit().dither, Dither::Ordered);
    QCOMPARE(window->fit().outline, Outline::Outside);
    QCOMPARE(window->fit().outlineColour, qRgb(255, 255, 0));
    // The preview follows on both cards, at most 4 colours and the outline's.
    QVERIFY(window->picPreviewBlue->picture() != blueBefore);
    QVERIFY(window->picPreviewRed->picture() != redBefore);
    QSet<QRgb> shown = visibleColours(window->previewPicture());
    shown.remove(qRgb(255, 255, 0));
    QVERIFY(shown.size() <= 4);

    const PictureFit fit = window->fit();
    window->cmdOK->click();
    QTRY_VERIFY(window.isNull());
    QCOMPARE(stack->count(), stepsBefore + 1);
    QCOMPARE(f.form->document().card().preparation.fit, fit);
    QCOMPARE(f.picMainPic()->image(), preparePicture(source, fit));
    f.actUndo()->trigger();
    QCOMPARE(f.form->document().card().preparation.fit.colours, ColourMode::All);
}

void Form2PictureColoursTest::aPaletteFileBadThenGood()
{
    QTemporaryDir dir;
    Form2Fixture f;
    QPointer<PreparePictureWindow> window = openPrepared(f, dir, photo(120, 120));
    QVERIFY(window);
    const QString bad = written(dir, "bad.gpl", "GIMP Palette\n10 20 30\nnot a colour\n");
    const QString good = written(dir, "good.hex", "000000\nff0000\n00ff00\n0000ff\n");

    f.prompts.fileAnswers.enqueue(bad);
    window->cmdPaletteFile->click();
    QVERIFY(window->labPalette->text().contains(QLatin1String("line 3")));
    QCOMPARE(window->fit().colours, ColourMode::All);  // nothing changed

    f.prompts.fileAnswers.enqueue(good);
    window->cmdPaletteFile->click();
    QCOMPARE(window->fit().colours, ColourMode::Palette);
    QCOMPARE(window->cboColours->currentIndex(), 3);
    const QSet<QRgb> allowed{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    QVERIFY(visibleColours(window->previewPicture()).subtract(allowed).isEmpty());
    // Every pixel that was visible stays visible: pure black in the palette is never chosen.
    const QImage plain = preparePicture(photo(120, 120), PictureFit{});
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if ((plain.pixel(x, y) & 0xFFFFFF) != 0)
                QVERIFY((window->previewPicture().pixel(x, y) & 0xFFFFFF) != 0);

    // The card parts' colours: every colour one of them.
    window->cboColours->setCurrentIndex(2);
    QCOMPARE(window->fit().palette, QLatin1String(PartsPaletteName));
    QVERIFY(!window->fit().paletteColours.empty());
    const std::vector<QRgb>& parts = window->fit().paletteColours;
    for (const QRgb colour : visibleColours(window->previewPicture()))
        QVERIFY(std::find(parts.begin(), parts.end(), colour) != parts.end());
    window->cmdCancel->click();
}

void Form2PictureColoursTest::theSettingsComeBackFromTheCardFile()
{
    QTemporaryDir dir;
    Form2Fixture f;
    const QImage source = photo(200, 150);
    QPointer<PreparePictureWindow> window = openPrepared(f, dir, source);
    QVERIFY(window);
    f.prompts.fileAnswers.enqueue(written(dir, "mine.hex", "203040\nc08040\nf0f0f0\n"));
    window->cmdPaletteFile->click();
    window->cboDither->setCurrentIndex(2);  // diffusion
    window->sldDitherStrength->setValue(60);
    const PictureFit fit = window->fit();
    window->cmdOK->click();
    QTRY_VERIFY(window.isNull());

    const QString cardPath = dir.filePath(QStringLiteral("card.orvcard"));
    QString error;
    QVERIFY(writeCardFile(f.form->document().card(), cardPath, &error));
    QFile::remove(dir.filePath(QStringLiteral("mine.hex")));  // the colours are in the card
    const CardFileRead read = readCardFile(cardPath);
    QVERIFY(read.card);
    QCOMPARE(read.card->preparation.fit, fit);
    QCOMPARE(read.card->mainPicture, f.picMainPic()->image());
    QCOMPARE(preparePicture(read.card->preparation.source, read.card->preparation.fit),
             read.card->mainPicture);
}

QTEST_MAIN(Form2PictureColoursTest)
#include "form2_picture_colours_test.moc"
