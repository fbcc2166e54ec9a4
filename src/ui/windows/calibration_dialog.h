// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/print_calibration.h"
#include "platform/prompts.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Printer Calibration: writes the calibration page of a sheet profile (drawn true by the core)
// and keeps what the printed page measured for that profile, in the same place as
// orvane-render --calibrate, so that every later sheet of the profile undoes it. Values that
// look like a typing error are refused with the core's reason.
class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    // `profileName` is chosen first when it is a sheet profile; the page is offered in `folder`.
    CalibrationDialog(orvane::Prompts& prompts, const QString& profileName, const QString& folder,
                      QWidget* parent = nullptr);

    QComboBox* cboProfile = nullptr;  // the sheet profiles
    QPushButton* cmdWritePage = nullptr;
    QLineEdit* txtScaleX = nullptr;  // per cent
    QLineEdit* txtScaleY = nullptr;
    QLineEdit* txtBackX = nullptr;  // mm, + right
    QLineEdit* txtBackY = nullptr;  // mm, + down
    QPushButton* cmdKeep = nullptr;
    QLabel* labKept = nullptr;

    // The values as typed; none, with `problem`, when one is not a number.
    std::optional<orvane::PrinterCalibration> typed(QString* problem) const;

public slots:
    // Asks where (through the prompts) and writes the chosen profile's calibration page.
    bool writePage();
    // Keeps the values typed for the chosen profile; a refusal is told and nothing is kept.
    bool keep();

signals:
    void calibrationKept(const QString& profileName);

private:
    void profileChosen();
    void fill(const orvane::PrinterCalibration& calibration);

    orvane::Prompts& m_prompts;
    QString m_folder;
};

// "99.5 % x 100.4 %, backs moved 1.2, -0.6 mm", or "none" for a printer that needs none.
QString calibrationText(const orvane::PrinterCalibration& calibration);
