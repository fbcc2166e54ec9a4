// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/print_card.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QCloseEvent;
class QKeyEvent;
class QResizeEvent;
class QSpinBox;

// The card pixels enlarged: each card pixel a square of whole device pixels (the screen's
// device pixel ratio honoured), copied without smoothing, with an optional grid between them.
// The enlarged pictures are made again only when the cards, the zoom, the grid or the screen
// change; painting copies them.
class ZoomedCardsView : public QWidget {
    Q_OBJECT
public:
    static constexpr int Gap = 16;  // between and around the cards, logical pixels

    explicit ZoomedCardsView(QWidget* parent = nullptr);

    void setCards(const QImage& blue, const QImage& red);
    // Draws both cards again at a scale (with a pack's larger parts); null pictures: none. Set,
    // the view draws at the largest scale up to 4 dividing its device pixels per card pixel and
    // enlarges that; unset, it enlarges the cards given.
    using CardsAtScale = std::function<std::pair<QImage, QImage>(int scale)>;
    void setCardsAtScale(CardsAtScale draw);
    void setZoom(int zoom);
    void setGrid(bool on);
    // Following the space: the zoom is the largest whole one at which both cards fit in the
    // view's size, and the cards are centred in it; `zoomFollowed` says each new zoom.
    void setFollowsSpace(bool on);
    bool followsSpace() const { return m_follows; }
    // The largest zoom (at least 1, at most `limit`) at which both cards of `card` size fit in
    // `size` logical pixels on a screen of `ratio`, every card pixel a square of whole device
    // pixels.
    static int largestZoomIn(QSize size, QSize card, qreal ratio, int limit);
    int zoom() const { return m_zoom; }
    const QImage& blueCard() const { return m_blue; }
    const QImage& redCard() const { return m_red; }

    // Device pixels one card pixel takes at `zoom` on a screen of `ratio` device pixels per
    // logical pixel: whole, so every card pixel is the same square.
    static int devicePixelsPerCardPixel(int zoom, qreal ratio);
    // Where each card's top left corner is drawn, in device pixels.
    QPoint blueOrigin() const;
    QPoint redOrigin() const;
    int devicePixelsPerCardPixel() const
    {
        return devicePixelsPerCardPixel(m_zoom, devicePixelRatioF());
    }
    // Lines over both cards where a print of this geometry is cut, bleeds and keeps its content;
    // none: off. Painted over the enlarged cards, never into them.
    void setPrintArea(const std::optional<orvane::PrintCardGeometry>& geometry);
    bool showsPrintArea() const { return m_printArea.has_value(); }

    // How often the enlarged pictures were made (for tests: nothing is made while idle).
    int renderCount() const { return m_renders; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void zoomFollowed(int zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage enlarged(const QImage& card, int drawnScale = 1) const;
    QSize cardSize() const;  // of the larger card, card pixels
    QSize sizeAt(int zoom) const;
    void followTheSpace();
    // Where the cards start, in device pixels: at the gap, or centred when following the space.
    QPoint cardsOrigin() const;
    void paintPrintArea(QPainter& painter) const;

    QImage m_blue;
    QImage m_red;
    CardsAtScale m_drawAt;
    QImage m_blueLarge;
    QImage m_redLarge;
    int m_zoom = 4;
    int m_askedZoom = 4;  // the last zoom set, which the view asks room for
    bool m_grid = false;
    qreal m_ratio = 1.0;  // of the enlarged pictures
    bool m_stale = true;
    bool m_follows = false;
    int m_renders = 0;
    std::optional<orvane::PrintCardGeometry> m_printArea;
};

// View > Zoomed Preview: both cards at 2-8 x, following every composition. As its own window it
// keeps its place, zoom and grid between uses (and runs), closes on Escape, and takes the
// editor's shortcuts (Ctrl+Z ... and Ctrl+1, which closes it again) while it has the focus.
// Docked in the editor's window it grows with it: the zoom follows the space, in whole steps.
class ZoomedPreview : public QWidget {
    Q_OBJECT
public:
    static constexpr int MinZoom = 2;
    static constexpr int MaxZoom = 8;
    static constexpr int MaxDockedZoom = 40;
    static constexpr int DockedStartZoom = 4;

    enum class Kind { Window, Docked };
    explicit ZoomedPreview(QWidget* parent = nullptr, Kind kind = Kind::Window);
    bool isDocked() const { return m_kind == Kind::Docked; }

    // Where it opens: where it was last (when that is still on a screen), else beside `editor`
    // (right, else left, else below), never over it where the screen has room.
    void placeBeside(const QWidget* editor);
    // The commands among `commands` that have shortcuts work here too.
    void takeShortcuts(const QList<QAction*>& commands);
    // The place beside a window `editor` (its frame) on a screen of `available` room for a
    // window of `size` (its frame): right, else left, else below, else above, else centred.
    static QPoint placeBeside(const QRect& editor, const QSize& size, const QRect& available);

    // The largest zoom at which the window fits in `available` (logical pixels), at least 2.
    static int largestFittingZoom(const QSize& available, const QSize& card = QSize(62, 62));

    ZoomedCardsView* view() const { return m_view; }
    QSpinBox* spnZoom = nullptr;
    QCheckBox* chkGrid = nullptr;
    QComboBox* cboPrintArea = nullptr;  // none (the first), or the profile whose lines are shown

public slots:
    void showCards(const QImage& blue, const QImage& red);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void addPrintAreaChoice(QHBoxLayout* controls);
    void printAreaChosen();

    ZoomedCardsView* m_view = nullptr;
    Kind m_kind = Kind::Window;
};
