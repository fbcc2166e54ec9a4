// SPDX-License-Identifier: GPL-3.0-or-later
// A frame that keeps its drawn look shows exactly what a plain group box shows, in every state,
// and draws itself again only when its look changes.
#include "widgets/frame_box.h"

#include <QApplication>
#include <QLabel>
#include <QStyleFactory>
#include <QtTest>

#include <functional>

class FrameBoxTest : public QObject {
    Q_OBJECT
private slots:
    void looksLikeAGroupBoxInEveryState_data();
    void looksLikeAGroupBoxInEveryState();
    void aChildsChangeCopiesTheFrame();
};

namespace {

// A window holding a kept-look frame and a plain group box side by side, set up alike.
struct TwoFrames {
    QWidget window;
    FrameBox* kept = new FrameBox(&window);
    QGroupBox* plain = new QGroupBox(&window);
    QLabel* keptChild = new QLabel(kept);
    QLabel* plainChild = new QLabel(plain);

    TwoFrames()
    {
        window.resize(420, 200);
        QPalette grey = window.palette();
        grey.setColor(QPalette::Window, QColor(192, 192, 192));
        window.setPalette(grey);
        window.setAutoFillBackground(true);
        kept->setGeometry(10, 10, 180, 120);
        plain->setGeometry(220, 10, 180, 120);
        for (QLabel* child : {keptChild, plainChild})
            child->setGeometry(12, 30, 120, 20);
        both([](QGroupBox* frame) { frame->setTitle(QStringLiteral("Enter Your Numbers:")); });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    void both(const std::function<void(QGroupBox*)>& change)
    {
        change(kept);
        change(plain);
    }

    // What the window shows of each, once every pending repaint is done.
    QImage shown(QGroupBox* frame)
    {
        QCoreApplication::processEvents();
        return window.grab(frame->geometry()).toImage();
    }
};

}  // namespace

void FrameBoxTest::looksLikeAGroupBoxInEveryState_data()
{
    QTest::addColumn<std::function<void(TwoFrames&)>>("change");
    const auto row = [](const char* name, std::function<void(TwoFrames&)> change) {
        QTest::newRow(name) << change;
    };
    row("as made", [](TwoFrames&) {});
    row("caption changed",
        [](TwoFrames& t) { t.both([](QGroupBox* f) { f->setTitle(QStringLiteral("Arrows:")); }); });
    row("caption emptied", [](TwoFrames& t) { t.both([](QGroupBox* f) { f->setTitle({}); }); });
    row("bold caption", [](TwoFrames& t) {
        t.both([](QGroupBox* f) {
            QFont bold = f->font();
            bold.setBold(true);
            bold.setPointSizeF(11);
            f->setFont(bold);
        });
    });
    row("resized", [](TwoFrames& t) { t.both([](QGroupBox* f) { f->resize(150, 90); }); });
    row("disabled", [](TwoFrames& t) { t.both([](QGroupBox* f) { f->setEnabled(false); }); });
    row("caption centred",
        [](TwoFrames& t) { t.both([](QGroupBox* f) { f->setAlignment(Qt::AlignHCenter); }); });
    row("flat", [](TwoFrames& t) { t.both([](QGroupBox* f) { f->setFlat(true); }); });
    row("own palette", [](TwoFrames& t) {
        t.both([](QGroupBox* f) {
            QPalette p = f->palette();
            p.setColor(QPalette::WindowText, Qt::darkBlue);
            p.setColor(QPalette::Window, QColor(220, 200, 160));
            f->setPalette(p);
        });
    });
    row("window background changed", [](TwoFrames& t) {
        QPalette p = t.window.palette();
        p.setColor(QPalette::Window, QColor(90, 140, 200));
        t.window.setPalette(p);
    });
    row("another style", [](TwoFrames& t) {
        for (const QString& name : QStyleFactory::keys()) {
            if (name == QApplication::style()->name())
                continue;
            QStyle* other = QStyleFactory::create(name);
            other->setParent(&t.window);
            t.both([other](QGroupBox* f) { f->setStyle(other); });
            return;
        }
    });
}

void FrameBoxTest::looksLikeAGroupBoxInEveryState()
{
    QFETCH(std::function<void(TwoFrames&)>, change);
    TwoFrames t;
    // Shown once before the change, so a kept picture of the old look exists.
    QCOMPARE(t.shown(t.kept), t.shown(t.plain));
    change(t);
    QCOMPARE(t.shown(t.kept), t.shown(t.plain));
    // A child repainting over the frame shows the frame's current look behind it.
    t.both([&t](QGroupBox* f) {
        (f == t.kept ? t.keptChild : t.plainChild)->setText(QStringLiteral("X: 4"));
    });
    QCOMPARE(t.shown(t.kept), t.shown(t.plain));
}

void FrameBoxTest::aChildsChangeCopiesTheFrame()
{
    TwoFrames t;
    t.shown(t.kept);
    const int drawn = t.kept->drawCount();
    QVERIFY(drawn >= 1);
    for (const char* text : {"X: 1", "X: 2", "X: 3"}) {
        t.keptChild->setText(QLatin1String(text));
        t.keptChild->repaint();
    }
    QCOMPARE(t.kept->drawCount(), drawn);
    t.kept->setTitle(QStringLiteral("Place Your Main Picture (X, Y):"));
    t.shown(t.kept);
    QCOMPARE(t.kept->drawCount(), drawn + 1);
}

QTEST_MAIN(FrameBoxTest)
#include "frame_box_test.moc"
