#pragma once

#include <QImage>
#include <QWidget>

class QCheckBox;
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
    void setZoom(int zoom);
    void setGrid(bool on);
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
    // How often the enlarged pictures were made (for tests: nothing is made while idle).
    int renderCount() const { return m_renders; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage enlarged(const QImage& card) const;
    QSize cardSize() const;  // of the larger card, card pixels

    QImage m_blue;
    QImage m_red;
    QImage m_blueLarge;
    QImage m_redLarge;
    int m_zoom = 4;
    bool m_grid = false;
    qreal m_ratio = 1.0;  // of the enlarged pictures
    bool m_stale = true;
    int m_renders = 0;
};

// View > Zoomed Preview: both cards at 2-8 x, following every composition.
class ZoomedPreview : public QWidget {
    Q_OBJECT
public:
    static constexpr int MinZoom = 2;
    static constexpr int MaxZoom = 8;

    explicit ZoomedPreview(QWidget* parent = nullptr);

    // The largest zoom at which the window fits in `available` (logical pixels), at least 2.
    static int largestFittingZoom(const QSize& available, const QSize& card = QSize(62, 62));

    ZoomedCardsView* view() const { return m_view; }
    QSpinBox* spnZoom = nullptr;
    QCheckBox* chkGrid = nullptr;

public slots:
    void showCards(const QImage& blue, const QImage& red);

private:
    ZoomedCardsView* m_view = nullptr;
};
