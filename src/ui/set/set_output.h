#pragma once

#include "files/card_export.h"
#include "set/card_set.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>

#include <atomic>
#include <functional>
#include <memory>

class QTemporaryDir;
class QThread;
class QWidget;

namespace orvane {

// Render and Print Sheet for a set or some of its cards: the cards as they are in the window
// (saved or not) are written as a deck into a temporary folder, and orvane-render's own code
// renders that deck, on a worker thread, with a progress dialog whose Cancel stops before the
// next card (only whole files are left).
class SetOutput : public QObject {
    Q_OBJECT
public:
    using Renderer = std::function<DeckRenderResult(
        const DeckRenderOptions&, const std::function<void(int, int)>&, const std::atomic_bool*)>;

    SetOutput(const CardSet& set, const QString& partsRoot, QWidget* window,
              Renderer renderer = {});
    ~SetOutput() override;

    // Starts writing the cards `ids` (bad rows skipped): their pictures into `outDir`, or with
    // `sheetPath` a print-and-play PDF there (pictures then go nowhere). False with `error` when
    // it cannot start (no good card, the cards cannot be written as a deck, a job running).
    bool start(const QList<quint64>& ids, const QString& outDir, const QString& sheetPath,
               QString* error);
    bool isRunning() const { return m_worker != nullptr; }
    QProgressDialog* progressDialog() const { return m_progress; }
    void cancel() { m_cancel = true; }

signals:
    // The job ended: what it did, for the status line, and one line per card that failed.
    void finished(const orvane::DeckRenderResult& result, const QString& summary);

private:
    void ended();

    const CardSet& m_set;
    QString m_partsRoot;
    QWidget* m_window;
    Renderer m_renderer;
    std::unique_ptr<QTemporaryDir> m_folder;
    QThread* m_worker = nullptr;
    QPointer<QProgressDialog> m_progress;
    std::atomic_bool m_cancel{false};
    DeckRenderOptions m_options;
    DeckRenderResult m_result;
};

}  // namespace orvane
