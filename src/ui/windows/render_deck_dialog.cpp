// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/render_deck_dialog.h"

#include "card/card_file.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace orvane;

namespace {

const QString Title = QStringLiteral("Render Deck");

}  // namespace

RenderDeckDialog::RenderDeckDialog(Prompts& prompts, const QString& partsRoot, Renderer renderer,
                                   QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_partsRoot(partsRoot), m_renderer(std::move(renderer))
{
    setObjectName(QStringLiteral("RenderDeckDialog"));
    setWindowTitle(Title);

    const QSettings settings;
    txtDeck = new QLineEdit(settings.value(QStringLiteral("RenderDeck/deck")).toString(), this);
    txtDeck->setObjectName(QStringLiteral("txtDeck"));
    cmdBrowseDeck = new QPushButton(QStringLiteral("&Browse..."), this);
    cmdBrowseDeck->setObjectName(QStringLiteral("cmdBrowseDeck"));
    txtOutDir = new QLineEdit(settings.value(QStringLiteral("RenderDeck/outDir")).toString(), this);
    txtOutDir->setObjectName(QStringLiteral("txtOutDir"));
    txtOutDir->setPlaceholderText(QStringLiteral("beside the deck"));
    cmdBrowseOut = new QPushButton(QStringLiteral("B&rowse..."), this);
    cmdBrowseOut->setObjectName(QStringLiteral("cmdBrowseOut"));
    cboFormat = new QComboBox(this);
    cboFormat->setObjectName(QStringLiteral("cboFormat"));
    cboFormat->addItem(QStringLiteral("PNG"), int(ExportFormat::Png));
    cboFormat->addItem(QStringLiteral("JPEG"), int(ExportFormat::Jpeg));
    cboFormat->addItem(QStringLiteral("BMP"), int(ExportFormat::Bmp));
    cboFormat->setCurrentIndex(std::max(
        0, cboFormat->findData(settings.value(QStringLiteral("RenderDeck/format"), 0).toInt())));
    spnScale = new QSpinBox(this);
    spnScale->setObjectName(QStringLiteral("spnScale"));
    spnScale->setRange(1, MaxExportScale);
    spnScale->setSuffix(QStringLiteral(" ×"));
    spnScale->setValue(settings.value(QStringLiteral("RenderDeck/scale"), 1).toInt());
    labResult = new QLabel(this);
    labResult->setObjectName(QStringLiteral("labResult"));
    labResult->setWordWrap(true);
    lstProblems = new QTreeWidget(this);
    lstProblems->setObjectName(QStringLiteral("lstProblems"));
    lstProblems->setHeaderLabels(
        {QStringLiteral("Line"), QStringLiteral("Column"), QStringLiteral("Problem")});
    lstProblems->setRootIsDecorated(false);
    lstProblems->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lstProblems->header()->setStretchLastSection(true);
    lstProblems->hide();

    auto* deckRow = new QHBoxLayout;
    deckRow->addWidget(txtDeck, 1);
    deckRow->addWidget(cmdBrowseDeck);
    auto* outRow = new QHBoxLayout;
    outRow->addWidget(txtOutDir, 1);
    outRow->addWidget(cmdBrowseOut);
    auto* form = new QFormLayout;
    {
        auto* label = new QLabel(QStringLiteral("&Deck:"), this);
        label->setBuddy(txtDeck);  // a row holding a layout gets no buddy of its own
        form->addRow(label, deckRow);
    }
    {
        auto* label = new QLabel(QStringLiteral("&Output folder:"), this);
        label->setBuddy(txtOutDir);  // a row holding a layout gets no buddy of its own
        form->addRow(label, outRow);
    }
    form->addRow(QStringLiteral("F&ormat:"), cboFormat);
    form->addRow(QStringLiteral("&Scale:"), spnScale);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    cmdRender = buttons->addButton(QStringLiteral("&Render"), QDialogButtonBox::ActionRole);
    cmdRender->setObjectName(QStringLiteral("cmdRender"));
    cmdRender->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(labResult);
    layout->addWidget(lstProblems, 1);
    layout->addWidget(buttons);
    setMinimumWidth(520);

    connect(cmdBrowseDeck, &QPushButton::clicked, this, &RenderDeckDialog::browseDeck);
    connect(cmdBrowseOut, &QPushButton::clicked, this, &RenderDeckDialog::browseOut);
    connect(cmdRender, &QPushButton::clicked, this, &RenderDeckDialog::startRender);
    connect(buttons, &QDialogButtonBox::rejected, this, &RenderDeckDialog::reject);
    connect(&m_job, &BackgroundJob::progressed, this, &RenderDeckDialog::showProgress);
    connect(&m_job, &BackgroundJob::ended, this, &RenderDeckDialog::renderEnded);
}

void RenderDeckDialog::setChoicesEnabled(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*>{txtDeck, cmdBrowseDeck, txtOutDir,
                                                      cmdBrowseOut, cboFormat, spnScale, cmdRender})
        w->setEnabled(on);
}

QProgressDialog* RenderDeckDialog::progressDialog() const
{
    return m_progress;
}

void RenderDeckDialog::browseDeck()
{
    m_deckDialog.DialogTitle = Title;
    m_deckDialog.Filter =
        QStringLiteral("Decks (*.csv)|*.csv|Card files (*.%1)|*.%1|All files (*)|*")
            .arg(QLatin1String(CardFileSuffix));
    m_deckDialog.FileName = txtDeck->text().trimmed();
    if (m_prompts.showOpen(m_deckDialog))
        txtDeck->setText(QDir::toNativeSeparators(m_deckDialog.FileName));
}

void RenderDeckDialog::browseOut()
{
    QString folder = txtOutDir->text().trimmed();
    if (folder.isEmpty() && !txtDeck->text().trimmed().isEmpty())
        folder = QFileInfo(txtDeck->text().trimmed()).absolutePath();
    if (m_prompts.chooseFolder(folder, Title))
        txtOutDir->setText(QDir::toNativeSeparators(folder));
}

void RenderDeckDialog::startRender()
{
    if (m_job.isRunning())
        return;
    const QString deck = QDir::fromNativeSeparators(txtDeck->text().trimmed());
    if (deck.isEmpty() || !QFileInfo(deck).isFile()) {
        m_prompts.messageBox(
            deck.isEmpty()
                ? QStringLiteral("Choose the deck to render.")
                : QStringLiteral("The deck %1 does not exist.").arg(QDir::toNativeSeparators(deck)),
            Exclamation, Title);
        return;
    }
    m_options = {};
    m_options.input = deck;
    m_options.outDir = QDir::fromNativeSeparators(txtOutDir->text().trimmed());
    m_options.format = ExportFormat(cboFormat->currentData().toInt());
    m_options.scale = spnScale->value();
    m_options.partsRoot = m_partsRoot;

    QSettings settings;
    settings.setValue(QStringLiteral("RenderDeck/deck"), deck);
    settings.setValue(QStringLiteral("RenderDeck/outDir"), m_options.outDir);
    settings.setValue(QStringLiteral("RenderDeck/format"), int(m_options.format));
    settings.setValue(QStringLiteral("RenderDeck/scale"), m_options.scale);

    m_result = {};
    lstProblems->clear();
    lstProblems->hide();
    labResult->setText(QStringLiteral("Rendering %1...").arg(QFileInfo(deck).fileName()));
    setChoicesEnabled(false);

    m_progress =
        new QProgressDialog(QStringLiteral("Rendering %1...").arg(QFileInfo(deck).fileName()),
                            QStringLiteral("Cancel"), 0, 0, this);
    m_progress->setObjectName(QStringLiteral("renderProgress"));
    m_progress->setWindowTitle(Title);
    // Not modal: a modal progress dialog runs the event loop inside setValue(), which would
    // take later progress reports before the current one. The choices are disabled instead.
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    connect(m_progress, &QProgressDialog::canceled, this, &RenderDeckDialog::cancelRender);
    m_progress->show();

    // The job (a member) stops and is waited for before the result it writes into goes.
    const DeckRenderOptions options = m_options;
    m_job.start(
        [this, options](const Progress& progress) { m_result = m_renderer(options, progress); });
}

void RenderDeckDialog::cancelRender()
{
    if (!m_job.isRunning())
        return;
    m_job.cancel();
    if (m_progress)
        m_progress->setLabelText(QStringLiteral("Stopping after the card being written..."));
}

void RenderDeckDialog::showProgress(int done, int total)
{
    if (m_progress) {
        m_progress->setMaximum(total);
        m_progress->setValue(done);
    }
    emit progressed(done, total);
    // QProgressDialog::cancel() (and anything else that cancels the dialog without its button)
    // sets wasCanceled() but emits no canceled(): the render is stopped from here too.
    if (m_progress && m_progress->wasCanceled() && !m_job.isCancelled())
        cancelRender();
}

void RenderDeckDialog::renderEnded(const QString& failure)
{
    if (!failure.isEmpty())
        m_result.fatal = failure;
    if (m_progress) {
        m_progress->close();
        m_progress->deleteLater();
    }
    setChoicesEnabled(true);

    const QString deck = QFileInfo(m_options.input).fileName();
    const QString out = QDir::toNativeSeparators(
        m_options.outDir.isEmpty() ? QFileInfo(m_options.input).absolutePath() : m_options.outDir);
    QString summary;
    if (!m_result.fatal.isEmpty()) {
        summary = QStringLiteral("%1 was not rendered: %2").arg(deck, m_result.fatal);
        m_prompts.messageBox(summary, Exclamation, Title);
    } else {
        const QString cards = m_result.cards == 1 ? QStringLiteral("1 card")
                                                  : QStringLiteral("%1 cards").arg(m_result.cards);
        summary = m_result.cancelled
                      ? QStringLiteral("Cancelled after %1 of %2 in %3; every file written is "
                                       "whole")
                            .arg(cards, deck, out)
                      : QStringLiteral("Rendered %1 of %2 into %3").arg(cards, deck, out);
        if (!m_result.problems.isEmpty())
            summary += m_result.problems.size() == 1
                           ? QStringLiteral("; 1 bad row left out")
                           : QStringLiteral("; %1 bad rows left out").arg(m_result.problems.size());
    }
    showProblems(m_result.problems);
    labResult->setText(summary + QLatin1Char('.'));
    emit rendered(summary);
    if (m_closeWhenDone) {
        m_closeWhenDone = false;
        QDialog::reject();
    }
}

void RenderDeckDialog::showProblems(const QStringList& problems)
{
    // "deck.csv:12: column element: what is wrong" or "deck.csv:12: what is wrong".
    static const QRegularExpression form(
        QStringLiteral("^(.*?):(\\d+): (?:column ([^:]+): )?(.*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    for (const QString& problem : problems) {
        const QRegularExpressionMatch m = form.match(problem);
        auto* item = new QTreeWidgetItem(lstProblems);
        if (m.hasMatch()) {
            item->setText(0, m.captured(2));
            item->setText(1, m.captured(3));
            item->setText(2, m.captured(4));
        } else {
            item->setText(2, problem);
        }
    }
    lstProblems->setVisible(!problems.isEmpty());
}

void RenderDeckDialog::reject()
{
    if (m_job.isRunning()) {
        cancelRender();
        m_closeWhenDone = true;
        return;
    }
    QDialog::reject();
}
