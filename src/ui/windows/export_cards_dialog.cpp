// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/export_cards_dialog.h"

#include "card/card.h"
#include "render/part_scales.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

using namespace orvane;

namespace {

const QString Title = QStringLiteral("Export Cards");

// "~/cards" for a folder in the home folder: short enough for the status line.
QString shortFolder(const QString& folder)
{
    const QString home = QDir::homePath();
    const QString clean = QDir::cleanPath(folder);
    if (clean == home)
        return QStringLiteral("~");
    if (clean.startsWith(home + QLatin1Char('/')))
        return QStringLiteral("~") + clean.mid(home.size());
    return QDir::toNativeSeparators(clean);
}

}  // namespace

ExportCardsDialog::ExportCardsDialog(Prompts& prompts, const QImage& blue, const QImage& red,
                                     const QString& baseName, QWidget* parent,
                                     const QString& startFolder)
    : QDialog(parent), m_prompts(prompts), m_blue(blue), m_red(red)
{
    setObjectName(QStringLiteral("ExportCardsDialog"));
    setWindowTitle(Title);

    const QSettings settings;
    // The open set's folder first: the cards of a set belong beside it.
    txtFolder = new QLineEdit(
        !startFolder.isEmpty()
            ? QDir::toNativeSeparators(startFolder)
            : settings
                  .value(QStringLiteral("Export/folder"),
                         QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))
                  .toString(),
        this);
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    cmdBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    const QString lastBase = settings.value(QStringLiteral("Export/baseName")).toString();
    txtBaseName = new QLineEdit(!baseName.isEmpty()   ? baseName
                                : !lastBase.isEmpty() ? lastBase
                                                      : QStringLiteral("card"),
                                this);
    txtBaseName->setObjectName(QStringLiteral("txtBaseName"));
    cboFormat = new QComboBox(this);
    cboFormat->setObjectName(QStringLiteral("cboFormat"));
    cboFormat->addItem(QStringLiteral("PNG"), int(ExportFormat::Png));
    cboFormat->addItem(QStringLiteral("JPEG"), int(ExportFormat::Jpeg));
    cboFormat->addItem(QStringLiteral("BMP"), int(ExportFormat::Bmp));
    cboFormat->setCurrentIndex(std::max(
        0, cboFormat->findData(settings.value(QStringLiteral("Export/format"), 0).toInt())));
    spnScale = new QSpinBox(this);
    spnScale->setObjectName(QStringLiteral("spnScale"));
    spnScale->setRange(1, MaxExportScale);
    spnScale->setSuffix(QStringLiteral(" ×"));
    spnScale->setValue(settings.value(QStringLiteral("Export/scale"), 1).toInt());
    cboColours = new QComboBox(this);
    cboColours->setObjectName(QStringLiteral("cboColours"));
    cboColours->addItems(
        {QStringLiteral("Blue and red"), QStringLiteral("Blue only"), QStringLiteral("Red only")});
    cboColours->setCurrentIndex(
        std::clamp(settings.value(QStringLiteral("Export/colours"), 0).toInt(), 0, 2));
    labFiles = new QLabel(this);
    labFiles->setObjectName(QStringLiteral("labFiles"));
    labFiles->setWordWrap(true);
    labFiles->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(txtFolder, 1);
    folderRow->addWidget(cmdBrowse);
    auto* form = new QFormLayout;
    {
        auto* label = new QLabel(QStringLiteral("&Folder:"), this);
        label->setBuddy(txtFolder);  // a row holding a layout gets no buddy of its own
        form->addRow(label, folderRow);
    }
    form->addRow(QStringLiteral("Base &name:"), txtBaseName);
    form->addRow(QStringLiteral("F&ormat:"), cboFormat);
    form->addRow(QStringLiteral("&Scale:"), spnScale);
    form->addRow(QStringLiteral("&Cards:"), cboColours);
    form->addRow(QStringLiteral("Files:"), labFiles);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cmdExport = buttons->addButton(QStringLiteral("&Export"), QDialogButtonBox::AcceptRole);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdExport->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(460);

    connect(cmdBrowse, &QPushButton::clicked, this, &ExportCardsDialog::browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportCardsDialog::exportCards);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(txtFolder, &QLineEdit::textChanged, this, &ExportCardsDialog::showPlannedFiles);
    connect(txtBaseName, &QLineEdit::textChanged, this, &ExportCardsDialog::showPlannedFiles);
    connect(cboFormat, &QComboBox::currentIndexChanged, this, &ExportCardsDialog::showPlannedFiles);
    connect(cboColours, &QComboBox::currentIndexChanged, this,
            &ExportCardsDialog::showPlannedFiles);
    showPlannedFiles();
}

ExportFormat ExportCardsDialog::format() const
{
    return ExportFormat(cboFormat->currentData().toInt());
}

QString ExportCardsDialog::safeBaseName() const
{
    const QString typed = txtBaseName->text().trimmed();
    return typed.isEmpty() ? QString() : safeFileName(typed);
}

QList<ExportCardsDialog::Planned> ExportCardsDialog::plan() const
{
    const QString base = safeBaseName();
    const QString folder = QDir::fromNativeSeparators(txtFolder->text().trimmed());
    if (base.isEmpty() || folder.isEmpty())
        return {};
    QList<Planned> files;
    const int colours = cboColours->currentIndex();
    for (const CardColour colour : {CardColour::Blue, CardColour::Red})
        if (colours == BlueAndRed || (colours == BlueOnly) == (colour == CardColour::Blue))
            files.append({QDir(folder).filePath(exportFileName(base, colour, format())), colour});
    return files;
}

QStringList ExportCardsDialog::plannedFiles() const
{
    QStringList files;
    for (const Planned& file : plan())
        files << file.path;
    return files;
}

void ExportCardsDialog::showPlannedFiles()
{
    QStringList names;
    for (const QString& file : plannedFiles())
        names << QFileInfo(file).fileName();
    labFiles->setText(names.isEmpty() ? QStringLiteral("(choose a folder and a base name)")
                                      : names.join(QStringLiteral(", ")));
    cmdExport->setEnabled(!names.isEmpty());
}

void ExportCardsDialog::browse()
{
    QString folder = txtFolder->text().trimmed();
    if (m_prompts.chooseFolder(folder, Title))
        txtFolder->setText(QDir::toNativeSeparators(folder));
}

void ExportCardsDialog::warn(const QString& text)
{
    m_prompts.messageBox(text, Exclamation, Title);
}

bool ExportCardsDialog::exportCards()
{
    const QList<Planned> files = plan();
    if (files.isEmpty()) {
        warn(QStringLiteral("Choose a folder and type a base name for the files."));
        return false;
    }
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(txtFolder->text().trimmed()));
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        warn(QStringLiteral("The folder %1 does not exist and could not be made. Nothing was "
                            "written.")
                 .arg(QDir::toNativeSeparators(folder)));
        return false;
    }

    // Every picture is encoded before anything is written, so a failure leaves nothing behind.
    QList<QByteArray> pictures;
    const int scale = spnScale->value();
    const RenderedCard drawn = m_card.drawing ? cardAtScale(m_card, scale) : RenderedCard{};
    for (const Planned& file : files) {
        QString error;
        const bool blue = file.colour == CardColour::Blue;
        const QByteArray bytes =
            drawn.drawing ? encodeCardPicture(blue ? drawn.blue : drawn.red, format(), 1, &error)
                          : encodeCardPicture(blue ? m_blue : m_red, format(), scale, &error);
        if (bytes.isEmpty()) {
            warn(QStringLiteral("The %1 card could not be made into %2: %3. Nothing was written.")
                     .arg(colourName(file.colour), cboFormat->currentText(), error));
            return false;
        }
        pictures << bytes;
    }

    QStringList existing;
    for (const Planned& file : files)
        if (QFileInfo::exists(file.path))
            existing << QDir::toNativeSeparators(file.path);
    if (!existing.isEmpty()) {
        const QString text =
            (existing.size() == 1 ? QStringLiteral("This file already exists:\n\n%1\n\nReplace it?")
                                  : QStringLiteral("These files already exist:\n\n%1\n\nReplace "
                                                   "them?"))
                .arg(existing.join(QLatin1Char('\n')));
        if (m_prompts.messageBox(text, YesNo | Exclamation, Title) != AnswerYes)
            return false;
    }

    QStringList written;
    for (int i = 0; i < files.size(); ++i) {
        QString error;
        if (!writeOutputFile(files[i].path, pictures[i], &error)) {
            QString text = QStringLiteral("%1 could not be written: %2.")
                               .arg(QDir::toNativeSeparators(files[i].path), error);
            if (!written.isEmpty())
                text += QStringLiteral("\n\nWritten before it: %1.")
                            .arg(written.join(QStringLiteral(", ")));
            warn(text);
            return false;
        }
        written << QFileInfo(files[i].path).fileName();
    }

    saveChoices();
    const QString summary = QStringLiteral("Exported %1 in %2")
                                .arg(written.join(QStringLiteral(" and ")), shortFolder(folder));
    emit exported(summary);
    accept();
    return true;
}

void ExportCardsDialog::saveChoices() const
{
    QSettings settings;
    settings.setValue(QStringLiteral("Export/folder"),
                      QDir::fromNativeSeparators(txtFolder->text().trimmed()));
    settings.setValue(QStringLiteral("Export/baseName"), txtBaseName->text().trimmed());
    settings.setValue(QStringLiteral("Export/format"), int(format()));
    settings.setValue(QStringLiteral("Export/scale"), spnScale->value());
    settings.setValue(QStringLiteral("Export/colours"), cboColours->currentIndex());
}
