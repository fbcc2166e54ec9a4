// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/play_sheets_dialog.h"

#include "card/card.h"
#include "files/texture_atlas.h"
#include "set/card_set.h"
#include "windows/set_cards.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace orvane;

namespace {

const QString Title = QStringLiteral("Play Sheets");

QString settingKey(const char* name)
{
    return QStringLiteral("PlaySheets/") + QLatin1String(name);
}

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QDoubleSpinBox* millimetres(QWidget* parent, const char* name, double low, double high,
                            double value)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(low, high);
    box->setDecimals(1);
    box->setSingleStep(0.5);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    return box;
}

QWidget* row(QWidget* parent, std::initializer_list<QWidget*> widgets)
{
    auto* holder = new QWidget(parent);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : widgets)
        layout->addWidget(w, w == *widgets.begin() ? 1 : 0);
    return holder;
}

}  // namespace

PlaySheetsDialog::PlaySheetsDialog(Prompts& prompts, QList<NamedCard> cards,
                                   const QString& baseName, Runner runner, QWidget* parent,
                                   const QString& startFolder)
    : QDialog(parent), m_prompts(prompts), m_cards(std::move(cards)), m_runner(std::move(runner))
{
    setObjectName(QStringLiteral("PlaySheetsDialog"));
    setWindowTitle(Title);
    const QSettings settings;
    // The open set's folder first: the sheets of a set belong beside it.
    const QString folder = !startFolder.isEmpty()
                               ? startFolder
                               : settings.value(settingKey("folder"), QDir::homePath()).toString();
    const QString base =
        safeFileName(baseName.trimmed().isEmpty() ? QStringLiteral("card") : baseName.trimmed());

    txtBaseName = lineEdit(this, "txtBaseName", base);
    cboColours = new QComboBox(this);
    cboColours->setObjectName(QStringLiteral("cboColours"));
    cboColours->addItem(QStringLiteral("Blue and red"), int(CardColours::Both));
    cboColours->addItem(QStringLiteral("Blue"), int(CardColours::Blue));
    cboColours->addItem(QStringLiteral("Red"), int(CardColours::Red));

    chkTabletop = new QCheckBox(QStringLiteral("&Tabletop deck sheets in"), this);
    chkTabletop->setObjectName(QStringLiteral("chkTabletop"));
    chkTabletop->setChecked(settings.value(settingKey("tabletop"), true).toBool());
    txtTabletopDir = lineEdit(this, "txtTabletopDir",
                              settings.value(settingKey("tabletopDir"), folder).toString());
    cmdBrowseTabletop = button(this, "cmdBrowseTabletop", QStringLiteral("Browse..."));

    chkAtlas = new QCheckBox(QStringLiteral("&Atlas"), this);
    chkAtlas->setObjectName(QStringLiteral("chkAtlas"));
    chkAtlas->setChecked(settings.value(settingKey("atlas"), false).toBool());
    txtAtlas =
        lineEdit(this, "txtAtlas", QDir(folder).filePath(base + QStringLiteral("-atlas.png")));
    cmdBrowseAtlas = button(this, "cmdBrowseAtlas", QStringLiteral("Browse..."));
    spnPadding = new QSpinBox(this);
    spnPadding->setObjectName(QStringLiteral("spnPadding"));
    spnPadding->setRange(0, MaxAtlasPadding);
    spnPadding->setSuffix(QStringLiteral(" px padding"));
    spnExtrude = new QSpinBox(this);
    spnExtrude->setObjectName(QStringLiteral("spnExtrude"));
    spnExtrude->setRange(0, MaxAtlasExtrude);
    spnExtrude->setSuffix(QStringLiteral(" px extrusion"));

    chkSheet = new QCheckBox(QStringLiteral("&Print sheet"), this);
    chkSheet->setObjectName(QStringLiteral("chkSheet"));
    chkSheet->setChecked(settings.value(settingKey("sheet"), false).toBool());
    txtSheet = lineEdit(this, "txtSheet", QDir(folder).filePath(base + QStringLiteral(".pdf")));
    cmdBrowseSheet = button(this, "cmdBrowseSheet", QStringLiteral("Browse..."));
    spnCardMm = millimetres(this, "spnCardMm", MinSheetCardMm, MaxSheetCardMm,
                            settings.value(settingKey("cardMm"), 63.0).toDouble());
    chkBacks = new QCheckBox(QStringLiteral("&Backs for duplex printing"), this);
    chkBacks->setObjectName(QStringLiteral("chkBacks"));
    chkBacks->setChecked(settings.value(settingKey("backs"), false).toBool());
    txtBack = lineEdit(this, "txtBack", settings.value(settingKey("back")).toString());
    txtBack->setPlaceholderText(QStringLiteral("Orvane's own back"));
    spnBleed = millimetres(this, "spnBleed", 0, MaxSheetBleedMm,
                           settings.value(settingKey("bleed"), 0.0).toDouble());
    cboCutLines = new QComboBox(this);
    cboCutLines->setObjectName(QStringLiteral("cboCutLines"));
    cboCutLines->addItem(QStringLiteral("Corner marks"), int(CutLines::Corners));
    cboCutLines->addItem(QStringLiteral("Full lines"), int(CutLines::Full));
    cboCutLines->addItem(QStringLiteral("None"), int(CutLines::None));
    spnOffsetX = millimetres(this, "spnOffsetX", -MaxBackOffsetMm, MaxBackOffsetMm,
                             settings.value(settingKey("offsetX"), 0.0).toDouble());
    spnOffsetY = millimetres(this, "spnOffsetY", -MaxBackOffsetMm, MaxBackOffsetMm,
                             settings.value(settingKey("offsetY"), 0.0).toDouble());

    labFiles = new QLabel(this);
    labFiles->setObjectName(QStringLiteral("labFiles"));
    labFiles->setTextInteractionFlags(Qt::TextSelectableByMouse);
    labFiles->setWordWrap(true);
    cmdWrite = button(this, "cmdWrite", QStringLiteral("&Write"));
    cmdWrite->setDefault(true);

    auto* common = new QFormLayout;
    common->addRow(QStringLiteral("&Name:"), txtBaseName);
    common->addRow(QStringLiteral("&Colours:"), cboColours);

    auto* play = new QGroupBox(QStringLiteral("To play"), this);
    auto* playLayout = new QFormLayout(play);
    playLayout->addRow(chkTabletop, row(play, {txtTabletopDir, cmdBrowseTabletop}));
    playLayout->addRow(chkAtlas, row(play, {txtAtlas, cmdBrowseAtlas}));
    playLayout->addRow(QString(), row(play, {spnPadding, spnExtrude}));

    auto* print = new QGroupBox(QStringLiteral("To print"), this);
    auto* printLayout = new QFormLayout(print);
    printLayout->addRow(chkSheet, row(print, {txtSheet, cmdBrowseSheet}));
    printLayout->addRow(QStringLiteral("Card size:"), spnCardMm);
    printLayout->addRow(QStringLiteral("Bleed:"), spnBleed);
    printLayout->addRow(QStringLiteral("Cut lines:"), cboCutLines);
    printLayout->addRow(chkBacks, txtBack);
    printLayout->addRow(QStringLiteral("Back offset:"), row(print, {spnOffsetX, spnOffsetY}));

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdWrite, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(common);
    layout->addWidget(play);
    layout->addWidget(print);
    layout->addWidget(new QLabel(QStringLiteral("Files:"), this));
    layout->addWidget(labFiles);
    layout->addWidget(buttons);
    setMinimumWidth(560);

    for (QLineEdit* edit : {txtBaseName, txtTabletopDir, txtAtlas, txtSheet})
        connect(edit, &QLineEdit::textChanged, this, &PlaySheetsDialog::showPlannedFiles);
    for (QCheckBox* box : {chkTabletop, chkAtlas, chkSheet})
        connect(box, &QCheckBox::toggled, this, &PlaySheetsDialog::showPlannedFiles);
    connect(cboColours, &QComboBox::currentIndexChanged, this, &PlaySheetsDialog::showPlannedFiles);
    connect(cmdBrowseTabletop, &QPushButton::clicked, this,
            [this] { chooseFolder(txtTabletopDir); });
    connect(cmdBrowseAtlas, &QPushButton::clicked, this,
            [this] { chooseFile(txtAtlas, QStringLiteral("PNG pictures (*.png)|*.png"), true); });
    connect(cmdBrowseSheet, &QPushButton::clicked, this,
            [this] { chooseFile(txtSheet, QStringLiteral("PDF files (*.pdf)|*.pdf"), true); });
    connect(cmdWrite, &QPushButton::clicked, this, &PlaySheetsDialog::startWriting);
    connect(buttons, &QDialogButtonBox::rejected, this, &PlaySheetsDialog::reject);
    connect(&m_job, &BackgroundJob::progressed, this, &PlaySheetsDialog::showProgress);
    connect(&m_job, &BackgroundJob::ended, this, &PlaySheetsDialog::writingEnded);
    showPlannedFiles();
}

QProgressDialog* PlaySheetsDialog::progressDialog() const
{
    return m_progress;
}

SheetsJob PlaySheetsDialog::job() const
{
    SheetsJob job;
    job.deckName =
        safeFileName(txtBaseName->text().trimmed().isEmpty() ? QStringLiteral("card")
                                                             : txtBaseName->text().trimmed());
    PlayOutputs& outputs = job.outputs;
    outputs.colours = CardColours(cboColours->currentData().toInt());
    if (chkTabletop->isChecked())
        outputs.tabletopDir = QDir::fromNativeSeparators(txtTabletopDir->text().trimmed());
    if (chkAtlas->isChecked())
        outputs.atlasPath = QDir::fromNativeSeparators(txtAtlas->text().trimmed());
    outputs.atlasPadding = spnPadding->value();
    outputs.atlasExtrude = spnExtrude->value();
    if (chkSheet->isChecked()) {
        job.sheetPath = QDir::fromNativeSeparators(txtSheet->text().trimmed());
        job.sheetLayout.cardMm = spnCardMm->value();
        job.sheetLayout.finish.bleedMm = spnBleed->value();
        job.sheetLayout.finish.cutLines = CutLines(cboCutLines->currentData().toInt());
        job.sheetLayout.finish.backOffsetXMm = spnOffsetX->value();
        job.sheetLayout.finish.backOffsetYMm = spnOffsetY->value();
        if (chkBacks->isChecked()) {
            const QString back = QDir::fromNativeSeparators(txtBack->text().trimmed());
            outputs.backPicture = back.isEmpty() ? QLatin1String(BuiltinBackName) : back;
        }
    }
    return job;
}

QStringList PlaySheetsDialog::plannedFiles() const
{
    return plannedSheetsJobFiles(job(), int(m_cards.size()));
}

void PlaySheetsDialog::showPlannedFiles()
{
    QStringList shown;
    for (const QString& path : plannedFiles())
        shown << QDir::toNativeSeparators(path);
    labFiles->setText(shown.isEmpty() ? QStringLiteral("(nothing chosen)")
                                      : shown.join(QLatin1Char('\n')));
    cmdWrite->setEnabled(!shown.isEmpty() && !m_job.isRunning());
}

void PlaySheetsDialog::chooseFolder(QLineEdit* edit)
{
    QString folder = edit->text().trimmed();
    if (m_prompts.chooseFolder(folder, Title))
        edit->setText(QDir::toNativeSeparators(folder));
}

void PlaySheetsDialog::chooseFile(QLineEdit* edit, const QString& filter, bool save)
{
    m_fileDialog.DialogTitle = Title;
    m_fileDialog.Filter = filter;
    m_fileDialog.FileName = edit->text().trimmed();
    if (save ? m_prompts.showSave(m_fileDialog) : m_prompts.showOpen(m_fileDialog))
        edit->setText(QDir::toNativeSeparators(m_fileDialog.FileName));
}

void PlaySheetsDialog::saveChoices() const
{
    QSettings settings;
    settings.setValue(settingKey("tabletop"), chkTabletop->isChecked());
    settings.setValue(settingKey("tabletopDir"), txtTabletopDir->text().trimmed());
    settings.setValue(settingKey("atlas"), chkAtlas->isChecked());
    settings.setValue(settingKey("sheet"), chkSheet->isChecked());
    settings.setValue(settingKey("folder"), QFileInfo(txtSheet->text().trimmed()).absolutePath());
    settings.setValue(settingKey("cardMm"), spnCardMm->value());
    settings.setValue(settingKey("backs"), chkBacks->isChecked());
    settings.setValue(settingKey("back"), txtBack->text().trimmed());
    settings.setValue(settingKey("bleed"), spnBleed->value());
    settings.setValue(settingKey("offsetX"), spnOffsetX->value());
    settings.setValue(settingKey("offsetY"), spnOffsetY->value());
}

void PlaySheetsDialog::startWriting()
{
    if (m_job.isRunning())
        return;
    const SheetsJob chosen = job();
    const QStringList files = plannedSheetsJobFiles(chosen, int(m_cards.size()));
    if (files.isEmpty()) {
        m_prompts.messageBox(QStringLiteral("Choose deck sheets, an atlas or a print sheet."),
                             Exclamation, Title);
        return;
    }
    if (const QString problem = checkPlayOutputs(chosen.outputs, int(m_cards.size()));
        !problem.isEmpty()) {
        m_prompts.messageBox(QStringLiteral("Nothing was written: %1.").arg(problem), Exclamation,
                             Title);
        return;
    }
    QStringList existing;
    for (const QString& path : files)
        if (QFileInfo::exists(path))
            existing << QDir::toNativeSeparators(path);
    if (!existing.isEmpty() &&
        m_prompts.messageBox(QStringLiteral("These files exist already:\n%1\n\nReplace them?")
                                 .arg(existing.join(QLatin1Char('\n'))),
                             YesNo | Exclamation, Title) != AnswerYes)
        return;
    saveChoices();

    m_result = {};
    cmdWrite->setEnabled(false);
    m_progress = new QProgressDialog(QStringLiteral("Writing the sheets..."),
                                     QStringLiteral("Cancel"), 0, 0, this);
    m_progress->setObjectName(QStringLiteral("sheetsProgress"));
    m_progress->setWindowTitle(Title);
    // Not modal: a modal progress dialog runs the event loop inside setValue().
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    connect(m_progress, &QProgressDialog::canceled, this, &PlaySheetsDialog::cancelWriting);
    m_progress->show();

    const QList<NamedCard> cards = m_cards;
    m_job.start([this, chosen, cards](const Progress& progress) {
        m_result = m_runner(chosen, cards, progress);
    });
}

void PlaySheetsDialog::cancelWriting()
{
    if (!m_job.isRunning())
        return;
    m_job.cancel();
    if (m_progress)
        m_progress->setLabelText(QStringLiteral("Stopping after the picture being written..."));
}

void PlaySheetsDialog::showProgress(int done, int total)
{
    if (m_progress) {
        m_progress->setMaximum(total);
        m_progress->setValue(done);
    }
    emit progressed(done, total);
    if (m_progress && m_progress->wasCanceled() && !m_job.isCancelled())
        cancelWriting();
}

void PlaySheetsDialog::writingEnded(const QString& failure)
{
    if (!failure.isEmpty())
        m_result.problems << QStringLiteral("the writing broke off: %1").arg(failure);
    if (m_progress) {
        m_progress->close();
        m_progress->deleteLater();
    }
    showPlannedFiles();

    const int count = int(m_result.written.size());
    const QString files =
        count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count);
    QString summary;
    if (m_result.cancelled)
        summary = QStringLiteral("Cancelled after %1; every file written is whole").arg(files);
    else if (!m_result.problems.isEmpty())
        summary =
            QStringLiteral("Wrote %1; %2").arg(files, m_result.problems.join(QStringLiteral("; ")));
    else
        summary = QStringLiteral("Wrote %1").arg(files);
    if (!m_result.problems.isEmpty())
        m_prompts.messageBox(summary + QLatin1Char('.'), Exclamation, Title);
    emit written(summary);
    if (m_closeWhenDone) {
        m_closeWhenDone = false;
        QDialog::reject();
    } else if (!m_result.cancelled && m_result.problems.isEmpty()) {
        accept();
    }
}

void PlaySheetsDialog::reject()
{
    if (m_job.isRunning()) {
        cancelWriting();
        m_closeWhenDone = true;
        return;
    }
    QDialog::reject();
}

namespace {

PlaySheetsDialog* openFor(Prompts& prompts, const QList<NamedCard>& cards, const QString& name,
                          QWidget* parent, const QString& startFolder)
{
    auto* dialog = new PlaySheetsDialog(prompts, cards, name, &runSheetsJob, parent, startFolder);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

}  // namespace

QString setFolder(const CardSet& set)
{
    const QString path = set.path();
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    return info.isDir() ? info.absoluteFilePath() : info.absolutePath();
}

PlaySheetsDialog* openPlaySheets(Prompts& prompts, const RenderedCard& card, const QString& name,
                                 QWidget* parent, const QString& startFolder)
{
    return openFor(prompts, {{name, safeFileName(name), card}}, name, parent, startFolder);
}

PlaySheetsDialog* openPlaySheetsForSet(Prompts& prompts, const CardSet& set,
                                       const QList<quint64>& ids, const QString& partsRoot,
                                       const QString& name, QWidget* parent, QString* error)
{
    // Each row's copies, as orvane-render's deck sheets count them.
    const QList<NamedCard> cards = renderSetCards(set, ids, partsRoot, error);
    if (cards.isEmpty())
        return nullptr;
    return openFor(prompts, cards, name, parent, setFolder(set));
}
