// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard and dropped files: a card copied as a picture, a picture pasted as the main
// picture, picture files and card files dropped on the window.
#include "card/card_file.h"
#include "document/card_document.h"
#include "editor/clipboard_picture.h"
#include "files/main_picture.h"
#include "support/form2_fixture.h"
#include "support/images.h"
#include "support/temp_settings.h"

#include <QAction>
#include <QClipboard>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <QUndoStack>
#include <QUrl>

#include <memory>

class Form2ClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void copyPutsTheCardOnTheClipboard_data();
    void copyPutsTheCardOnTheClipboard();
    void copyScaleIsChosenInTheEditMenu();
    void pasteMakesTheMainPicture();
    void copyAndPasteKeysInANumberBox();
    void pasteRefusesWhatLoadingRefuses();
    void pasteWithoutAPicture();
    void clipboardPictureKinds();
    void droppedPictureLoadsAsLoadMainPicture();
    void droppedBrokenPictureSaysWhatLoadingSays();
    void droppedCardFileOpens();
    void dragWithoutAFileIsRefused();

private:
    std::unique_ptr<TempSettings> m_settings;
};

namespace {

// Sends a drag entering `target` and, when accepted, the drop of `data`; takes `data` over
// (a drag event does not own its data).
bool drop(QWidget* form, QMimeData* dropData)
{
    const std::unique_ptr<QMimeData> owned(dropData);
    QMimeData* data = owned.get();
    const QPoint at(300, 200);
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &dropped);
    return dropped.isAccepted();
}

QMimeData* filesOf(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

}  // namespace

void Form2ClipboardTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    QGuiApplication::clipboard()->clear();
}

void Form2ClipboardTest::copyPutsTheCardOnTheClipboard_data()
{
    QTest::addColumn<bool>("blue");
    QTest::addColumn<QVariant>("exportScale");  // Export/scale as Export Cards... writes it
    QTest::addColumn<QVariant>("setting");      // Copy/scale as Edit > Copy Scale writes it
    QTest::addColumn<int>("scale");
    QTest::newRow("blue, no setting") << true << QVariant() << QVariant() << 1;
    QTest::newRow("after a 16 x export") << true << QVariant(16) << QVariant() << 1;
    QTest::newRow("blue, 4") << true << QVariant(3) << QVariant(4) << 4;
    QTest::newRow("red, 16") << false << QVariant() << QVariant(16) << 16;
    QTest::newRow("not offered") << true << QVariant() << QVariant(3) << 1;
    QTest::newRow("beyond 16") << true << QVariant() << QVariant(40) << 1;
    QTest::newRow("not a number") << true << QVariant() << QVariant(QStringLiteral("big")) << 1;
}

void Form2ClipboardTest::copyPutsTheCardOnTheClipboard()
{
    QFETCH(bool, blue);
    QFETCH(QVariant, exportScale);
    QFETCH(QVariant, setting);
    QFETCH(int, scale);
    if (exportScale.isValid())
        QSettings().setValue(QStringLiteral("Export/scale"), exportScale);
    if (setting.isValid())
        QSettings().setValue(QStringLiteral("Copy/scale"), setting);
    Form2Fixture f;
    QAction* copy = blue ? f.actCopyBlue() : f.actCopyRed();
    QVERIFY2(copy->text().endsWith(QStringLiteral(" (%1 ×)").arg(scale)), qPrintable(copy->text()));
    f.typeAll("7", "2", "A", "4");
    f.optElem(0)->click();
    f.typeAll("7", "2", "A", "4");
    f.tick();
    (blue ? f.actCopyBlue() : f.actCopyRed())->trigger();
    const QImage& card = (blue ? f.picBlueBase() : f.picRedBase())->image();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QVERIFY(data->hasFormat(QStringLiteral("image/png")));
    const QImage png = QImage::fromData(data->data(QStringLiteral("image/png")), "PNG")
                           .convertToFormat(QImage::Format_RGB32);
    const QImage image =
        qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(png.size(), QSize(62 * scale, 62 * scale));
    QCOMPARE(image, png);
    // Whole pixels: every copied pixel is the card's pixel it enlarges.
    for (int y = 0; y < png.height(); y += 5)
        for (int x = 0; x < png.width(); x += 3)
            QCOMPARE(rgb(png, x, y), rgb(card, x / scale, y / scale));
    QVERIFY(f.status().startsWith(QStringLiteral("Copied the %1 card").arg(blue ? "blue" : "red")));
}

// Edit > Copy Scale: the choice is ticked, said in both copy commands, used and kept.
void Form2ClipboardTest::copyScaleIsChosenInTheEditMenu()
{
    Form2Fixture f;
    auto* choice = f->findChild<QAction*>(QStringLiteral("actCopyScale8"));
    QVERIFY(choice);
    QVERIFY(f->findChild<QAction*>(QStringLiteral("actCopyScale1"))->isChecked());
    choice->trigger();
    QVERIFY(choice->isChecked());
    QCOMPARE(f.actCopyBlue()->text(), QStringLiteral("&Copy Blue Card (8 ×)"));
    QCOMPARE(f.actCopyRed()->text(), QStringLiteral("Copy R&ed Card (8 ×)"));
    f.actCopyRed()->trigger();
    QCOMPARE(qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData()).size(),
             QSize(62 * 8, 62 * 8));
    Form2Fixture again;  // kept for the next run
    QCOMPARE(again.actCopyBlue()->text(), QStringLiteral("&Copy Blue Card (8 ×)"));
}

void Form2ClipboardTest::pasteMakesTheMainPicture()
{
    Form2Fixture f;
    const QImage blank = f.picMainPic()->image().copy();
    const int composedBefore = f.compositions();
    QGuiApplication::clipboard()->setImage(gradient(90, 40));
    f.actPaste()->trigger();
    QCOMPARE(f.picMainPic()->image(), gradient(90, 40).copy(0, 0, 62, 40));
    QCOMPARE(f.picMainPic()->size(), QSize(66, 44));
    QCOMPARE(f.form->document().card().preparation.source, gradient(90, 40));
    QVERIFY(f.compositions() > composedBefore);
    QCOMPARE(f.form->document().undoStack()->count(), 1);
    QCOMPARE(f.form->document().card().mainPicture, gradient(90, 40).copy(0, 0, 62, 40));
    QCOMPARE(f.status(), QStringLiteral("Pasted the main picture (90 × 40)"));
    f.actUndo()->trigger();
    QCOMPARE(f.picMainPic()->image(), blank);
}

void Form2ClipboardTest::copyAndPasteKeysInANumberBox()
{
    Form2Fixture f;
    f->show();
    QApplication::setActiveWindow(f.window.get());
    QLineEdit* box = f.txtNums(0);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);  // the box's text
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("A"));
    QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasImage());
    box->deselect();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);  // nothing selected: the blue card
    QCOMPARE(qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData()).size(),
             QSize(62, 62));
    // A picture on the clipboard pastes as the main picture, text pastes into the box.
    QGuiApplication::clipboard()->setImage(gradient(30, 20));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.picMainPic()->image(), gradient(30, 20));
    QCOMPARE(box->text(), QStringLiteral("A"));
    QGuiApplication::clipboard()->setText(QStringLiteral("7"));
    box->selectAll();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("7"));
    QCOMPARE(f.picMainPic()->image(), gradient(30, 20));
}

void Form2ClipboardTest::pasteRefusesWhatLoadingRefuses()
{
    Form2Fixture f;
    const QImage before = f.picMainPic()->image().copy();
    QGuiApplication::clipboard()->setImage(solid(orvane::MainPictureMaxSide + 1, 2, 0x336699));
    f.actPaste()->trigger();
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].title, QStringLiteral("Paste Main Picture"));
    QCOMPARE(f.picMainPic()->image(), before);
    QCOMPARE(f.form->document().undoStack()->count(), 0);
}

void Form2ClipboardTest::pasteWithoutAPicture()
{
    Form2Fixture f;
    QGuiApplication::clipboard()->setText(QStringLiteral("just words"));
    f.actPaste()->trigger();
    QCOMPARE(f.prompts.messages.size(), 0);
    QCOMPARE(f.status(), QStringLiteral("The clipboard holds no picture to paste"));
    QCOMPARE(f.form->document().undoStack()->count(), 0);
}

void Form2ClipboardTest::droppedPictureLoadsAsLoadMainPicture()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dropped.bmp"));
    QVERIFY(gradient(50, 60).save(path, "BMP"));
    Form2Fixture f;
    QVERIFY(drop(f.window.get(), filesOf({path})));
    QCOMPARE(f.picMainPic()->image(), gradient(50, 60));
    QCOMPARE(f.form->document().card().mainPicturePath, path);
    QCOMPARE(f.form->document().undoStack()->count(), 1);
    QCOMPARE(f.prompts.fileRequests.size(), 0);  // no dialog
    QCOMPARE(f.status(), QStringLiteral("Loaded the main picture dropped.bmp (50 × 60)"));
    // Dropped on a number box: the same, and the box keeps its text.
    QVERIFY(gradient(20, 30).save(path, "BMP"));
    QVERIFY(drop(f.txtNums(1), filesOf({path})));
    QCOMPARE(f.picMainPic()->image(), gradient(20, 30));
    QCOMPARE(f.txtNums(1)->text(), QStringLiteral("A"));
    // Text still drops into a box as before.
    auto* text = new QMimeData;
    text->setText(QStringLiteral("7"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.txtNums(1), &enter);
    QVERIFY(enter.isAccepted());
    delete text;
}

void Form2ClipboardTest::droppedBrokenPictureSaysWhatLoadingSays()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.bmp"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("BM not really");
    file.close();
    Form2Fixture dropped, loaded;
    drop(dropped.window.get(), filesOf({path}));
    loaded.prompts.fileAnswers.enqueue(path);
    loaded.cmdLoadMain()->click();
    QCOMPARE(dropped.prompts.messages.size(), 1);
    QCOMPARE(dropped.prompts.messages[0].text, loaded.prompts.messages[0].text);
    QCOMPARE(dropped.prompts.messages[0].title, QStringLiteral("Load Main Picture"));
    QCOMPARE(dropped.form->document().undoStack()->count(), 0);
}

void Form2ClipboardTest::droppedCardFileOpens()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dropped.orvcard"));
    orvane::Card card;
    card.sides = {"4", "4", "4", "4"};
    card.element = 3;
    card.arrows[5] = true;
    QString error;
    QVERIFY(orvane::writeCardFile(card, path, &error));
    Form2Fixture f;
    f.scrX()->setValue(6);  // unsaved: the question comes first
    f.prompts.saveAnswers.enqueue(orvane::SaveChoice::Discard);
    QVERIFY(drop(f.window.get(), filesOf({path})));
    QCOMPARE(f.prompts.saveQuestions.size(), 1);
    QCOMPARE(f.txtNums(2)->text(), QStringLiteral("4"));
    QCOMPARE(f.form->selectedElement(), 3);
    QVERIFY(f.chkArrow(5)->isChecked());
    QCOMPARE(f.scrX()->value(), 0);
    QCOMPARE(f.form->document().filePath(), path);
}

void Form2ClipboardTest::dragWithoutAFileIsRefused()
{
    Form2Fixture f;
    auto* text = new QMimeData;
    text->setText(QStringLiteral("hello"));
    QVERIFY(!drop(f.window.get(), text));
    QVERIFY(!drop(f.window.get(), filesOf({})));
    QCOMPARE(f.prompts.messages.size(), 0);
}

void Form2ClipboardTest::clipboardPictureKinds()
{
    using Kind = orvane::ClipboardPicture::Kind;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("copied.png"));
    QVERIFY(gradient(5, 4).save(file, "PNG"));
    const auto text = [] {
        auto* data = new QMimeData;
        data->setText(QStringLiteral("A"));
        return data;
    };
    const auto urls = [](const QList<QUrl>& list) {
        auto* data = new QMimeData;
        data->setUrls(list);
        return data;
    };
    const auto picture = [](const QImage& image, const QList<QUrl>& list = {}) {
        auto* data = new QMimeData;
        data->setImageData(image);
        data->setUrls(list);
        return data;
    };
    const auto brokenPng = [] {
        auto* data = new QMimeData;
        data->setImageData(gradient(3, 3));
        data->setData(QStringLiteral("image/png"), "not a picture");
        return data;
    };
    const struct {
        const char* name;
        QMimeData* clip;  // owned below; null: an empty clipboard
        Kind kind;
        QSize size;  // of the picture read; empty: none (null image, with an error)
    } cases[] = {
        {"empty clipboard", nullptr, Kind::Nothing, {}},
        {"text", text(), Kind::Nothing, {}},
        {"a file that is not local",
         urls({QUrl(QStringLiteral("https://a.b/c.png"))}),
         Kind::Nothing,
         {}},
        {"a local file", urls({QUrl::fromLocalFile(file)}), Kind::File, {}},
        {"a picture", picture(gradient(7, 6)), Kind::Picture, {7, 6}},
        {"a picture wins over its file",
         picture(gradient(7, 6), {QUrl::fromLocalFile(file)}),
         Kind::Picture,
         {7, 6}},
        {"a broken PNG", brokenPng(), Kind::Picture, {}},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<QMimeData> owned(c.clip);
        const orvane::ClipboardPicture found = orvane::readClipboardPicture(c.clip);
        QVERIFY2(found.kind == c.kind, c.name);
        QCOMPARE(found.file, c.kind == Kind::File ? file : QString());
        if (c.kind != Kind::Picture)
            continue;
        QCOMPARE(found.picture.image.isNull(), !c.size.isValid());
        if (c.size.isValid())
            QCOMPARE(found.picture.image.size(), c.size);
        QCOMPARE(found.picture.error.isEmpty(), c.size.isValid());
    }
}

QTEST_MAIN(Form2ClipboardTest)
#include "form2_clipboard_test.moc"
