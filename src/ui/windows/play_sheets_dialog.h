// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/sheets_job.h"
#include "platform/background_job.h"
#include "platform/dialog.h"
#include "platform/prompts.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QSpinBox;

namespace orvane {
class CardSet;
}

// Play Sheets... (File menu: the current card; set panel: the selection or the whole set): the
// cards as virtual-tabletop deck sheets, a texture atlas and a print sheet with backs, by
// orvane-render's own code. The files are listed
// while they are chosen, files already there are named in one question, and the writing runs in
// a worker thread with a progress dialog whose Cancel leaves only whole files.
class PlaySheetsDialog : public QDialog {
    Q_OBJECT
public:
    using Runner = std::function<orvane::PlayOutputsResult(
        const orvane::SheetsJob&, const QList<orvane::NamedCard>&, const orvane::Progress&)>;

    // `cards` are rendered already; `baseName` names the deck sheets (the card's name).
    // `runner` is orvane::runSheetsJob (tests hand in one they can pause).
    PlaySheetsDialog(orvane::Prompts& prompts, QList<orvane::NamedCard> cards,
                     const QString& baseName, Runner runner, QWidget* parent = nullptr,
                     const QString& startFolder = {});

    QLineEdit* txtBaseName = nullptr;
    QComboBox* cboColours = nullptr;  // both, blue, red: deck sheets and atlas
    QCheckBox* chkTabletop = nullptr;
    QLineEdit* txtTabletopDir = nullptr;
    QPushButton* cmdBrowseTabletop = nullptr;
    QCheckBox* chkAtlas = nullptr;
    QLineEdit* txtAtlas = nullptr;
    QPushButton* cmdBrowseAtlas = nullptr;
    QSpinBox* spnPadding = nullptr;
    QSpinBox* spnExtrude = nullptr;
    QCheckBox* chkSheet = nullptr;
    QLineEdit* txtSheet = nullptr;
    QPushButton* cmdBrowseSheet = nullptr;
    QDoubleSpinBox* spnCardMm = nullptr;
    QCheckBox* chkBacks = nullptr;
    QLineEdit* txtBack = nullptr;  // empty: Orvane's own back
    QDoubleSpinBox* spnBleed = nullptr;
    QComboBox* cboCutLines = nullptr;  // corners, full, none
    QDoubleSpinBox* spnOffsetX = nullptr;
    QDoubleSpinBox* spnOffsetY = nullptr;
    QLabel* labFiles = nullptr;
    QPushButton* cmdWrite = nullptr;

    // The job the current choices describe, and the files it writes.
    orvane::SheetsJob job() const;
    QStringList plannedFiles() const;

    bool isWriting() const { return m_job.isRunning(); }
    QProgressDialog* progressDialog() const;
    const orvane::PlayOutputsResult& lastResult() const { return m_result; }

public slots:
    void startWriting();
    void cancelWriting();
    // Closing while writing cancels first; the dialog closes when the worker has stopped.
    void reject() override;

signals:
    void progressed(int done, int total);
    // The writing ended (done, cancelled or failed): what the status line says.
    void written(const QString& summary);

private:
    void showPlannedFiles();
    void chooseFolder(QLineEdit* edit);
    void chooseFile(QLineEdit* edit, const QString& filter, bool save);
    void showProgress(int done, int total);
    void writingEnded(const QString& failure);
    void saveChoices() const;

    orvane::Prompts& m_prompts;
    QList<orvane::NamedCard> m_cards;
    Runner m_runner;
    orvane::Dialog m_fileDialog;
    QPointer<QProgressDialog> m_progress;
    bool m_closeWhenDone = false;
    orvane::PlayOutputsResult m_result;
    // Last: it goes first, stopping and waiting for the work that writes into m_result.
    orvane::BackgroundJob m_job;
};

// Opens the window (deleted on close) for the card the editor shows, `blue` and `red` as
// composed; its name names the deck sheets.
// `startFolder` (the open set's folder) is where the files go first; empty: where they went last.
PlaySheetsDialog* openPlaySheets(orvane::Prompts& prompts, const orvane::RenderedCard& card,
                                 const QString& name, QWidget* parent,
                                 const QString& startFolder = {});

// The folder of a set's deck file, or the set's own folder; empty for a set never saved.
QString setFolder(const orvane::CardSet& set);

// Opens the window for the cards `ids` of `set` (bad rows left out, each row's copies counted),
// rendered with the card parts under `partsRoot`; `name` names the deck sheets. Null, with
// `error` set, when no card can be rendered.
PlaySheetsDialog* openPlaySheetsForSet(orvane::Prompts& prompts, const orvane::CardSet& set,
                                       const QList<quint64>& ids, const QString& partsRoot,
                                       const QString& name, QWidget* parent, QString* error);
