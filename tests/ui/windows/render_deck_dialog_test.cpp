// SPDX-License-Identifier: GPL-3.0-or-later
// Render Deck: the options handed to the renderer, progress and Cancel from the worker thread,
// the list of bad rows, failures told to the user, closing while rendering.
#include "support/scripted_prompts.h"
#include "windows/render_deck_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>
#include <QtTest>

#include <mutex>

using namespace orvane;

namespace {

// A renderer that writes one small file per card and, after `pauseAfter` cards, waits (at most
// five seconds) for Cancel, so a test can cancel at a known point.
struct FakeRenderer {
    int total = 10;
    int pauseAfter = -1;
    DeckRenderResult result;  // problems and fatal handed back
    std::mutex mutex;
    DeckRenderOptions seen;

    DeckRenderResult operator()(const DeckRenderOptions& options, const Progress& progress)
    {
        {
            const std::lock_guard lock(mutex);
            seen = options;
        }
        DeckRenderResult out = result;
        for (int i = 0; i < total; ++i) {
            if (i == pauseAfter)
                for (int wait = 0; wait < 5000 && !progress.stopRequested(); ++wait)
                    QThread::msleep(1);
            if (progress.stopRequested()) {
                out.cancelled = true;
                return out;
            }
            QString error;
            writeFileAtomically(QDir(options.outDir).filePath(QStringLiteral("%1.png").arg(i)),
                                QByteArray("picture"), &error);
            ++out.cards;
            progress.report(i + 1, total);
        }
        return out;
    }
};

struct Fixture {
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    FakeRenderer fake;
    RenderDeckDialog dialog{
        prompts, QStringLiteral("/parts"),
        [this](const DeckRenderOptions& o, const Progress& p) { return fake(o, p); }};

    Fixture()
    {
        QFile deck(dir.filePath("deck.csv"));
        deck.open(QIODevice::WriteOnly);
        deck.write("name,up,left,right,down\n");
        QDir().mkpath(dir.filePath("out"));
        dialog.txtDeck->setText(dir.filePath("deck.csv"));
        dialog.txtOutDir->setText(dir.filePath("out"));
    }
    QStringList written() const
    {
        return QDir(dir.filePath("out")).entryList(QDir::Files, QDir::Name);
    }
    bool waitUntilDone() const
    {
        return QTest::qWaitFor([this] { return !dialog.isRendering(); }, 10000);
    }
};

}  // namespace

class RenderDeckDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rendersWithTheChosenOptions();
    void progressAndCancelLeaveOnlyWholeFiles();
    void badRowsAreListed();
    void aFatalFailureIsTold();
    void aMissingDeckStartsNothing();
    void browsing();
    void closingWhileRenderingCancels();
};

void RenderDeckDialogTest::initTestCase()
{
    static QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QCoreApplication::setOrganizationName(QStringLiteral("OrvaneTest"));
    QCoreApplication::setApplicationName(QStringLiteral("render_deck_dialog_test"));
}

void RenderDeckDialogTest::rendersWithTheChosenOptions()
{
    Fixture f;
    QCOMPARE(f.dialog.windowTitle(), QStringLiteral("Render Deck"));
    f.dialog.cboFormat->setCurrentIndex(1);
    f.dialog.spnScale->setValue(4);
    QSignalSpy rendered(&f.dialog, &RenderDeckDialog::rendered);
    f.dialog.cmdRender->click();
    QVERIFY(f.dialog.isRendering());
    QVERIFY(!f.dialog.cmdRender->isEnabled());
    QVERIFY(f.waitUntilDone());
    QCOMPARE(f.fake.seen.input, f.dir.filePath("deck.csv"));
    QCOMPARE(f.fake.seen.outDir, f.dir.filePath("out"));
    QCOMPARE(f.fake.seen.format, ExportFormat::Jpeg);
    QCOMPARE(f.fake.seen.scale, 4);
    QCOMPARE(f.fake.seen.partsRoot, QStringLiteral("/parts"));
    QCOMPARE(f.written().size(), 10);
    QCOMPARE(rendered.size(), 1);
    QCOMPARE(rendered.front().front().toString(),
             QStringLiteral("Rendered 10 cards of deck.csv into %1")
                 .arg(QDir::toNativeSeparators(f.dir.filePath("out"))));
    QVERIFY(f.dialog.cmdRender->isEnabled());
    QVERIFY(f.dialog.lstProblems->isHidden());
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(QSettings().value(QStringLiteral("RenderDeck/scale")).toInt(), 4);
}

void RenderDeckDialogTest::progressAndCancelLeaveOnlyWholeFiles()
{
    Fixture f;
    f.fake.pauseAfter = 3;
    QList<int> done;
    connect(&f.dialog, &RenderDeckDialog::progressed, &f.dialog, [&](int d, int total) {
        done << d;
        QCOMPARE(total, 10);
        QCOMPARE(f.dialog.progressDialog()->value(), d);
        if (d == 3) {
            auto* cancel = f.dialog.progressDialog()->findChild<QPushButton*>();
            QVERIFY(cancel);
            cancel->click();
        }
    });
    f.dialog.cmdRender->click();
    QVERIFY(f.dialog.progressDialog()->isVisible());
    QVERIFY(f.waitUntilDone());
    QCOMPARE(done, (QList<int>{1, 2, 3}));
    QVERIFY(f.dialog.lastResult().cancelled);
    QCOMPARE(f.written(), (QStringList{"0.png", "1.png", "2.png"}));
    for (const QString& name : f.written())
        QCOMPARE(QFileInfo(f.dir.filePath("out/" + name)).size(), qint64(7));
    QVERIFY(f.dialog.labResult->text().startsWith(QStringLiteral("Cancelled after 3 cards")));
    QTRY_VERIFY(!f.dialog.progressDialog());
}

void RenderDeckDialogTest::badRowsAreListed()
{
    Fixture f;
    f.fake.total = 1;
    f.fake.result.problems = {
        QStringLiteral("deck.csv:3: column element: \"Wood\" is not an element"),
        QStringLiteral("deck.csv:12: the row has 3 cells: 5 are needed"),
        QStringLiteral("something else")};
    f.dialog.cmdRender->click();
    QVERIFY(f.waitUntilDone());
    QTreeWidget* list = f.dialog.lstProblems;
    QVERIFY(!list->isHidden());
    QCOMPARE(list->topLevelItemCount(), 3);
    const QStringList expected[] = {{"3", "element", "\"Wood\" is not an element"},
                                    {"12", "", "the row has 3 cells: 5 are needed"},
                                    {"", "", "something else"}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            QCOMPARE(list->topLevelItem(row)->text(column), expected[row][column]);
    QVERIFY(f.dialog.labResult->text().contains(QStringLiteral("3 bad rows left out")));
}

void RenderDeckDialogTest::aFatalFailureIsTold()
{
    Fixture f;
    f.fake.total = 0;
    f.fake.result.fatal = QStringLiteral("the card part gfx/bitblts/A.bmp is missing");
    f.dialog.cmdRender->click();
    QVERIFY(f.waitUntilDone());
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages.front().title, QStringLiteral("Render Deck"));
    QVERIFY(f.prompts.messages.front().text.contains(f.fake.result.fatal));
}

void RenderDeckDialogTest::aMissingDeckStartsNothing()
{
    Fixture f;
    for (const QString& deck : {QString(), f.dir.filePath("none.csv")}) {
        f.prompts.messages.clear();
        f.dialog.txtDeck->setText(deck);
        f.dialog.cmdRender->click();
        QVERIFY(!f.dialog.isRendering());
        QCOMPARE(f.prompts.messages.size(), 1);
    }
    QVERIFY(f.written().isEmpty());
}

void RenderDeckDialogTest::browsing()
{
    Fixture f;
    f.prompts.fileAnswers.enqueue(f.dir.filePath("other.csv"));
    f.dialog.cmdBrowseDeck->click();
    QCOMPARE(f.prompts.fileRequests.size(), 1);
    QVERIFY(!f.prompts.fileRequests.front().save);
    QCOMPARE(f.prompts.fileRequests.front().dialog.DialogTitle, QStringLiteral("Render Deck"));
    QVERIFY(f.prompts.fileRequests.front().dialog.Filter.startsWith(QStringLiteral("Decks")));
    QCOMPARE(f.dialog.txtDeck->text(), QDir::toNativeSeparators(f.dir.filePath("other.csv")));
    f.dialog.txtOutDir->clear();
    f.prompts.folderAnswers.enqueue(f.dir.filePath("pictures"));
    f.dialog.cmdBrowseOut->click();
    QCOMPARE(f.prompts.folderRequests.front().first, f.dir.path());  // offered: the deck's
    QCOMPARE(f.dialog.txtOutDir->text(), QDir::toNativeSeparators(f.dir.filePath("pictures")));
}

void RenderDeckDialogTest::closingWhileRenderingCancels()
{
    Fixture f;
    f.fake.pauseAfter = 1;
    f.dialog.show();
    f.dialog.cmdRender->click();
    f.dialog.reject();
    QVERIFY(f.waitUntilDone());
    QVERIFY(f.dialog.lastResult().cancelled);
    QTRY_VERIFY(!f.dialog.isVisible());
    QVERIFY(f.written().size() <= 1);
}

QTEST_MAIN(RenderDeckDialogTest)
#include "render_deck_dialog_test.moc"
