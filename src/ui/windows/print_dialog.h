// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/print_output.h"
#include "platform/background_job.h"
#include "platform/prompts.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// Print...: the cards (one, a selection or a set, rendered already) by a print profile, with a
// preview of the first card's printed picture (trim, bleed and safe area drawn over it) and the
// count of pages or pictures, written by the same core code as orvane-render --print, beside the
// window with its progress shown; Cancel stops it before the next page or picture (a sheet's
// PDF is then not written at all, pictures written are whole). Sheets are drawn with the
// printer calibration kept for their profile. The output starts in `folder` (the set's own).
class PrintDialog : public QDialog {
    Q_OBJECT
public:
    PrintDialog(orvane::Prompts& prompts, QList<orvane::NamedCard> cards, const QString& baseName,
                const QString& folder, QWidget* parent = nullptr);

    QComboBox* cboProfile = nullptr;  // every profile, by name
    QLabel* labAbout = nullptr;
    QLabel* labPreview = nullptr;
    QLabel* labCount = nullptr;       // "3 pages" or "12 pictures"
    QComboBox* cboColours = nullptr;  // both, blue, red
    QComboBox* cboEnlarge = nullptr;  // blocks, scale2x, scale3x
    QCheckBox* chkBacks = nullptr;    // Orvane's own back
    QLineEdit* txtOutput = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdPrint = nullptr;
    QLabel* labCalibration = nullptr;  // the calibration sheets of the profile are drawn with
    QPushButton* cmdCalibrate = nullptr;
    QProgressBar* barProgress = nullptr;  // shown while printing
    QPushButton* cmdCancel = nullptr;     // closes the window, or stops the print under way

    // The print the current choices describe; none when the profile cannot be read.
    std::optional<orvane::PrintRequest> request() const;
    const orvane::PrintResult& lastResult() const { return m_result; }
    bool isPrinting() const { return m_job.isRunning(); }

public slots:
    // Starts the print beside the window (after asking about files already there).
    void print();
    // Opens Printer Calibration for the chosen profile.
    void calibrate();
    // While printing: stops the print and keeps the window open. Else closes it.
    void reject() override;

signals:
    // A print started by print() ended: lastResult() says what it wrote.
    void printEnded();

private:
    void profileChosen();
    void refresh();
    void browse();
    QString defaultOutput(const orvane::PrintProfile& profile) const;
    void printFinished(const QString& failure);
    void setChoicesEnabled(bool enabled);

    orvane::Prompts& m_prompts;
    QList<orvane::NamedCard> m_cards;
    QString m_baseName;
    QString m_folder;
    std::optional<orvane::PrintProfile> m_profile;
    QString m_profileError;
    orvane::PrintResult m_result;
    // Last: it goes first, stopping and waiting for the work that writes into m_result.
    orvane::BackgroundJob m_job;
};
