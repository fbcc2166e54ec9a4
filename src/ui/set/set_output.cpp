#include "set/set_output.h"

#include "set/set_model.h"

#include <QDir>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QThread>

namespace orvane {

SetOutput::SetOutput(const CardSet& set, const QString& partsRoot, QWidget* window,
                     Renderer renderer)
    : QObject(window), m_set(set), m_partsRoot(partsRoot), m_window(window),
      m_renderer(renderer ? std::move(renderer) : Renderer(&renderDeck))
{
}

SetOutput::~SetOutput()
{
    if (m_worker) {
        m_cancel = true;
        m_worker->wait();
        delete m_worker;
    }
}

bool SetOutput::start(const QList<quint64>& ids, const QString& outDir, const QString& sheetPath,
                      QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (m_worker)
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
    m_cancel = false;

    m_progress =
        new QProgressDialog(sheetPath.isEmpty() ? tr("Rendering %1...").arg(cardCount(copy.count()))
                                                : tr("Printing %1...").arg(cardCount(copy.count())),
                            tr("Cancel"), 0, copy.count(), m_window);
    m_progress->setObjectName(QStringLiteral("setOutputProgress"));
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    connect(m_progress, &QProgressDialog::canceled, this, [this] { m_cancel = true; });
    m_progress->show();

    // The progress callback runs on the worker; the dialog hears of it through the event loop.
    const auto progress = [this](int done, int total) {
        QMetaObject::invokeMethod(this, [this, done, total] {
            if (m_progress) {
                m_progress->setMaximum(total);
                m_progress->setValue(done);
            }
        });
    };
    const DeckRenderOptions options = m_options;
    m_worker = QThread::create(
        [this, options, progress] { m_result = m_renderer(options, progress, &m_cancel); });
    connect(m_worker, &QThread::finished, this, &SetOutput::ended);
    m_worker->start();
    return true;
}

void SetOutput::ended()
{
    m_worker->deleteLater();
    m_worker = nullptr;
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
