// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/card_export.h"
#include "platform/background_job.h"
#include "set/card_set.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>

#include <functional>
#include <memory>

class QTemporaryDir;
class QWidget;

namespace orvane {

// Render and Print Sheet for a set or some of its cards: the cards as they are in the window
// (saved or not) are written as a deck into a temporary folder, and orvane-render's own code
// renders that deck, on a worker thread, with a progress dialog whose Cancel stops before the
// next card (only whole files are left).
class SetOutput : public QObject {
    Q_OBJECT
public:
    using Renderer = std::function<DeckRenderResult(const DeckRenderOptions&, const Progress&)>;

    SetOutput(const CardSet& set, const QString& partsRoot, QWidget* window,
              Renderer renderer = {});
    ~SetOutput() override;  // where the temporary folder's type is known

    // Starts writing the cards `ids` (bad rows skipped): their pictures into `outDir`, or with
    // `sheetPath` a print-and-play PDF there (pictures then go nowhere). False with `error` when
    // it cannot start (no good card, the cards cannot be written as a deck, a job running).
    bool start(const QList<quint64>& ids, const QString& outDir, const QString& sheetPath,
               QString* error);
    bool isRunning() const { return m_job.isRunning(); }
    QProgressDialog* progressDialog() const { return m_progress; }
    void cancel() { m_job.cancel(); }

signals:
    // The job ended: what it did, for the status line, and one line per card that failed.
    void finished(const orvane::DeckRenderResult& result, const QString& summary);

private:
    void ended(const QString& failure);

    const CardSet& m_set;
    QString m_partsRoot;
    QWidget* m_window;
    Renderer m_renderer;
    std::unique_ptr<QTemporaryDir> m_folder;
    QPointer<QProgressDialog> m_progress;
    DeckRenderOptions m_options;
    DeckRenderResult m_result;
    // Last: it goes first, stopping and waiting for the work that writes into m_result.
    BackgroundJob m_job;
};

}  // namespace orvane
