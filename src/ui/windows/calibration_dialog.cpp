// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/calibration_dialog.h"

#include "files/print_profile.h"
#include "platform/dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace orvane;

namespace {

// Only sheets are printed at home: a print service's pictures need no calibration.
QStringList sheetProfileNames()
{
    QStringList names;
    for (const QString& name : printProfileNames()) {
        QString ignored;
        const std::optional<PrintProfile> profile = loadPrintProfile(name, &ignored);
        if (profile && profile->layout == PrintLayout::Sheets)
            names << name;
    }
    return names;
}

// A number as typed, with a point or a comma; none for other text.
std::optional<double> numberOf(const QString& text)
{
    bool ok = false;
    const double value = QString(text)
                             .replace(QLatin1Char(','), QLatin1Char('.'))
                             .trimmed()
                             .remove(QLatin1Char('%'))
                             .toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

}  // namespace

QString calibrationText(const PrinterCalibration& calibration)
{
    if (calibration == PrinterCalibration())
        return QStringLiteral("none");
    return QStringLiteral("%1 % x %2 %, backs moved %3, %4 mm")
        .arg(number(calibration.scaleXPercent), number(calibration.scaleYPercent),
             number(calibration.backOffsetXMm), number(calibration.backOffsetYMm));
}

CalibrationDialog::CalibrationDialog(Prompts& prompts, const QString& profileName,
                                     const QString& folder, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_folder(folder)
{
    setWindowTitle(QStringLiteral("Printer Calibration"));
    setAttribute(Qt::WA_DeleteOnClose);
    cboProfile = new QComboBox(this);
    cboProfile->addItems(sheetProfileNames());
    if (const int k = cboProfile->findText(profileName); k >= 0)
        cboProfile->setCurrentIndex(k);
    cmdWritePage = new QPushButton(QStringLiteral("Write Calibration Page..."), this);
    auto* steps = new QLabel(
        QStringLiteral("Print both pages of the calibration page on one sheet, double-sided, at "
                       "100 % (actual size). Type how long the 100 mm rulers came out, and how "
                       "far each back cross lies from the front cross showing through (right "
                       "and down are +)."),
        this);
    steps->setWordWrap(true);
    txtScaleX = new QLineEdit(this);
    txtScaleY = new QLineEdit(this);
    txtBackX = new QLineEdit(this);
    txtBackY = new QLineEdit(this);
    cmdKeep = new QPushButton(QStringLiteral("Keep"), this);
    labKept = new QLabel(this);
    labKept->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Profile:"), cboProfile);
    form->addRow(cmdWritePage);
    form->addRow(steps);
    form->addRow(QStringLiteral("Ruler across (%):"), txtScaleX);
    form->addRow(QStringLiteral("Ruler down (%):"), txtScaleY);
    form->addRow(QStringLiteral("Back offset across (mm):"), txtBackX);
    form->addRow(QStringLiteral("Back offset down (mm):"), txtBackY);
    form->addRow(labKept);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(cmdKeep, QDialogButtonBox::ApplyRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(cboProfile, &QComboBox::currentIndexChanged, this, &CalibrationDialog::profileChosen);
    connect(cmdWritePage, &QPushButton::clicked, this, &CalibrationDialog::writePage);
    connect(cmdKeep, &QPushButton::clicked, this, &CalibrationDialog::keep);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    profileChosen();
}

void CalibrationDialog::fill(const PrinterCalibration& calibration)
{
    txtScaleX->setText(number(calibration.scaleXPercent));
    txtScaleY->setText(number(calibration.scaleYPercent));
    txtBackX->setText(number(calibration.backOffsetXMm));
    txtBackY->setText(number(calibration.backOffsetYMm));
}

void CalibrationDialog::profileChosen()
{
    const bool any = cboProfile->count() > 0;
    cmdWritePage->setEnabled(any);
    cmdKeep->setEnabled(any);
    QString error;
    const PrinterCalibration kept = loadCalibration(cboProfile->currentText(), &error);
    fill(kept);
    labKept->setText(error.isEmpty() ? QStringLiteral("Kept now: %1").arg(calibrationText(kept))
                                     : error);
}

std::optional<PrinterCalibration> CalibrationDialog::typed(QString* problem) const
{
    const std::pair<QLineEdit*, const char*> fields[] = {
        {txtScaleX, "the ruler across"},
        {txtScaleY, "the ruler down"},
        {txtBackX, "the back offset across"},
        {txtBackY, "the back offset down"},
    };
    double values[4] = {};
    for (int k = 0; k < 4; ++k) {
        const std::optional<double> value = numberOf(fields[k].first->text());
        if (!value) {
            *problem = QStringLiteral("%1 is not a number: \"%2\"")
                           .arg(QLatin1String(fields[k].second), fields[k].first->text());
            return std::nullopt;
        }
        values[k] = *value;
    }
    return PrinterCalibration{values[0], values[1], values[2], values[3]};
}

bool CalibrationDialog::writePage()
{
    QString error;
    const std::optional<PrintProfile> profile = loadPrintProfile(cboProfile->currentText(), &error);
    if (!profile) {
        m_prompts.messageBox(error, OkOnly | Exclamation, windowTitle());
        return false;
    }
    Dialog dialog;
    dialog.Filter = QStringLiteral("PDF (*.pdf)|*.pdf");
    dialog.DialogTitle = QStringLiteral("Write Calibration Page");
    dialog.FileName = QDir(m_folder.isEmpty() ? QDir::homePath() : m_folder)
                          .filePath(QStringLiteral("calibration-%1.pdf").arg(profile->name));
    if (!m_prompts.showSave(dialog))
        return false;
    QString path = dialog.FileName;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    if (!writeCalibrationPage(path, *profile, &error)) {
        m_prompts.messageBox(
            QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path), error),
            OkOnly | Exclamation, windowTitle());
        return false;
    }
    labKept->setText(QStringLiteral("%1 written: print it at 100 %, both sides.")
                         .arg(QDir::toNativeSeparators(path)));
    return true;
}

bool CalibrationDialog::keep()
{
    QString problem;
    const std::optional<PrinterCalibration> values = typed(&problem);
    const QString name = cboProfile->currentText();
    // The core refuses values that look like a typing error, with its reason.
    if (!values || !saveCalibration(name, *values, &problem)) {
        m_prompts.messageBox(QStringLiteral("The calibration is not kept: %1.").arg(problem),
                             OkOnly | Exclamation, windowTitle());
        return false;
    }
    labKept->setText(QStringLiteral("Kept for %1: %2").arg(name, calibrationText(*values)));
    emit calibrationKept(name);
    return true;
}
