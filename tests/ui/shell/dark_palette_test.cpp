// SPDX-License-Identifier: GPL-3.0-or-later
// The main window in a dark desktop palette: every text stays readable on what it is drawn on.
#include "editor/form2.h"
#include "render/card_parts.h"
#include "support/form2_fixture.h"
#include "windows/statistics_dock.h"

#include <QApplication>
#include <QLineEdit>
#include <QStatusBar>
#include <QtTest>

using orvane::RenderedCard;

namespace {

// The contrast ratio of two colours as the accessibility guidelines define it (1 to 21).
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return std::max(la, lb) / std::min(la, lb);
}

QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x20, 0x22, 0x25));
    dark.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8));
    dark.setColor(QPalette::Base, QColor(0x16, 0x17, 0x19));
    dark.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xe8));
    dark.setColor(QPalette::Button, QColor(0x30, 0x32, 0x36));
    dark.setColor(QPalette::ButtonText, QColor(0xe8, 0xe8, 0xe8));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    return dark;
}

}  // namespace

class DarkPaletteTest : public QObject {
    Q_OBJECT
private slots:
    void everyTextIsReadable();
};

void DarkPaletteTest::everyTextIsReadable()
{
    const QPalette before = QApplication::palette();
    RenderedCard light;
    {
        Form2Fixture f;
        f.tick();
        light = f.form->shownCards();
    }
    QApplication::setPalette(darkPalette());
    {
        Form2Fixture f;
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.tick();
        // The cards are the same pixels in any palette.
        QCOMPARE(f.form->shownCards().blue, light.blue);
        QCOMPARE(f.form->shownCards().red, light.red);
        // The card window keeps its light grey; its captions stay dark on it.
        const QPalette card = f.form->palette();
        QCOMPARE(card.color(QPalette::Window), QColor(192, 192, 192));
        const struct {
            const char* what;
            QColor text, ground;
        } pairs[] = {
            {"card window captions", f.label("Label7")->palette().color(QPalette::WindowText),
             card.color(QPalette::Window)},
            {"number boxes", f.txtNums(0)->palette().color(QPalette::Text),
             f.txtNums(0)->palette().color(QPalette::Base)},
            {"name field", f.child<QLineEdit>("txtCardName")->palette().color(QPalette::Text),
             f.child<QLineEdit>("txtCardName")->palette().color(QPalette::Base)},
            {"status line", f->statusBar()->palette().color(QPalette::WindowText),
             f->statusBar()->palette().color(QPalette::Window)},
            {"statistics", f->findChild<StatisticsDock*>()->palette().color(QPalette::WindowText),
             f->findChild<StatisticsDock*>()->palette().color(QPalette::Window)},
        };
        for (const auto& pair : pairs)
            QVERIFY2(contrast(pair.text, pair.ground) >= 4.5,
                     qPrintable(QStringLiteral("%1: %2 on %3")
                                    .arg(pair.what, pair.text.name(), pair.ground.name())));
        // Disabled (no card shown), the captions still show, fainter.
        const QColor disabled = card.color(QPalette::Disabled, QPalette::WindowText);
        QVERIFY(contrast(disabled, card.color(QPalette::Window)) >= 2.0);
        QVERIFY(disabled != card.color(QPalette::Active, QPalette::WindowText));
    }
    QApplication::setPalette(before);
}

QTEST_MAIN(DarkPaletteTest)
#include "dark_palette_test.moc"
