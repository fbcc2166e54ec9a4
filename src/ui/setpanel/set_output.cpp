// SPDX-License-Identifier: GPL-3.0-or-later
#include "setpanel/set_output.h"

#include "setpanel/set_model.h"

#include <QDir>
#include <QProgressDialog>
#include <QTemporaryDir>

namespace orvane {

SetOutput::SetOutput(const CardSet& set, const QString& partsRoot, QWidget* window,
                     Renderer renderer)
    : QObject(window), m_set(set), m_partsRoot(partsRoot), m_window(window),
      m_renderer(renderer ? std::move(renderer) : Renderer(&renderDeck))
{
    connect(&m_job, &BackgroundJob::progressed, this, [this](int done, int total) {
        if (m_progress) {
            m_progress->setMaximum(total);
            m_progress->setValue(done);
        }
    });
    connect(&m_job, &BackgroundJob::ended, this, &SetOutput::ended);
}

SetOutput::~SetOutput() = default;

bool SetOutput::start(const QList<quint64>& ids, const QString& outDir, const QString& sheetPath,
                      QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (m_job.isRunning())
        return fail(tr("The cards are being written already."));
    // The cards as they are now, written as a deck of their own.
    m_folder = std::make_unique<QTemporaryDir>();
    if (!m_folder->isValid())
        return fail(tr("No temporary folder can be made: %1.").arg(m_folder->errorString()));
    CardSet copy;
    copy.startNew();
    if (copy.pasteCards(m_set.copyCards(ids)).isEmpty())
        return fail(tr("There is no card to write: bad rows are mended first."));
    const QString deck = QDir(m_folder->path()).filePath(QStringLiteral("cards.csv"));
    QString why;
    if (!copy.save(&why, deck))
        return fail(why);

    m_options = DeckRenderOptions();
    m_options.input = deck;
    m_options.partsRoot = m_partsRoot;
    m_options.outDir = sheetPath.isEmpty() ? outDir : QDir(m_folder->path()).filePath("pictures");
    m_options.sheet = sheetPath;
    if (!sheetPath.isEmpty())
        QDir().mkpath(m_options.outDir);

    m_progress =
        new QProgressDialog(sheetPath.isEmpty() ? tr("Rendering %1...").arg(cardCount(copy.count()))
                                                : tr("Printing %1...").arg(cardCount(copy.count())),
                            tr("Cancel"), 0, copy.count(), m_window);
    m_progress->setObjectName(QStringLiteral("setOutputProgress"));
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    connect(m_progress, &QProgressDialog::canceled, &m_job, &BackgroundJob::cancel);
    m_progress->show();

    const DeckRenderOptions options = m_options;
    m_job.start(
        [this, options](const Progress& progress) { m_result = m_renderer(options, progress); });
    return true;
}

void SetOutput::ended(const QString& failure)
{
    if (!failure.isEmpty())
        m_result.fatal = tr("The cards were not written: %1.").arg(failure);
    if (m_progress)
        m_progress->deleteLater();
    m_folder.reset();
    QString summary;
    if (!m_result.fatal.isEmpty())
        summary = m_result.fatal;
    else if (m_result.cancelled)
        summary = tr("Cancelled: %1 written.").arg(cardCount(m_result.cards));
    else if (!m_options.sheet.isEmpty())
        summary = tr("%1 written: %2 of %3.")
                      .arg(QDir::toNativeSeparators(m_options.sheet),
                           m_result.sheetPages == 1 ? tr("1 page")
                                                    : tr("%1 pages").arg(m_result.sheetPages),
                           cardCount(m_result.cards));
    else
        summary = tr("%1 written to %2.")
                      .arg(cardCount(m_result.cards), QDir::toNativeSeparators(m_options.outDir));
    if (!m_result.problems.isEmpty())
        summary += tr(" %1 failed.").arg(cardCount(int(m_result.problems.size())));
    emit finished(m_result, summary);
}

}  // namespace orvane
