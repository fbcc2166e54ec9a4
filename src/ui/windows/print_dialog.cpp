// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/print_dialog.h"

#include "files/print_card.h"
#include "files/print_profile.h"
#include "platform/dialog.h"
#include "windows/calibration_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace orvane;

namespace {

constexpr int PreviewSide = 220;

// The printed picture scaled to the preview, with the trim (solid), the bleed's edge and the
// safe area (dashed) drawn over it.
QPixmap previewOf(const QImage& printed, const PrintCardGeometry& g)
{
    const double zoom = double(PreviewSide) / std::max(printed.width(), printed.height());
    QImage shown =
        printed.scaled(printed.size() * zoom, Qt::KeepAspectRatio, Qt::FastTransformation);
    QPainter painter(&shown);
    const auto scaled = [zoom](const QRect& r) {
        return QRectF(r.x() * zoom, r.y() * zoom, r.width() * zoom, r.height() * zoom);
    };
    painter.setPen(QPen(Qt::red, 1));
    painter.drawRect(scaled(g.trimPx));
    painter.setPen(QPen(Qt::yellow, 1, Qt::DashLine));
    painter.drawRect(scaled(g.safePx));
    return QPixmap::fromImage(shown);
}

}  // namespace

PrintDialog::PrintDialog(Prompts& prompts, QList<NamedCard> cards, const QString& baseName,
                         const QString& folder, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_cards(std::move(cards)), m_baseName(baseName),
      m_folder(folder)
{
    setWindowTitle(QStringLiteral("Print"));
    setAttribute(Qt::WA_DeleteOnClose);
    cboProfile = new QComboBox(this);
    cboProfile->addItems(printProfileNames());
    labAbout = new QLabel(this);
    labAbout->setWordWrap(true);
    labPreview = new QLabel(this);
    labPreview->setMinimumSize(PreviewSide, PreviewSide);
    labPreview->setAlignment(Qt::AlignCenter);
    labCount = new QLabel(this);
    cboColours = new QComboBox(this);
    cboColours->addItems({QStringLiteral("both"), QStringLiteral("blue"), QStringLiteral("red")});
    cboEnlarge = new QComboBox(this);
    cboEnlarge->addItems(
        {QStringLiteral("blocks"), QStringLiteral("scale2x"), QStringLiteral("scale3x")});
    chkBacks = new QCheckBox(QStringLiteral("Backs (Orvane's own)"), this);
    txtOutput = new QLineEdit(this);
    cmdBrowse = new QPushButton(QStringLiteral("Browse..."), this);
    cmdPrint = new QPushButton(QStringLiteral("Print"), this);
    cmdPrint->setDefault(true);
    labCalibration = new QLabel(this);
    labCalibration->setWordWrap(true);
    cmdCalibrate = new QPushButton(QStringLiteral("Calibrate..."), this);
    barProgress = new QProgressBar(this);
    barProgress->hide();

    auto* output = new QHBoxLayout;
    output->addWidget(txtOutput, 1);
    output->addWidget(cmdBrowse);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Profile:"), cboProfile);
    form->addRow(labAbout);
    form->addRow(QStringLiteral("Colours:"), cboColours);
    form->addRow(QStringLiteral("Enlarge:"), cboEnlarge);
    form->addRow(chkBacks);
    auto* calibration = new QHBoxLayout;
    calibration->addWidget(labCalibration, 1);
    calibration->addWidget(cmdCalibrate);
    form->addRow(QStringLiteral("Calibration:"), calibration);
    form->addRow(QStringLiteral("Write to:"), output);
    form->addRow(labCount);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cmdCancel = buttons->button(QDialogButtonBox::Cancel);
    buttons->addButton(cmdPrint, QDialogButtonBox::AcceptRole);
    auto* sides = new QHBoxLayout;
    sides->addLayout(form, 1);
    sides->addWidget(labPreview);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sides);
    layout->addWidget(barProgress);
    layout->addWidget(buttons);

    connect(cboProfile, &QComboBox::currentIndexChanged, this, &PrintDialog::profileChosen);
    connect(cboColours, &QComboBox::currentIndexChanged, this, &PrintDialog::refresh);
    connect(cboEnlarge, &QComboBox::currentIndexChanged, this, &PrintDialog::refresh);
    connect(chkBacks, &QCheckBox::toggled, this, &PrintDialog::refresh);
    connect(cmdBrowse, &QPushButton::clicked, this, &PrintDialog::browse);
    connect(cmdPrint, &QPushButton::clicked, this, &PrintDialog::print);
    connect(cmdCalibrate, &QPushButton::clicked, this, &PrintDialog::calibrate);
    connect(buttons, &QDialogButtonBox::rejected, this, &PrintDialog::reject);
    connect(&m_job, &BackgroundJob::progressed, this, [this](int done, int total) {
        barProgress->setRange(0, total);
        barProgress->setValue(done);
    });
    connect(&m_job, &BackgroundJob::ended, this, &PrintDialog::printFinished);
    profileChosen();
}

QString PrintDialog::defaultOutput(const PrintProfile& profile) const
{
    const QDir folder(m_folder.isEmpty() ? QDir::currentPath() : m_folder);
    return profile.layout == PrintLayout::Sheets
               ? folder.filePath(m_baseName + QStringLiteral("-") + profile.name +
                                 QStringLiteral(".pdf"))
               : folder.filePath(m_baseName + QStringLiteral("-") + profile.name);
}

void PrintDialog::profileChosen()
{
    m_profileError.clear();
    m_profile = loadPrintProfile(cboProfile->currentText(), &m_profileError);
    if (m_profile) {
        cboEnlarge->blockSignals(true);
        cboEnlarge->setCurrentIndex(int(m_profile->enlargement));
        cboEnlarge->blockSignals(false);
        txtOutput->setText(defaultOutput(*m_profile));
        labAbout->setText(m_profile->about.isEmpty() ? m_profile->title : m_profile->about);
    } else {
        labAbout->setText(m_profileError);
    }
    refresh();
}

std::optional<PrintRequest> PrintDialog::request() const
{
    if (!m_profile)
        return std::nullopt;
    PrintRequest request;
    request.profile = *m_profile;
    request.profile.enlargement = Enlargement(cboEnlarge->currentIndex());
    if (request.profile.layout == PrintLayout::Sheets) {
        QString ignored;  // a calibration that cannot be used prints uncalibrated
        request.calibration = loadCalibration(request.profile.name, &ignored);
    }
    request.colours = cardColoursFromName(cboColours->currentText()).value_or(CardColours::Both);
    request.backPicture = chkBacks->isChecked() ? QLatin1String(BuiltinBackName) : QString();
    request.output = txtOutput->text().trimmed();
    return request;
}

void PrintDialog::refresh()
{
    const std::optional<PrintRequest> chosen = request();
    cmdPrint->setEnabled(chosen && !m_cards.isEmpty() && !chosen->output.isEmpty() &&
                         !isPrinting());
    if (!chosen) {
        labCount->clear();
        labPreview->clear();
        return;
    }
    const bool sheets = chosen->profile.layout == PrintLayout::Sheets;
    labCalibration->setText(sheets ? calibrationText(chosen->calibration)
                                   : QStringLiteral("not needed for pictures"));
    cmdCalibrate->setEnabled(sheets && !isPrinting());
    const int faces = int(printFaces(m_cards, chosen->colours).size());
    const bool backs = chosen->profile.backs && !chosen->backPicture.isEmpty();
    const int items = printItemCount(chosen->profile, faces, backs);
    labCount->setText(chosen->profile.layout == PrintLayout::Sheets
                          ? QStringLiteral("%1 of %2 faces")
                                .arg(items == 1 ? QStringLiteral("1 page")
                                                : QStringLiteral("%1 pages").arg(items))
                                .arg(faces)
                          : QStringLiteral("%1 pictures").arg(items));
    if (m_cards.isEmpty())
        return;
    const PrintCardGeometry geometry = printCardGeometry(chosen->profile);
    const bool blue = chosen->colours != CardColours::Red;
    // The picture the print holds: a card drawn with a pack shows the pack's larger parts.
    labPreview->setPixmap(previewOf(
        composePrintFace(m_cards.front().pictures, blue, chosen->profile, geometry), geometry));
}

void PrintDialog::browse()
{
    if (!m_profile)
        return;
    if (m_profile->layout == PrintLayout::CardImages) {
        QString folder = txtOutput->text();
        if (m_prompts.chooseFolder(folder, QStringLiteral("Print Pictures Into")))
            txtOutput->setText(folder);
        return;
    }
    Dialog dialog;
    dialog.Filter = QStringLiteral("PDF (*.pdf)|*.pdf");
    dialog.DialogTitle = QStringLiteral("Print To");
    dialog.FileName = txtOutput->text();
    if (m_prompts.showSave(dialog))
        txtOutput->setText(dialog.FileName);
}

void PrintDialog::print()
{
    const std::optional<PrintRequest> chosen = request();
    if (!chosen || chosen->output.isEmpty())
        return;
    // Files of the print already there are named in one question; a folder of pictures lists
    // at most ten of them.
    QStringList existing;
    for (const QString& path : plannedPrintFiles(*chosen, m_cards))
        if (QFileInfo::exists(path))
            existing << QDir::toNativeSeparators(path);
    if (!existing.isEmpty()) {
        QString list = existing.mid(0, 10).join(QLatin1Char('\n'));
        if (existing.size() > 10)
            list += QStringLiteral("\n... and %1 more").arg(existing.size() - 10);
        if (m_prompts.messageBox(
                QStringLiteral("These files exist already:\n%1\n\nReplace them?").arg(list),
                YesNo | Exclamation | DefaultButton2, QStringLiteral("Print")) != AnswerYes)
            return;
    }
    m_result = PrintResult();
    setChoicesEnabled(false);
    barProgress->setRange(0, 0);  // busy until the first count
    barProgress->show();
    const PrintRequest request = *chosen;
    const QList<NamedCard> cards = m_cards;
    m_job.start([this, request, cards](const Progress& progress) {
        m_result = writePrint(request, cards, progress);
    });
}

void PrintDialog::printFinished(const QString& failure)
{
    barProgress->hide();
    setChoicesEnabled(true);
    if (!failure.isEmpty())
        m_result.problems << QStringLiteral("The print broke off: %1.").arg(failure);
    emit printEnded();
    if (!m_result.problems.isEmpty()) {
        m_prompts.messageBox(m_result.problems.join(QLatin1Char('\n')), OkOnly | Exclamation,
                             QStringLiteral("Print"));
        return;
    }
    if (m_result.cancelled) {
        labCount->setText(
            m_result.pictures > 0
                ? QStringLiteral("Cancelled: %1 whole pictures written.").arg(m_result.pictures)
                : QStringLiteral("Cancelled: nothing written."));
        return;
    }
    accept();
}

void PrintDialog::setChoicesEnabled(bool enabled)
{
    for (QWidget* choice : std::initializer_list<QWidget*>{cboProfile, cboColours, cboEnlarge,
                                                           chkBacks, txtOutput, cmdBrowse})
        choice->setEnabled(enabled);
    if (enabled) {
        refresh();
        return;
    }
    cmdPrint->setEnabled(false);
    cmdCalibrate->setEnabled(false);
}

void PrintDialog::reject()
{
    if (isPrinting()) {
        m_job.cancel();
        return;
    }
    QDialog::reject();
}

void PrintDialog::calibrate()
{
    auto* dialog = new CalibrationDialog(m_prompts, cboProfile->currentText(), m_folder, this);
    connect(dialog, &CalibrationDialog::calibrationKept, this, &PrintDialog::refresh);
    dialog->show();
}
