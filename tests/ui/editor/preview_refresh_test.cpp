// SPDX-License-Identifier: GPL-3.0-or-later
// The timer tick: which part file each choice loads, the arrow limit and labels, the flagged
// composition, and asset files that change, vanish and come back.
#include "card/card_rules.h"
#include "editor/part_failure_notice.h"
#include "render/asset_catalogue.h"
#include "render/compositor.h"
#include "support/form2_fixture.h"
#include "support/images.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

// An asset folder in which every part is a solid colour unique to its file.
struct ColourAssets {
    QTemporaryDir dir;
    QHash<QString, QRgb> colours;

    ColourAssets()
    {
        QRgb next = 0x100000;
        for (const QString& relative : assets::allFiles()) {
            QSize size = assets::expectedSize(relative);
            if (!size.isValid())
                size = QSize(8, 8);
            next += 0x010203;
            write(relative, solid(size.width(), size.height(), next));
        }
    }
    void write(const QString& relative, const QImage& image)
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(image.save(path, "BMP"));
        colours[relative] = rgb(image, 0, 0);
    }
    QString path(const QString& relative) const { return dir.filePath(relative); }
};

QRgb shown(PictureBox* box)
{
    return rgb(box->image(), 0, 0);
}

}  // namespace

class PreviewRefreshTest : public QObject {
    Q_OBJECT
private slots:
    void firstTickLoadsTheStartChoices();
    void digitFiles_data();
    void digitFiles();
    void elementAndFrameFiles();
    void arrowFiles();
    void arrowLimit_data();
    void arrowLimit();
    void labels();
    void oneCompositionPerChange();
    void fileChangedOnDiskShowsAtTheNextTick();
    void missingFileIsReportedOnceAndHeals();
    void fileOfAnotherSizeIsUsedAsItIs();
    void aMissingFolderIsOneNotice();
    void partFailuresAreToldOnceInOneNotice();
    void cardsMatchAnOwnComposition();
    void withoutAMainPictureTheCardsKeepTheirBases();
};

void PreviewRefreshTest::firstTickLoadsTheStartChoices()
{
    ColourAssets assets;
    Form2Fixture f(assets.dir.path());
    f.tick();
    QCOMPARE(shown(f.picFinalFrame()), assets.colours[assets::frameFile(3)]);
    QCOMPARE(shown(f.picFinalElem()), assets.colours[assets::noElementFile()]);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(shown(f.picFinalNum(i)), assets.colours[QStringLiteral("gfx/bitblts/A.bmp")]);
    for (int i = 0; i < 8; ++i) {
        PictureBox* arrow = f.picArrowFinal(i);
        QCOMPARE(shown(arrow), assets.colours[assets::noElementFile()]);
        QCOMPARE(arrow->size(), QSize(20, 21));  // takes the picture's size plus its border
    }
    QCOMPARE(f.arrowLimit(), qint16(6));
    QCOMPARE(f.Label7()->text(), QStringLiteral("Arrows Left = 6"));
    QCOMPARE(f.prompts.notifications.size(), 0);
}

void PreviewRefreshTest::digitFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("file");  // empty: the box keeps what it showed
    for (char d = '1'; d <= '9'; ++d)
        QTest::newRow(QByteArray(1, d).constData())
            << QString(QLatin1Char(d)) << QStringLiteral("gfx/bitblts/%1.bmp").arg(QLatin1Char(d));
    QTest::newRow("A") << "A"
                       << "gfx/bitblts/A.bmp";
    QTest::newRow("a") << "a"
                       << "gfx/bitblts/A.bmp";
    QTest::newRow("10") << "10"
                        << "";
    QTest::newRow("0") << "0"
                       << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("7 blank") << "7 "
                             << "";
}

void PreviewRefreshTest::digitFiles()
{
    QFETCH(QString, text);
    QFETCH(QString, file);
    ColourAssets assets;
    Form2Fixture f(assets.dir.path());
    f.type(2, QStringLiteral("3"));
    f.tick();
    f.type(2, text);
    f.tick();
    const QString expected = file.isEmpty() ? QStringLiteral("gfx/bitblts/3.bmp") : file;
    QCOMPARE(shown(f.picFinalNum(2)), assets.colours[expected]);
}

void PreviewRefreshTest::elementAndFrameFiles()
{
    ColourAssets assets;
    Form2Fixture f(assets.dir.path());
    for (int k = 0; k < 11; ++k) {
        f.optElem(size_t(k))->setChecked(true);
        // The frame follows the total: 4, 17, 21 and 40.
        const char* const totals[4][4] = {
            {"1", "1", "1", "1"}, {"5", "5", "5", "2"}, {"6", "5", "5", "5"}, {"A", "A", "A", "A"}};
        for (int frame = 0; frame < 4; ++frame) {
            f.typeAll(totals[frame][0], totals[frame][1], totals[frame][2], totals[frame][3]);
            f.tick();
            QCOMPARE(shown(f.picFinalFrame()), assets.colours[assets::frameFile(frame)]);
        }
        QCOMPARE(shown(f.picFinalElem()), assets.colours[assets::elementFile(k)]);
    }
}

void PreviewRefreshTest::arrowFiles()
{
    ColourAssets assets;
    Form2Fixture f(assets.dir.path());
    f.tick();
    f.clickArrow(3);
    f.tick();
    QCOMPARE(shown(f.picArrowFinal(3)), assets.colours[QStringLiteral("gfx/arrows/arrow 3.bmp")]);
    QCOMPARE(f.picArrowFinal(3)->size(), QSize(12, 12));
    f.clickArrow(3);
    f.tick();
    QCOMPARE(shown(f.picArrowFinal(3)), assets.colours[assets::noElementFile()]);
}

void PreviewRefreshTest::arrowLimit_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("limit");
    const int table[][2] = {{12, 1}, {13, 2}, {16, 2}, {17, 3}, {20, 3}, {21, 4},
                            {22, 4}, {23, 5}, {25, 5}, {26, 6}, {-3, 1}, {40, 6}};
    for (const auto& row : table)
        QTest::newRow(qPrintable(QString::number(row[0]))) << row[0] << row[1];
}

void PreviewRefreshTest::arrowLimit()
{
    QFETCH(int, total);
    QFETCH(int, limit);
    Form2Fixture f;
    f.type(0, QString::number(total));
    for (int i = 1; i < 4; ++i)
        f.type(i, QStringLiteral("0"));
    QCOMPARE(int(f.arrowLimit()), limit);
    QCOMPARE(f.Label7()->text(), orvane::arrowsLeftCaption(limit));
}

void PreviewRefreshTest::labels()
{
    Form2Fixture f;
    f.typeAll("A", "A", "1", "0");  // 21: four allowed
    for (int i = 0; i < 4; ++i)
        f.clickArrow(i);
    QCOMPARE(f.Label7()->text(), QStringLiteral("Arrows Left = 0"));
    // A card opened with more arrows than its total allows.
    orvane::Card card = f.card();
    card.arrows[4] = true;
    f.form->document().setCard(card);
    QCOMPARE(f.Label7()->text(), QStringLiteral("Arrows Left =-1"));
    f.scrX()->setValue(12);
    f.tick();
    QCOMPARE(f.labXpos()->text(), QStringLiteral("X: 12"));
    QCOMPARE(f.labYpos()->text(), QStringLiteral("Y: 0"));
}

void PreviewRefreshTest::oneCompositionPerChange()
{
    Form2Fixture f;
    f.tick();
    QCOMPARE(f.compositions(), 0);  // composed when the window was made, not again
    f.type(0, QStringLiteral("5"));
    f.type(1, QStringLiteral("5"));
    QCOMPARE(f.compositions(), 2);
    QVERIFY(!f.form->document().needsRedraw());
    f.tick();
    QCOMPARE(f.compositions(), 2);
}

void PreviewRefreshTest::fileChangedOnDiskShowsAtTheNextTick()
{
    ColourAssets assets;
    Form2Fixture f(assets.dir.path());
    f.tick();
    assets.write(assets::frameFile(3), solid(62, 62, 0x00ABCD));
    f.tick();
    QCOMPARE(shown(f.picFinalFrame()), 0x00ABCDu);
}

void PreviewRefreshTest::missingFileIsReportedOnceAndHeals()
{
    ColourAssets assets;
    Form2Fixture f(assets.dir.path());
    f.tick();
    const QRgb before = shown(f.picFinalElem());
    QVERIFY(QFile::remove(assets.path(assets::noElementFile())));
    for (int i = 0; i < 10; ++i)
        f.tick();
    QCOMPARE(f.prompts.notifications.size(), 1);
    const QString report = f.prompts.notifications.front().text;
    QVERIFY(report.contains(QStringLiteral("noelem.bmp")));
    QVERIFY(report.contains(QDir::toNativeSeparators(assets.path(assets::noElementFile()))));
    QVERIFY(report.contains(QStringLiteral("16 × 17")));
    QCOMPARE(shown(f.picFinalElem()), before);  // the last picture stays
    f.type(0, QStringLiteral("9"));
    f.tick();  // the tool goes on: the digit still loads, the card is still composed
    QCOMPARE(shown(f.picFinalNum(0)), assets.colours[QStringLiteral("gfx/bitblts/9.bmp")]);
    QCOMPARE(f.compositions(), 1);

    assets.write(assets::noElementFile(), solid(16, 17, 0x0000EE));
    f.tick();
    QCOMPARE(shown(f.picFinalElem()), 0x0000EEu);
    QCOMPARE(f.prompts.notifications.size(), 1);
}

void PreviewRefreshTest::fileOfAnotherSizeIsUsedAsItIs()
{
    ColourAssets assets;
    assets.write(QStringLiteral("gfx/bitblts/A.bmp"), solid(12, 10, 0x0A0B0C));
    Form2Fixture f(assets.dir.path());
    f.tick();
    QCOMPARE(QSize(f.picFinalNum(0)->ScaleWidth(), f.picFinalNum(0)->ScaleHeight()), QSize(12, 10));
    QCOMPARE(f.picFinalNum(0)->size(), QSize(16, 14));
}

void PreviewRefreshTest::aMissingFolderIsOneNotice()
{
    QTemporaryDir empty;
    Form2Fixture f(empty.path());
    f.tick();
    f.tick();
    QCOMPARE(f.prompts.notifications.size(), 1);
    const QString report = f.prompts.notifications.front().text;
    // The frame, the element (also every unticked arrow) and the digit A.
    QVERIFY(report.startsWith(QStringLiteral("3 card parts could not be loaded")));
    for (const char* name : {"Lvl10 Frame.bmp", "noelem.bmp", "A.bmp"})
        QVERIFY2(report.contains(QLatin1String(name)), name);
    QCOMPARE(f.total(), qint16(40));  // the tool goes on
}

// The cards on screen against a composition made here from the same files.
void PreviewRefreshTest::cardsMatchAnOwnComposition()
{
    const QString bin = qEnvironmentVariable("ORVANE_BIN_DIR");
    Form2Fixture f;
    f.typeAll("3", "A", "7", "a");
    f.optElem(6)->click();
    f.typeAll("3", "9", "7", "a");
    f.tick();
    f.clickArrow(1);
    f.clickArrow(7);
    f.tick();
    const auto part = [&](const QString& relative) {
        return QImage(bin + QLatin1Char('/') + relative).convertToFormat(QImage::Format_RGB32);
    };
    CardPictures pictures;
    pictures.digits = {part("gfx/bitblts/3.bmp"), part("gfx/bitblts/9.bmp"),
                       part("gfx/bitblts/7.bmp"), part("gfx/bitblts/A.bmp")};
    pictures.frame = part(assets::frameFile(f.form->selectedFrame()));
    pictures.element = part(assets::elementFile(6));
    for (int i = 0; i < 8; ++i)
        pictures.arrows[size_t(i)] =
            part(i == 1 || i == 7 ? assets::arrowFile(i) : assets::noElementFile());
    CardLayers layers = pictures.layers();
    layers.mainPicture = nullptr;  // no picture loaded: the empty box is no layer
    for (PictureBox* card : {f.picBlueBase(), f.picRedBase()}) {
        QImage expected = (card == f.picBlueBase() ? f.picBlueClean() : f.picRedClean())->image();
        composeCard(expected, expected.copy(), layers, {}, 0, 0);
        QCOMPARE(card->image(), expected);
    }
}

// On a fresh start the empty main picture box is no layer: the grey it shows on screen never
// reaches the cards, which keep their own blue and red bases.
void PreviewRefreshTest::withoutAMainPictureTheCardsKeepTheirBases()
{
    Form2Fixture f;
    f.tick();
    f.optElem(0)->click();
    f.tick();
    const QRgb grey = f.picMainPic()->image().pixel(30, 30);
    QCOMPARE(f.picMainPic()->image().pixel(0, 0), grey);  // still grey on screen
    QCOMPARE(f.picBlueBase()->image().pixel(31, 31), f.picBlueClean()->image().pixel(31, 31));
    QCOMPARE(f.picRedBase()->image().pixel(31, 31), f.picRedClean()->image().pixel(31, 31));
    QVERIFY(f.picBlueBase()->image() != f.picRedBase()->image());
    for (PictureBox* card : {f.picBlueBase(), f.picRedBase()})
        for (int y = 0; y < card->image().height(); ++y)
            for (int x = 0; x < card->image().width(); ++x)
                QVERIFY(card->image().pixel(x, y) != grey);

    // A loaded picture is a layer; undoing the load empties the box, which is no layer again.
    const QImage before = f.picBlueBase()->image();
    QTemporaryDir dir;
    QImage picture(62, 62, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    QVERIFY(picture.save(dir.filePath(QStringLiteral("green.bmp")), "BMP"));
    f.prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("green.bmp")));
    f.cmdLoadMain()->click();
    QTRY_VERIFY(f.picMainPic()->hasPicture());  // the picture may load on a thread
    f.tick();
    QCOMPARE(f.picBlueBase()->image().pixel(31, 31), picture.pixel(31, 31));
    f.actUndo()->trigger();
    f.tick();
    QVERIFY(!f.picMainPic()->hasPicture());
    QCOMPARE(f.picMainPic()->image().pixel(0, 0), grey);
    QCOMPARE(f.picBlueBase()->image(), before);
}

void PreviewRefreshTest::partFailuresAreToldOnceInOneNotice()
{
    ScriptedPrompts prompts;
    PartFailureNotice notice;
    notice.tell(prompts);
    QVERIFY(prompts.notifications.isEmpty());  // nothing failed: nothing said

    const QString frame = assets::frameFile(0);
    const QSize size = assets::expectedSize(frame);
    QVERIFY(size.isValid());
    notice.add(frame, QStringLiteral("No such file"), QStringLiteral("/parts/") + frame);
    notice.tell(prompts);
    QCOMPARE(prompts.notifications.size(), 1);
    QCOMPARE(prompts.notifications[0].title, QStringLiteral("Card part missing"));
    QCOMPARE(prompts.notifications[0].text,
             QStringLiteral("A card part could not be loaded:\n\n\"%1\": No such file.\nLooked "
                            "for at %2; expected there: a BMP picture of %3 × %4 pixels.\n\nThe "
                            "card keeps the last picture of each part; put the file back and it "
                            "is used again at once.")
                 .arg(frame.section(QLatin1Char('/'), -1),
                      QDir::toNativeSeparators(QStringLiteral("/parts/") + frame))
                 .arg(size.width())
                 .arg(size.height()));

    // Told once: the next notice holds only what failed since.
    notice.add(frame, QStringLiteral("Broken"), QStringLiteral("/a/x.bmp"));
    notice.add(assets::arrowFile(2), QStringLiteral("Broken"), QStringLiteral("/a/arrow.bmp"));
    notice.tell(prompts);
    notice.tell(prompts);
    QCOMPARE(prompts.notifications.size(), 2);
    const QString two = prompts.notifications[1].text;
    QVERIFY2(two.startsWith(QStringLiteral("2 card parts could not be loaded:\n\n")),
             qPrintable(two));
    QVERIFY(!two.contains(QStringLiteral("No such file")));
    // An arrow may be of any size.
    QVERIFY(two.contains(QStringLiteral("\"%1\": Broken.\nLooked for at %2; expected there: a "
                                        "BMP picture.\n\n")
                             .arg(assets::arrowFile(2).section(QLatin1Char('/'), -1),
                                  QDir::toNativeSeparators(QStringLiteral("/a/arrow.bmp")))));
}

QTEST_MAIN(PreviewRefreshTest)
#include "preview_refresh_test.moc"
