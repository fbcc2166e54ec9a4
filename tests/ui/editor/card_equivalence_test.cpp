// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's cards and renderCard's cards are the same pixels, for cards the rules can draw.
#include "card/card.h"
#include "card/card_rules.h"
#include "document/card_document.h"
#include "files/card_export.h"
#include "files/main_picture.h"
#include "render/asset_catalogue.h"
#include "render/card_parts.h"
#include "support/form2_fixture.h"
#include "support/images.h"
#include "widgets/zoom_view.h"
#include "windows/prepare_picture_window.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum class Picture { Gradient, WithBlack, Large, Small };

// What the user does in Prepare Main Picture... (a deck row then says the same).
enum class Preparing { FillPannedLeftAndUp, PercentNearestCorners, FitKeyColour };

struct Row {
    std::array<QString, 4> sides;
    int element;
    QList<int> arrows;
    int x, y;
    orvane::CardPlacement placement;
    Picture picture;
};

// A main picture of the given kind, never the same pixels for two kinds.
QImage mainPicture(Picture kind)
{
    switch (kind) {
    case Picture::Gradient: return gradient(62, 62);
    case Picture::WithBlack: {
        QImage image = gradient(62, 62);
        for (int y = 0; y < 62; ++y)
            for (int x = 0; x < 62; ++x)
                if ((x / 5 + y / 7) % 3 == 0)
                    image.setPixel(x, y, qRgb(0, 0, 0));  // holes the base shows through
        return image;
    }
    case Picture::Large: {
        QImage image(100, 80, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, (x + y) % 9 == 0 ? qRgb(0, 0, 0) : qRgb(200, x, y));
        return image;
    }
    case Picture::Small: return solid(10, 12, qRgb(250, 240, 10));
    }
    return {};
}

orvane::CardPlacement moved()
{
    orvane::CardPlacement p;
    p.TopX = 0;
    p.TopY = 0;
    p.LeftX = 20;
    p.LeftY = 30;
    p.RightX = 53;
    p.RightY = 53;
    p.BottomX = 58;  // partly off the card
    p.BottomY = -4;
    p.ElemX = 0;
    p.ElemY = 45;
    return p;
}

// Card parts in which every layer is seen: each file a pattern of its own colour with black
// holes, the empty picture included (the built parts keep much of it black).
bool writeLoudParts(const QString& root, const QString& builtRoot)
{
    int k = 0;
    for (const QString& name : orvane::assets::allFiles()) {
        const QImage built(QDir(builtRoot).filePath(name));
        QImage loud(built.size(), QImage::Format_RGB32);
        ++k;
        for (int y = 0; y < loud.height(); ++y)
            for (int x = 0; x < loud.width(); ++x)
                loud.setPixel(x, y,
                              (x + 2 * y) % 5 == 0 ? qRgb(0, 0, 0)
                                                   : qRgb(20 + 7 * k, 255 - 5 * k, x * 4));
        QDir().mkpath(QFileInfo(QDir(root).filePath(name)).path());
        if (!loud.save(QDir(root).filePath(name), "bmp"))
            return false;
    }
    return true;
}

}  // namespace

Q_DECLARE_METATYPE(Row)
Q_DECLARE_METATYPE(Preparing)

class CardEquivalenceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sameCards_data();
    void sameCards();
    void preparedCardsAsTheDeckRenders_data();
    void preparedCardsAsTheDeckRenders();

private:
    QTemporaryDir m_dir;
    QString m_loudRoot;
    std::optional<orvane::CardParts> m_builtParts;
    std::optional<orvane::CardParts> m_loudParts;
};

void CardEquivalenceTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString error;
    const QString builtRoot = qEnvironmentVariable("ORVANE_BIN_DIR");
    m_builtParts = orvane::CardParts::load(builtRoot, &error);
    QVERIFY2(m_builtParts, qPrintable(error));
    m_loudRoot = m_dir.filePath(QStringLiteral("loud"));
    QVERIFY(writeLoudParts(m_loudRoot, builtRoot));
    m_loudParts = orvane::CardParts::load(m_loudRoot, &error);
    QVERIFY2(m_loudParts, qPrintable(error));
    for (Picture kind : {Picture::Gradient, Picture::WithBlack, Picture::Large, Picture::Small})
        QVERIFY(mainPicture(kind).save(m_dir.filePath(QStringLiteral("%1.bmp").arg(int(kind)))));
}

void CardEquivalenceTest::sameCards_data()
{
    QTest::addColumn<Row>("row");
    QTest::addColumn<bool>("loud");
    const orvane::CardPlacement standard;
    const auto add = [](const char* name, const Row& row) {
        QTest::addRow("%s, built parts", name) << row << false;
        QTest::addRow("%s, loud parts", name) << row << true;
    };
    const std::array<QString, 4> allA{"A", "A", "A", "A"};
    add("none, all A", {allA, 8, {}, 31, 0, standard, Picture::Gradient});
    add("fire, six arrows", {allA, 0, {0, 1, 2, 3, 4, 5}, 0, 0, standard, Picture::WithBlack});
    add("water, small total", {{"1", "2", "3", "4"}, 1, {7}, 31, 31, standard, Picture::Gradient});
    add("ice, offset 62", {{"9", "9", "9", "9"}, 2, {1, 6}, 62, 62, standard, Picture::WithBlack});
    add("earth, boss frame", {{"5", "4", "4", "4"}, 3, {0, 7}, 0, 31, standard, Picture::Large});
    add("wind, gf frame", {{"7", "6", "6", "6"}, 4, {2, 3, 4}, 31, 0, standard, Picture::Large});
    add("poison, lower a", {{"a", "1", "A", "8"}, 5, {5}, 62, 0, standard, Picture::Small});
    add("bolt, moved", {{"3", "A", "6", "2"}, 6, {0, 4, 6}, 31, 62, moved(), Picture::WithBlack});
    add("holy, moved", {allA, 7, {0, 1, 2, 3, 4, 5}, 0, 62, moved(), Picture::Gradient});
    add("shadow, no arrows", {{"2", "3", "2", "3"}, 9, {}, 31, 31, standard, Picture::Small});
    add("trap", {{"2", "2", "2", "2"}, 10, {3}, 31, 31, standard, Picture::WithBlack});
    add("trap, moved", {{"2", "2", "2", "2"}, 10, {6}, 62, 31, moved(), Picture::Large});
}

void CardEquivalenceTest::sameCards()
{
    QFETCH(Row, row);
    QFETCH(bool, loud);
    const QString picturePath = m_dir.filePath(QStringLiteral("%1.bmp").arg(int(row.picture)));

    Form2Fixture f(loud ? m_loudRoot : qEnvironmentVariable("ORVANE_BIN_DIR"));
    f.prompts.fileAnswers.enqueue(picturePath);
    f.form->run(Form2::Command::LoadMainPicture);
    f.optElem(size_t(row.element))->click();
    if (row.element != orvane::ElementTrap)
        for (int i = 0; i < 4; ++i)
            f.type(i, row.sides[size_t(i)]);
    f.tick();  // the arrow limit follows the new total
    for (int arrow : row.arrows)
        f.clickArrow(arrow);
    QCOMPARE(f.ticked(), int(row.arrows.size()));
    f.scrX()->setValue(row.x);
    f.scrY()->setValue(row.y);
    f.form->document().setPlacement(row.placement);

    orvane::Card card;
    card.sides = row.sides;
    card.element = row.element;
    for (int arrow : row.arrows)
        card.arrows[size_t(arrow)] = true;
    const orvane::LoadedPicture loaded = orvane::loadMainPicture(picturePath);
    QVERIFY2(!loaded.image.isNull(), qPrintable(loaded.error));
    card.mainPicture = loaded.image;
    card.mainPicturePath = picturePath;
    card.x = row.x;
    card.y = row.y;
    card.placement = row.placement;
    const orvane::RenderedCard rendered =
        orvane::renderCard(card, loud ? *m_loudParts : *m_builtParts);

    QCOMPARE(rendered.blue, f.picBlueBase()->image());
    QCOMPARE(rendered.red, f.picRedBase()->image());
    QVERIFY(rendered.blue != rendered.red);  // the base shows somewhere on every card here
}

void CardEquivalenceTest::preparedCardsAsTheDeckRenders_data()
{
    QTest::addColumn<Preparing>("preparing");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("cells");  // fit,scale,resample,pan_x,pan_y,key,tolerance,keep_dark
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addRow("wide, fill, panned left and up, scrolled")
        << Preparing::FillPannedLeftAndUp << "wide.png"
        << "fill,,,-10,-3,,," << 3 << 0;
    QTest::addRow("tall, 35 percent, nearest, corners, keep dark")
        << Preparing::PercentNearestCorners << "tall.png"
        << "none,35,nearest,,,corners,10,yes" << 0 << 4;
    QTest::addRow("wide, fit, key colour") << Preparing::FitKeyColour << "wide.png"
                                           << "fit,,,2,,#2ab23e,8," << 0 << 0;
}

// The card the editor shows after Prepare Main Picture... is the card the deck renderer writes
// from a row with the same settings.
void CardEquivalenceTest::preparedCardsAsTheDeckRenders()
{
    QFETCH(Preparing, preparing);
    QFETCH(QString, source);
    QFETCH(QString, cells);
    QFETCH(int, x);
    QFETCH(int, y);
    QVERIFY(framedSubject(180, 100).save(m_dir.filePath(QStringLiteral("wide.png"))));
    QVERIFY(framedSubject(70, 150).save(m_dir.filePath(QStringLiteral("tall.png"))));

    Form2Fixture f;
    f.optElem(0)->click();
    f.typeAll("1", "2", "3", "4");
    f.tick();
    // Larger than the card: loading it offers to prepare it, and the user says yes.
    f.prompts.fileAnswers.enqueue(m_dir.filePath(source));
    f.prompts.messageAnswers.enqueue(orvane::AnswerYes);
    f.form->run(Form2::Command::LoadMainPicture);
    auto* window = f->findChild<PreparePictureWindow*>();
    QVERIFY(window);
    switch (preparing) {
    case Preparing::FillPannedLeftAndUp:
        window->optFill->click();
        QTest::keyClick(window->picPreviewBlue, Qt::Key_Left, Qt::ShiftModifier);
        for (int k = 0; k < 3; ++k)
            QTest::keyClick(window->picPreviewRed, Qt::Key_Up);
        break;
    case Preparing::PercentNearestCorners:
        window->optPercent->click();
        window->txtPercent->setValue(35);
        window->cboResample->setCurrentIndex(1);
        window->cboKey->setCurrentIndex(2);
        window->sldTolerance->setValue(10);
        window->chkKeepDark->setChecked(true);
        break;
    case Preparing::FitKeyColour: {
        orvane::PictureFit fit;
        fit.key = orvane::KeyMode::Colour;
        fit.keyColour = qRgb(0x2a, 0xb2, 0x3e);
        fit.tolerance = 8;
        window->setFit(fit);
        QTest::keyClick(window->picPreviewBlue, Qt::Key_Right);
        QTest::keyClick(window->picPreviewBlue, Qt::Key_Right);
        break;
    }
    }
    window->cmdOK->click();
    f.scrX()->setValue(x);
    f.scrY()->setValue(y);
    f.tick();

    const QString deck = m_dir.filePath(QStringLiteral("prepared.csv"));
    QFile file(deck);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        QStringLiteral("name,up,left,right,down,element,picture,x,y,fit,scale,resample,"
                       "pan_x,pan_y,key,tolerance,keep_dark\nCard,1,2,3,4,fire,%1,%2,%3,%4\n")
            .arg(source)
            .arg(x)
            .arg(y)
            .arg(cells)
            .toUtf8());
    file.close();
    orvane::DeckRenderOptions options;
    options.input = deck;
    options.outDir = m_dir.filePath(QStringLiteral("out"));
    options.partsRoot = qEnvironmentVariable("ORVANE_BIN_DIR");
    const orvane::DeckRenderResult result = orvane::renderDeck(options);
    QVERIFY2(result.ok(), qPrintable(result.fatal + result.problems.join(QLatin1Char('\n'))));
    const QString base = QDir(options.outDir).filePath(QStringLiteral("Card"));
    QCOMPARE(QImage(base + "-blue.png").convertToFormat(QImage::Format_RGB32),
             f.picBlueBase()->image());
    QCOMPARE(QImage(base + "-red.png").convertToFormat(QImage::Format_RGB32),
             f.picRedBase()->image());
    QVERIFY(!f.form->document().card().preparation.source.isNull());
}

QTEST_MAIN(CardEquivalenceTest)
#include "card_equivalence_test.moc"
