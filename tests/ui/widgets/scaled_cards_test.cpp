// SPDX-License-Identifier: GPL-3.0-or-later
// The window at the screen's scale (QT_SCALE_FACTOR, run at 1, 1.25, 1.5 and 2): every device
// pixel of a card, in the card boxes and in the set's thumbnails at each zoom, shows exactly one
// card pixel's colour, the one under it, so the card is drawn in whole blocks of device pixels
// and never blurred; and no control of the window is cut by its parent or too small for its
// caption.
#include "set/card_set.h"
#include "setpanel/set_commands.h"
#include "setpanel/set_panel.h"
#include "setpanel/set_thumbnails.h"
#include "support/form2_fixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QListView>
#include <QSpinBox>
#include <QtTest>
#include <cmath>

namespace {

double screenScale()
{
    return qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
}

// The device pixels of `drawn` (a grab at `scale`) over the logical rectangle `at`, where
// `card` is drawn enlarged to it, that show no card pixel under them or beside them (the
// renderer may round a block's edge to either neighbour; anything else is a blend or a shift).
// Empty when there is none, else the count and the first.
QString devicePixelsWithoutACardPixel(const QImage& drawn, const QImage& card, QRect at,
                                      double scale)
{
    const double block = double(at.width()) / card.width();
    int wrong = 0;
    QString first;
    for (int y = int(std::ceil(at.top() * scale)); y < int((at.top() + at.height()) * scale); ++y)
        for (int x = int(std::ceil(at.left() * scale)); x < int((at.left() + at.width()) * scale);
             ++x) {
            const int cx = int(std::floor(((x + 0.5) / scale - at.left()) / block));
            const int cy = int(std::floor(((y + 0.5) / scale - at.top()) / block));
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = card.valid(cx + dx, cy + dy) &&
                            card.pixel(cx + dx, cy + dy) == drawn.pixel(x, y);
            if (!found && wrong++ == 0)
                first = QStringLiteral("device pixel %1,%2").arg(x).arg(y);
        }
    return wrong == 0 ? QString()
                      : QStringLiteral("%1 device pixels show no card pixel, first %2")
                            .arg(wrong)
                            .arg(first);
}

// A window with a two-card set open, its panel shown.
struct SetWindow {
    QTemporaryDir dir;
    Form2Fixture f;

    SetWindow()
    {
        QFile deck(dir.filePath("deck.csv"));
        deck.open(QIODevice::WriteOnly);
        deck.write("name,up,left,right,down,element,arrows\nKnight,7,A,A,A,holy,up right\n"
                   "Slime,2,3,1,4,poison,down\n");
        deck.close();
        f->findChild<orvane::SetCommands*>()->openSet(deck.fileName());
        f->resize(1400, 900);
        f->show();
        QCoreApplication::processEvents();
    }
    orvane::SetPanel* panel() const { return f->findChild<orvane::SetPanel*>(); }
};

}  // namespace

class ScaledCardsTest : public QObject {
    Q_OBJECT
private slots:
    void cardPixelsAreWholeBlocksOfDevicePixels();
    void thumbnailsAreWholeBlocksAtEveryZoom();
    void noControlIsCut();
};

void ScaledCardsTest::cardPixelsAreWholeBlocksOfDevicePixels()
{
    Form2Fixture f;
    f->show();
    f.optElem(2)->click();
    f.type(0, QStringLiteral("7"));
    f.chkArrow(1)->click();
    f.tick();
    for (PictureBox* box : {f.picBlueBase(), f.picRedBase()}) {
        const QImage card = box->image().convertToFormat(QImage::Format_RGB32);
        const QPixmap shot = box->grab();
        QCOMPARE(shot.devicePixelRatio(), screenScale());
        const int border = (box->width() - card.width()) / 2;
        const QString wrong = devicePixelsWithoutACardPixel(
            shot.toImage().convertToFormat(QImage::Format_RGB32), card,
            QRect(border, border, card.width(), card.height()), shot.devicePixelRatio());
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
}

void ScaledCardsTest::thumbnailsAreWholeBlocksAtEveryZoom()
{
    SetWindow w;
    orvane::SetPanel* panel = w.panel();
    QListView* list = panel->lstSetThumbnails;
    orvane::SetThumbnails* thumbnails = panel->thumbnails();
    const orvane::CardSet& set = w.f.session().set();
    for (int zoom = orvane::SetThumbnails::MinZoom; zoom <= orvane::SetThumbnails::MaxZoom;
         ++zoom) {
        panel->spnSetZoom->setValue(zoom);
        QCoreApplication::processEvents();
        const QModelIndex first = list->model()->index(0, 0);
        const QRect item = list->visualRect(first);
        const QPixmap shot = list->viewport()->grab();
        const QImage drawn = shot.toImage().convertToFormat(QImage::Format_RGB32);
        const orvane::RenderedCard* cards = thumbnails->pictures(set.entries()[0].id);
        QVERIFY(cards);
        for (const bool second : {false, true}) {
            const QImage card =
                (second ? cards->red : cards->blue).convertToFormat(QImage::Format_RGB32);
            const QString wrong = devicePixelsWithoutACardPixel(
                drawn, card, thumbnails->cardRect(item, second), shot.devicePixelRatio());
            QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("zoom %1: %2").arg(zoom).arg(wrong)));
        }
    }
}

// Every visible control of the window, with a set open: inside its parent, and wide and tall
// enough for its caption's text (a check or radio box with its indicator beside it). Qt's own
// parts of a dock's title ("qt_...") are Qt's to lay out.
void ScaledCardsTest::noControlIsCut()
{
    SetWindow w;
    QStringList cut;
    const QList<QWidget*> controls = w.f->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (!control->isVisibleTo(w.f.window.get()) || !control->parentWidget() ||
            control->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const QString name = control->objectName().isEmpty()
                                 ? QString::fromLatin1(control->metaObject()->className())
                                 : control->objectName();
        const bool shown = qobject_cast<QAbstractButton*>(control) ||
                              qobject_cast<QLabel*>(control) ||
                              qobject_cast<QComboBox*>(control) ||
                              qobject_cast<QAbstractSpinBox*>(control) ||
                              qobject_cast<QLineEdit*>(control);
        if (!shown)
            continue;
        if (!control->parentWidget()->rect().contains(control->geometry()))
            cut << QStringLiteral("%1 reaches out of its parent").arg(name);
        QString text;
        int beside = 0;  // what is drawn beside the text
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            text = button->text().remove(QLatin1Char('&'));
            if (!button->icon().isNull())
                beside += button->iconSize().width() + 4;
            const QStyle::PixelMetric indicator =
                qobject_cast<QRadioButton*>(control)  ? QStyle::PM_ExclusiveIndicatorWidth
                : qobject_cast<QCheckBox*>(control) ? QStyle::PM_IndicatorWidth
                                                     : QStyle::PM_ButtonMargin;
            beside += control->style()->pixelMetric(indicator, nullptr, control);
            // A check box the size of its indicator shows no caption (the arrow boxes).
            if (qobject_cast<QCheckBox*>(control) && control->width() <= beside + 4)
                continue;
        } else if (auto* label = qobject_cast<QLabel*>(control); label && !label->wordWrap()) {
            text = label->text();
        }
        if (text.isEmpty() || text.contains(QLatin1Char('<')))
            continue;
        const QFontMetrics metrics(control->font());
        int width = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            width = std::max(width, metrics.horizontalAdvance(line));
        if (control->width() < width + beside || control->height() < metrics.height())
            cut << QStringLiteral("%1 (\"%2\") is %3 × %4, its text needs %5 × %6")
                       .arg(name, text)
                       .arg(control->width())
                       .arg(control->height())
                       .arg(width + beside)
                       .arg(metrics.height());
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("\n"))));
}

QTEST_MAIN(ScaledCardsTest)
#include "scaled_cards_test.moc"
