// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card_rules.h"
#include "document/card_document.h"
#include "editor/card_file_commands.h"
#include "editor/form2.h"
#include "session/session.h"
#include "shell/main_window.h"
#include "editor/wake_timer.h"
#include "support/scripted_prompts.h"
#include "widgets/picture_box.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <utility>

// A main window on the built card parts, with scripted prompts, its recovery files in a folder
// of its own and the card window's timer stopped so the test decides when a tick happens. Its
// controls are found by their object names and the card is read from the card window's
// document, never from the window's own fields.
struct Form2Fixture {
    QTemporaryDir recovery;
    ScriptedPrompts prompts;
    int endCalls = 0;
    std::unique_ptr<orvane::MainWindow> window;
    Form2* form = nullptr;
    std::unique_ptr<QSignalSpy> composed;

    // `recoveryFolder` empty: a folder of its own.
    explicit Form2Fixture(const QString& assetRoot = qEnvironmentVariable("ORVANE_BIN_DIR"),
                          const QString& recoveryFolder = {})
    {
        Form2::Services services;
        services.prompts = &prompts;
        services.assetRoot = assetRoot;
        services.endProcess = [this] { ++endCalls; };
        services.imageUtilsPath =
            qEnvironmentVariable("ORVANE_BIN_DIR") + QStringLiteral("/libImageUtils.so");
        window = std::make_unique<orvane::MainWindow>(
            services, recoveryFolder.isEmpty() ? recovery.path() : recoveryFolder);
        form = &window->form();
        timer()->stop();
        composed = std::make_unique<QSignalSpy>(form, &Form2::cardsComposed);
    }
    orvane::MainWindow* operator->() const { return window.get(); }
    orvane::Session& session() const { return window->session(); }
    // The lone card's file commands (Open Card..., Save Card File As...), for their answers.
    orvane::CardFileCommands& cardFiles() const
    {
        return *window->findChild<orvane::CardFileCommands*>();
    }

    template <typename T> T* child(const QString& name) const
    {
        T* found = window->findChild<T*>(name);
        if (!found)
            qFatal("no control named %s", qPrintable(name));
        return found;
    }
    template <typename T> T* child(const QString& name, int index) const
    {
        return child<T>(QStringLiteral("%1_%2").arg(name).arg(index));
    }

    // The controls, by the names the layout gives them.
    QLineEdit* txtNums(int i) const { return child<QLineEdit>(QStringLiteral("txtNums"), i); }
    QRadioButton* optElem(int i) const { return child<QRadioButton>(QStringLiteral("optElem"), i); }
    QRadioButton* optFrame(int i) const
    {
        return child<QRadioButton>(QStringLiteral("optFrame"), i);
    }
    QCheckBox* chkArrow(int i) const { return child<QCheckBox>(QStringLiteral("chkArrow"), i); }
    std::array<QLineEdit*, 4> numberBoxes() const
    {
        return {txtNums(0), txtNums(1), txtNums(2), txtNums(3)};
    }
    std::array<QCheckBox*, 8> arrowBoxes() const
    {
        std::array<QCheckBox*, 8> boxes{};
        for (int i = 0; i < 8; ++i)
            boxes[size_t(i)] = chkArrow(i);
        return boxes;
    }
    QScrollBar* scrX() const { return child<QScrollBar>(QStringLiteral("scrX")); }
    QScrollBar* scrY() const { return child<QScrollBar>(QStringLiteral("scrY")); }
    PictureBox* picture(const char* name) const { return child<PictureBox>(QLatin1String(name)); }
    PictureBox* picBlueBase() const { return picture("picBlueBase"); }
    PictureBox* picRedBase() const { return picture("picRedBase"); }
    PictureBox* picMainPic() const { return picture("picMainPic"); }
    PictureBox* picBlueClean() const { return picture("picBlueClean"); }
    PictureBox* picRedClean() const { return picture("picRedClean"); }
    PictureBox* picFinalFrame() const { return picture("picFinalFrame"); }
    PictureBox* picFinalElem() const { return picture("picFinalElem"); }
    PictureBox* picFinalNum(int i) const
    {
        return child<PictureBox>(QStringLiteral("picFinalNum"), i);
    }
    PictureBox* picArrowFinal(int i) const
    {
        return child<PictureBox>(QStringLiteral("picArrowFinal"), i);
    }
    QLabel* label(const char* name) const { return child<QLabel>(QLatin1String(name)); }
    QLabel* Label7() const { return label("Label7"); }
    QLabel* labXpos() const { return label("labXpos"); }
    QLabel* labYpos() const { return label("labYpos"); }
    // The card window is the 532 x 377 area of the controls.
    QWidget* innerArea() const { return form; }
    QPushButton* button(const char* name) const { return child<QPushButton>(QLatin1String(name)); }
    // The timer that drives the tick.
    WakeTimer* timer() const { return child<WakeTimer>(QStringLiteral("Timer1")); }
    QPushButton* cmdLoadMain() const { return button("cmdLoadMain"); }
    QPushButton* cmdSaveCards() const { return button("cmdSaveCards"); }
    QPushButton* cmdRandom() const { return button("cmdRandom"); }
    QPushButton* cmdQuit() const { return button("cmdQuit"); }
    QPushButton* cmdAdvanced() const { return button("cmdAdvanced"); }
    QPushButton* cmdAbout() const { return button("cmdAbout"); }
    QPushButton* cmdCreate() const { return button("cmdCreate"); }
    QPushButton* cmdCardData() const { return button("cmdCardData"); }
    QMenu* menuRecent() const { return child<QMenu>(QStringLiteral("menuRecent")); }
    QAction* action(const char* name) const { return child<QAction>(QLatin1String(name)); }
    QAction* actUndo() const { return action("actUndo"); }
    QAction* actRedo() const { return action("actRedo"); }
    QAction* actOpenCard() const { return action("actOpenCard"); }
    QAction* actSaveCardFile() const { return action("actSaveCardFile"); }
    QAction* actSaveCardFileAs() const { return action("actSaveCardFileAs"); }
    QAction* actLoadMain() const { return action("actLoadMain"); }
    QAction* actSaveCard() const { return action("actSaveCard"); }
    QAction* actExportCards() const { return action("actExportCards"); }
    QAction* actExportCardData() const { return action("actExportCardData"); }
    QAction* actRenderDeck() const { return action("actRenderDeck"); }
    QAction* actAddCardToDeck() const { return action("actAddCardToDeck"); }
    QAction* actExit() const { return action("actExit"); }
    QAction* actCopyBlue() const { return action("actCopyBlue"); }
    QAction* actCopyRed() const { return action("actCopyRed"); }
    QAction* actPaste() const { return action("actPaste"); }
    QAction* actPrepareMain() const { return action("actPrepareMain"); }
    QAction* actAdvanced() const { return action("actAdvanced"); }
    QAction* actZoomedPreview() const { return action("actZoomedPreview"); }
    QAction* actDockZoomedPreview() const { return action("actDockZoomedPreview"); }
    QAction* actAbout() const { return action("actAbout"); }

    // The card, from the window's document.
    const orvane::Card& card() const { return form->document().card(); }
    qint16 total() const { return orvane::cardTotal(card()); }
    int arrowsTicked() const { return card().arrowCount(); }
    qint16 arrowLimit() const { return orvane::arrowLimit(card()); }
    int compositions() const { return int(composed->count()); }
    // The status line's whole text (the line itself may show it elided).
    QString status() const { return window->statusText(); }

    // The settings the layout's shared file dialog offers next (a name left in it, whether it
    // asks before replacing): Load Main Picture shows it and is cancelled, which changes nothing.
    orvane::Dialog nextSharedDialog()
    {
        const QQueue<QString> answers = std::exchange(prompts.fileAnswers, {});
        const auto whileAsked = std::exchange(prompts.onFileDialog, {});
        cmdLoadMain()->click();
        prompts.fileAnswers = answers;
        prompts.onFileDialog = whileAsked;
        return prompts.fileRequests.takeLast().dialog;
    }

    void tick() { QMetaObject::invokeMethod(form, "Timer1_Timer", Qt::DirectConnection); }
    void type(int box, const QString& text) { txtNums(box)->setText(text); }
    void typeAll(const char* a, const char* b, const char* c, const char* d)
    {
        type(0, QLatin1String(a));
        type(1, QLatin1String(b));
        type(2, QLatin1String(c));
        type(3, QLatin1String(d));
    }
    // A click on the check box, as the user makes it.
    void clickArrow(int i) { chkArrow(i)->click(); }
    int ticked() const
    {
        int n = 0;
        for (int i = 0; i < 8; ++i)
            n += chkArrow(i)->isChecked();
        return n;
    }
};
