// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/card_export.h"
#include "platform/background_job.h"
#include "platform/dialog.h"
#include "platform/prompts.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QSpinBox;
class QTreeWidget;

// File > Render Deck...: a deck CSV (or a card file) rendered into a folder by orvane-render's
// own code, in a worker thread, with a progress dialog whose Cancel stops before the next card
// (only whole files are left). Afterwards the bad rows are listed: line, column, what is wrong.
class RenderDeckDialog : public QDialog {
    Q_OBJECT
public:
    using Renderer = std::function<orvane::DeckRenderResult(const orvane::DeckRenderOptions&,
                                                            const orvane::Progress&)>;

    // `partsRoot` is the folder holding gfx/; `renderer` is orvane::renderDeck (tests hand in
    // one they can pause).
    RenderDeckDialog(orvane::Prompts& prompts, const QString& partsRoot, Renderer renderer,
                     QWidget* parent = nullptr);

    QLineEdit* txtDeck = nullptr;
    QPushButton* cmdBrowseDeck = nullptr;
    QLineEdit* txtOutDir = nullptr;  // empty: beside the deck
    QPushButton* cmdBrowseOut = nullptr;
    QComboBox* cboFormat = nullptr;
    QSpinBox* spnScale = nullptr;
    QPushButton* cmdRender = nullptr;
    QTreeWidget* lstProblems = nullptr;  // Line, Column, Problem
    QLabel* labResult = nullptr;

    bool isRendering() const { return m_job.isRunning(); }
    // While rendering: the progress dialog (its Cancel button stops the render).
    QProgressDialog* progressDialog() const;
    const orvane::DeckRenderResult& lastResult() const { return m_result; }

public slots:
    void startRender();
    void cancelRender();
    // Closing while rendering cancels first; the dialog closes when the worker has stopped.
    void reject() override;

signals:
    void progressed(int done, int total);
    // The render ended (done, cancelled or failed); `summary` is what the status line says.
    void rendered(const QString& summary);

private:
    void setChoicesEnabled(bool on);
    void browseDeck();
    void browseOut();
    void showProgress(int done, int total);
    void renderEnded(const QString& failure);
    void showProblems(const QStringList& problems);

    orvane::Prompts& m_prompts;
    QString m_partsRoot;
    Renderer m_renderer;
    orvane::Dialog m_deckDialog;
    QPointer<QProgressDialog> m_progress;
    bool m_closeWhenDone = false;
    orvane::DeckRenderOptions m_options;
    orvane::DeckRenderResult m_result;
    // Last: it goes first, stopping and waiting for the work that writes into m_result.
    orvane::BackgroundJob m_job;
};
