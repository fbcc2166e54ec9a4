// SPDX-License-Identifier: GPL-3.0-or-later
// The card boxes at the screen's scale (QT_SCALE_FACTOR, run at 1, 1.25, 1.5 and 2): every device
// pixel of a card shows exactly one card pixel's colour, the one under it, so the card is drawn in
// whole blocks of device pixels and never blurred.
#include "support/form2_fixture.h"

#include <QtTest>
#include <cmath>

class ScaledCardsTest : public QObject {
    Q_OBJECT
private slots:
    void cardPixelsAreWholeBlocksOfDevicePixels();
};

void ScaledCardsTest::cardPixelsAreWholeBlocksOfDevicePixels()
{
    Form2Fixture f;
    f->show();
    f.optElem(2)->click();
    f.type(0, QStringLiteral("7"));
    f.chkArrow(1)->click();
    f.tick();
    const double expectedScale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    for (PictureBox* box : {f.picBlueBase(), f.picRedBase()}) {
        const QImage card = box->image().convertToFormat(QImage::Format_RGB32);
        const QPixmap shot = box->grab();
        const double scale = shot.devicePixelRatio();
        QCOMPARE(scale, expectedScale);
        const QImage drawn = shot.toImage().convertToFormat(QImage::Format_RGB32);
        const int border = (box->width() - card.width()) / 2;
        int wrong = 0;
        QString first;
        for (int y = int(std::ceil(border * scale)); y < int((border + card.height()) * scale); ++y)
            for (int x = int(std::ceil(border * scale)); x < int((border + card.width()) * scale); ++x) {
                // The card pixel under this device pixel, allowing the renderer its rounding of
                // a block's edge to either neighbour; anything else is a blend or a shift.
                const int cx = int(std::floor((x + 0.5) / scale)) - border;
                const int cy = int(std::floor((y + 0.5) / scale)) - border;
                bool found = false;
                for (int dy = -1; dy <= 1 && !found; ++dy)
                    for (int dx = -1; dx <= 1 && !found; ++dx)
                        found = card.valid(cx + dx, cy + dy) &&
                                card.pixel(cx + dx, cy + dy) == drawn.pixel(x, y);
                if (!found && wrong++ == 0)
                    first = QStringLiteral("device pixel %1,%2").arg(x).arg(y);
            }
        QVERIFY2(wrong == 0, qPrintable(QStringLiteral("%1 device pixels show no card pixel, first %2")
                                            .arg(wrong)
                                            .arg(first)));
    }
}

QTEST_MAIN(ScaledCardsTest)
#include "scaled_cards_test.moc"
