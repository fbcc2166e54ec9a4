// SPDX-License-Identifier: GPL-3.0-or-later
// Advanced Settings, About with its system information start, and the picture window.
#include "render/asset_catalogue.h"
#include "support/form2_fixture.h"
#include "support/memory_registry.h"
#include "support/scripted_prompts.h"
#include "widgets/picture_box.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/frm_about.h"
#include "windows/zoomed_preview.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class FakeStarter final : public orvane::ProgramStarter {
public:
    bool succeed = true;
    QStringList started;
    bool start(const QString& program) override
    {
        started << program;
        return succeed;
    }
};

// A double-click as the system delivers it: press, release, double-click, release.
void doubleClick(QWidget* widget)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}

// The open windows of one class, in no particular order.
template <typename Window> QList<Window*> visibleWindows()
{
    QList<Window*> open;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(w); window && window->isVisible())
            open << window;
    return open;
}

int openPictureWindows()
{
    return int(visibleWindows<Form3>().size());
}

void closeAll()
{
    QApplication::closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

const QString MsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString LocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

}  // namespace

// What the last Advanced Settings window made by openSettings stored.
orvane::CardPlacement stored;

// Advanced Settings on the default placement, its OK storing into `stored`.
Form4* openSettings(ScriptedPrompts& prompts)
{
    auto* settings = new Form4(prompts, orvane::CardPlacement{});
    QObject::connect(settings, &Form4::placementStored,
                     [](const orvane::CardPlacement& placement) { stored = placement; });
    return settings;
}

class WindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { stored = {}; }
    void cleanup() { closeAll(); }
    void settingsShowTheStoredValues();
    void settingsOkStoresRoundedValues();
    void settingsBadBoxStoresNothing_data();
    void settingsBadBoxStoresNothing();
    void settingsCloseBoxStoresNothing();
    void settingsLastOkWins();
    void aboutLayout();
    void sevenClicksOpenOnePictureWindow();
    void doubleClicksCountTwo();
    void fourteenClicksOpenTwo();
    void newAboutStartsAtZero();
    void clickClosesOnlyThePictureWindow();
    void sysInfoFirstLookUp();
    void sysInfoSecondLookUp();
    void sysInfoNothing();
    void sysInfoStartFails();
    void advancedSettingsMoveTheDigitOnBothCards();
    void closingTheMainWindowLeavesAboutOpen();
    void settingsOkRecomposesAtOnce();
    void windowsOpenCentredOverTheirOpener();
};

void WindowsTest::settingsShowTheStoredValues()
{
    ScriptedPrompts prompts;
    auto* settings = openSettings(prompts);
    settings->show();
    QCOMPARE(settings->windowTitle(), QStringLiteral("Advanced Settings"));
    QCOMPARE(settings->size(), QSize(312, 213));
    const QStringList texts = {settings->txtTopX->text(),    settings->txtTopY->text(),
                               settings->txtLeftX->text(),   settings->txtLeftY->text(),
                               settings->txtRightX->text(),  settings->txtRightY->text(),
                               settings->txtBottomX->text(), settings->txtBottomY->text(),
                               settings->txtElemX->text(),   settings->txtElemY->text()};
    QCOMPARE(texts, QStringList({"7", "3", "3", "11", "11", "11", "7", "19", "44", "4"}));
    QCOMPARE(settings->txtLeftX->geometry(), QRect(128, 88, 33, 19));
    QCOMPARE(settings->Command1->geometry(), QRect(240, 136, 57, 33));
    QCOMPARE(settings->Label2[1]->geometry(), QRect(192, 16, 25, 25));
    QCOMPARE(settings->txtLeftX->nextInFocusChain(), settings->txtTopX);
}

void WindowsTest::settingsOkStoresRoundedValues()
{
    ScriptedPrompts prompts;
    QPointer<Form4> settings = openSettings(prompts);
    settings->show();
    settings->txtTopX->setText(QStringLiteral("12.5"));
    settings->txtTopY->setText(QStringLiteral("13.5"));
    settings->txtLeftX->setText(QStringLiteral(" 8 "));
    settings->txtElemY->setText(QStringLiteral("-5"));
    settings->Command1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(settings.isNull());  // closed
    const auto& p = stored;
    QCOMPARE(p.TopX, qint16(12));
    QCOMPARE(p.TopY, qint16(14));
    QCOMPARE(p.LeftX, qint16(8));
    QCOMPARE(p.ElemY, qint16(-5));
    QCOMPARE(p.BottomY, qint16(19));
    QCOMPARE(prompts.messages.size(), 0);
}

void WindowsTest::settingsBadBoxStoresNothing_data()
{
    QTest::addColumn<QString>("text");
    for (const char* bad : {"", "abc", "32768", "-32769", "1e9", "--1"})
        QTest::newRow(*bad ? bad : "empty") << QString::fromLatin1(bad);
}

void WindowsTest::settingsBadBoxStoresNothing()
{
    QFETCH(QString, text);
    ScriptedPrompts prompts;
    QPointer<Form4> settings = openSettings(prompts);
    settings->show();
    settings->txtElemX->setText(QStringLiteral("20"));  // before the bad box in storing order
    settings->txtBottomY->setText(text);
    settings->Command1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!settings.isNull() && settings->isVisible());
    QCOMPARE(stored, orvane::CardPlacement{});
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(prompts.messages.front().text.contains(QStringLiteral("Bottom Number Y")));
}

void WindowsTest::settingsCloseBoxStoresNothing()
{
    ScriptedPrompts prompts;
    auto* settings = openSettings(prompts);
    settings->show();
    settings->txtTopX->setText(QStringLiteral("30"));
    settings->close();
    QCOMPARE(stored, orvane::CardPlacement{});
}

void WindowsTest::settingsLastOkWins()
{
    ScriptedPrompts prompts;
    auto* first = openSettings(prompts);
    auto* second = openSettings(prompts);
    first->show();
    second->show();
    first->txtTopX->setText(QStringLiteral("1"));
    second->txtTopY->setText(QStringLiteral("2"));
    first->Command1->click();
    second->Command1->click();
    QCOMPARE(stored.TopX, qint16(7));  // the second window's own value
    QCOMPARE(stored.TopY, qint16(2));
}

void WindowsTest::aboutLayout()
{
    ScriptedPrompts prompts;
    auto* about = new frmAbout(prompts);
    about->show();
    QCOMPARE(about->windowTitle(), QStringLiteral("About Orvane"));
    QCOMPARE(about->size(), QSize(382, 265));
    QCOMPARE(about->lblTitle->text(), QStringLiteral("Orvane"));
    QCOMPARE(about->lblVersion->text(), QStringLiteral("Version 4.0"));
    QCOMPARE(about->cmdSysInfo->text(), QStringLiteral("&System Info..."));
    QCOMPARE(about->cmdOK->geometry(), QRect(283, 175, 84, 23));
    QCOMPARE(about->picIcon->geometry(), QRect(8, 48, 68, 68));
    QVERIFY(about->cmdOK->isDefault());
    QVERIFY(about->lblDescription->text().contains(QStringLiteral("pure black backgrounds")));
    QPointer<frmAbout> watch = about;
    QTest::keyClick(about, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watch.isNull());
}

void WindowsTest::sevenClicksOpenOnePictureWindow()
{
    ScriptedPrompts prompts;
    auto* about = new frmAbout(prompts);
    about->show();
    for (int i = 0; i < 6; ++i)
        QTest::mouseClick(about->picIcon, Qt::LeftButton);
    QCOMPARE(openPictureWindows(), 0);
    QTest::mouseClick(about->picIcon, Qt::LeftButton);
    QCOMPARE(openPictureWindows(), 1);
    QCOMPARE(about->clickcount(), qint16(0));
}

void WindowsTest::doubleClicksCountTwo()
{
    ScriptedPrompts prompts;
    auto* about = new frmAbout(prompts);
    about->show();
    for (int i = 0; i < 3; ++i)
        doubleClick(about->picIcon);
    QCOMPARE(openPictureWindows(), 0);
    QCOMPARE(about->clickcount(), qint16(6));
    QTest::mouseClick(about->picIcon, Qt::LeftButton);
    QCOMPARE(openPictureWindows(), 1);
}

void WindowsTest::fourteenClicksOpenTwo()
{
    ScriptedPrompts prompts;
    auto* about = new frmAbout(prompts);
    about->show();
    for (int i = 0; i < 14; ++i)
        about->picIcon_Click();
    QCOMPARE(openPictureWindows(), 2);
}

void WindowsTest::newAboutStartsAtZero()
{
    ScriptedPrompts prompts;
    auto* first = new frmAbout(prompts);
    first->show();
    for (int i = 0; i < 6; ++i)
        first->picIcon_Click();
    first->close();
    auto* second = new frmAbout(prompts);
    second->show();
    QCOMPARE(second->clickcount(), qint16(0));
    second->picIcon_Click();
    QCOMPARE(openPictureWindows(), 0);
}

void WindowsTest::clickClosesOnlyThePictureWindow()
{
    ScriptedPrompts prompts;
    auto* about = new frmAbout(prompts);
    about->show();
    for (int i = 0; i < 14; ++i)
        about->picIcon_Click();
    QVERIFY(!visibleWindows<Form3>().isEmpty());
    Form3* picture = visibleWindows<Form3>().back();
    QCOMPARE(picture->size(), QSize(320, 74));
    QVERIFY(picture->windowFlags() & Qt::FramelessWindowHint);
    QTest::mouseClick(picture, Qt::LeftButton);
    QCOMPARE(openPictureWindows(), 1);
    QVERIFY(about->isVisible());
}

// An About window on a registry and a program starter of the test's own.
struct SysInfo {
    ScriptedPrompts prompts;
    MemoryRegistry registry;
    FakeStarter starter;
    frmAbout about{prompts, &registry, &starter};

    void set(const QString& key, const char* name, const QByteArray& value)
    {
        registry.set(key, QLatin1String(name), orvane::RegistryString, value);
    }
    bool reportedUnavailable() const
    {
        return prompts.messages.size() == 1 && prompts.messages.front().text == Unavailable &&
               prompts.messages.front().style == 0;
    }
};

void WindowsTest::sysInfoFirstLookUp()
{
    SysInfo s;
    s.set(MsinfoKey, "PATH", QByteArray("/opt/nowhere/sysinfo\0", 21));
    s.about.cmdSysInfo->click();
    QCOMPARE(s.starter.started, QStringList({"/opt/nowhere/sysinfo"}));  // no file check
    QCOMPARE(s.prompts.messages.size(), 0);
}

void WindowsTest::sysInfoSecondLookUp()
{
    QTemporaryDir dir;
    SysInfo s;
    s.set(LocationKey, "MSINFO", dir.path().toLocal8Bit());
    s.about.cmdSysInfo->click();  // the folder does not hold the program
    QCOMPARE(s.starter.started.size(), 0);
    QVERIFY(s.reportedUnavailable());

    QFile program(dir.filePath(QStringLiteral("MSINFO32.EXE")));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.close();
    s.about.cmdSysInfo->click();
    QCOMPARE(s.starter.started, QStringList({dir.filePath(QStringLiteral("MSINFO32.EXE"))}));
    QCOMPARE(s.prompts.messages.size(), 1);
}

void WindowsTest::sysInfoNothing()
{
    SysInfo s;
    s.about.StartSysInfo();
    QCOMPARE(s.registry.queries, 2);
    QVERIFY(s.reportedUnavailable());
}

void WindowsTest::sysInfoStartFails()
{
    SysInfo s;
    s.starter.succeed = false;
    s.set(MsinfoKey, "PATH", "/bin/none");
    s.about.StartSysInfo();
    QCOMPARE(s.starter.started.size(), 1);
    QVERIFY(s.reportedUnavailable());
}

void WindowsTest::advancedSettingsMoveTheDigitOnBothCards()
{
    Form2Fixture f;
    f->show();
    f.tick();
    f.cmdAdvanced()->click();
    f.cmdAdvanced()->click();  // a new window each click
    const QList<Form4*> open = visibleWindows<Form4>();
    QCOMPARE(open.size(), 2);
    open.front()->txtTopX->setText(QStringLiteral("30"));
    open.front()->txtTopY->setText(QStringLiteral("30"));
    open.front()->Command1->click();
    QCOMPARE(f.card().placement.TopX, qint16(30));
    // Used from the next composition: the top digit (an "A") now sits at (30, 30).
    f.type(0, QStringLiteral("9"));
    f.type(0, QStringLiteral("A"));
    f.tick();
    const QImage digit =
        QImage(qEnvironmentVariable("ORVANE_BIN_DIR") + QStringLiteral("/gfx/bitblts/A.bmp"))
            .convertToFormat(QImage::Format_RGB32);
    for (PictureBox* card : {f.picBlueBase(), f.picRedBase()})
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                if ((digit.pixel(x, y) & 0xFFFFFF) != 0)
                    QCOMPARE(card->image().pixel(30 + x, 30 + y), digit.pixel(x, y));
}

void WindowsTest::closingTheMainWindowLeavesAboutOpen()
{
    auto fixture = std::make_unique<Form2Fixture>();
    Form2Fixture& f = *fixture;
    f->show();
    f.cmdAbout()->click();
    QCOMPARE(visibleWindows<frmAbout>().size(), 1);
    frmAbout* about = visibleWindows<frmAbout>().front();
    f->close();  // the close box: no question, only the main window
    QCOMPARE(f.prompts.messages.size(), 0);
    QVERIFY(!f->isVisible());
    QVERIFY(about->isVisible());
    fixture.reset();
    QVERIFY(about->isVisible());
    about->picIcon_Click();  // still working
    QCOMPARE(about->clickcount(), qint16(1));
}

// "OK" composes the cards again: without any other input they show the new places.
void WindowsTest::settingsOkRecomposesAtOnce()
{
    Form2Fixture f;
    f->show();
    f.tick();
    const QImage before = f.picBlueBase()->image();
    f.cmdAdvanced()->click();
    Form4* settings = visibleWindows<Form4>().constFirst();
    settings->txtTopX->setText(QStringLiteral("40"));
    const int composedBefore = f.compositions();
    settings->Command1->click();
    QCOMPARE(f.compositions(), composedBefore + 1);  // at once, one composition
    QCOMPARE(f.card().placement.TopX, qint16(40));
    QVERIFY(f.picBlueBase()->image() != before);
    QVERIFY(!f.form->document().needsRedraw());

    // A refused box stores nothing and asks for nothing.
    f.cmdAdvanced()->click();
    settings = visibleWindows<Form4>().constFirst();
    settings->txtTopX->setText(QStringLiteral("x"));
    settings->Command1->click();
    QVERIFY(!f.form->document().needsRedraw());
}

void WindowsTest::windowsOpenCentredOverTheirOpener()
{
    Form2Fixture f;
    // Far enough from the offscreen screen's edges (800 x 600) that no window is pushed back.
    f->move(150, 100);
    f->show();
    const QPoint centre = f->frameGeometry().center();
    const auto near = [](QPoint a, QPoint b) { return (a - b).manhattanLength() <= 2; };
    const auto where = [](const QWidget* w) {
        const QRect r = w->frameGeometry();
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    };
    f.cmdAdvanced()->click();
    const Form4* settings = visibleWindows<Form4>().constFirst();
    QVERIFY2(near(settings->frameGeometry().center(), centre), qPrintable(where(settings)));
    // The zoomed preview opens beside the editor instead (its own test).
    f.cmdAbout()->click();
    frmAbout* about = visibleWindows<frmAbout>().constFirst();
    QVERIFY(near(about->frameGeometry().center(), centre));
    about->move(100, 120);
    for (int i = 0; i < 7; ++i)
        QTest::mouseClick(about->picIcon, Qt::LeftButton);
    const Form3* picture = visibleWindows<Form3>().constFirst();
    QVERIFY2(near(picture->frameGeometry().center(), about->frameGeometry().center()),
             qPrintable(where(picture) + QStringLiteral(" over ") + where(about)));
}

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
