#pragma once

#include "render/card_parts.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace orvane {

enum class ExportFormat { Png, Jpeg, Bmp };

// Enlarges every card pixel to a scale x scale block (scale 1..16), no smoothing.
QImage scaleCardPicture(const QImage& card, int scale);

// The bytes of one exported card picture: PNG exact, JPEG through the ImageUtils settings
// (4:4:4, quality 98), BMP as "Save Card" writes it. The editor's export, the clipboard and
// orvane-render all use this, so the files are the same bytes.
QByteArray encodeCardPicture(const QImage& card, ExportFormat format, int scale, QString* error);

// A name made safe for the file system ("Hero: 1/2" -> "Hero_ 1_2").
QString safeFileName(const QString& name);

// "<base>-blue.png", "<base>-red.png".
QString exportFileName(const QString& base, bool blue, ExportFormat format);

// Writes whole files: each through a temporary that replaces the target only when complete.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         bool syncToDisk = false);

struct DeckRenderOptions {
    QString input;  // a deck CSV or a card file
    QString outDir; // empty: the input's folder
    ExportFormat format = ExportFormat::Png;
    int scale = 1;
    QString partsRoot;  // the folder holding gfx/
    bool records = false;
    int jobs = 0;  // 0: every core
};

struct DeckRenderResult {
    int cards = 0;
    int pictures = 0;
    QStringList problems;  // one line per bad row: "deck.csv:12: column element: ..."
    bool cancelled = false;
    QString fatal;  // a failure that stopped everything (unreadable deck, missing parts)
};

// The whole of orvane-render's work, for the command line and the editor's Render Deck...
// `progress(done, total)` runs on the calling thread; `cancel` set stops before the next card
// (only whole files are left behind).
DeckRenderResult renderDeck(const DeckRenderOptions& options,
                            const std::function<void(int, int)>& progress = {},
                            const std::atomic_bool* cancel = nullptr);

}  // namespace orvane
