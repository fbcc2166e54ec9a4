// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/zoomed_preview.h"

#include "files/print_profile.h"
#include "windows/print_area_overlay.h"
#include "render/part_scales.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Room the window needs around the cards: the control row, the margins and the window frame.
constexpr int ControlsHeight = 48;
constexpr int FrameAllowance = 40;

// What the preview keeps between uses and runs.
const QString PlaceKey = QStringLiteral("ZoomedPreview/place");
const QString ZoomKey = QStringLiteral("ZoomedPreview/zoom");
const QString GridKey = QStringLiteral("ZoomedPreview/grid");
constexpr int Spacing = 8;  // between the editor and the preview

}  // namespace

ZoomedCardsView::ZoomedCardsView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("zoomedCards"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

int ZoomedCardsView::devicePixelsPerCardPixel(int zoom, qreal ratio)
{
    return std::max(1, int(std::lround(qreal(zoom) * ratio)));
}

void ZoomedCardsView::setCards(const QImage& blue, const QImage& red)
{
    const bool resized = blue.size() != m_blue.size() || red.size() != m_red.size();
    m_blue = blue;
    m_red = red;
    m_stale = true;
    if (resized) {
        updateGeometry();
        followTheSpace();
    }
    update();
}

void ZoomedCardsView::setCardsAtScale(CardsAtScale draw)
{
    m_drawAt = std::move(draw);
    m_stale = true;
    update();
}

void ZoomedCardsView::setZoom(int zoom)
{
    if (zoom == m_zoom || m_follows)
        return;
    m_zoom = zoom;
    m_askedZoom = zoom;
    m_stale = true;
    updateGeometry();
    update();
}

void ZoomedCardsView::setGrid(bool on)
{
    if (on == m_grid)
        return;
    m_grid = on;
    m_stale = true;
    update();
}

QSize ZoomedCardsView::cardSize() const
{
    return m_blue.size().expandedTo(m_red.size()).expandedTo(QSize(62, 62));
}

namespace {

// Both cards side by side at `pixels` device pixels per card pixel, with the gaps, in device
// pixels.
QSize devicePixelsOfBoth(QSize card, int pixels, qreal ratio)
{
    const int gap = int(std::lround(ZoomedCardsView::Gap * ratio));
    return {2 * card.width() * pixels + 3 * gap, card.height() * pixels + 2 * gap};
}

}  // namespace

QSize ZoomedCardsView::sizeAt(int zoom) const
{
    // Laid out in device pixels (each card pixel a whole square), then rounded up to logical
    // pixels: on a 1.5 ratio screen a 3 x zoom takes 5 device pixels per card pixel, not 4.5.
    const qreal ratio = devicePixelRatioF();
    const QSize both = devicePixelsOfBoth(cardSize(), devicePixelsPerCardPixel(zoom, ratio), ratio);
    return {int(std::ceil(both.width() / ratio)), int(std::ceil(both.height() / ratio))};
}

QSize ZoomedCardsView::sizeHint() const
{
    // Following the space, it asks for the room of the zoom it was given before.
    return sizeAt(m_follows ? m_askedZoom : m_zoom);
}

QSize ZoomedCardsView::minimumSizeHint() const
{
    return m_follows ? sizeAt(1) : sizeHint();
}

int ZoomedCardsView::largestZoomIn(QSize size, QSize card, qreal ratio, int limit)
{
    // Whole device pixels only: the room is what the view's logical size covers, rounded down.
    const QSize room(int(size.width() * ratio), int(size.height() * ratio));
    for (int zoom = limit; zoom > 1; --zoom) {
        const QSize both = devicePixelsOfBoth(card, devicePixelsPerCardPixel(zoom, ratio), ratio);
        if (both.width() <= room.width() && both.height() <= room.height())
            return zoom;
    }
    return 1;
}

void ZoomedCardsView::setFollowsSpace(bool on)
{
    m_follows = on;
    setSizePolicy(on ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                  on ? QSizePolicy::Expanding : QSizePolicy::Fixed);
    updateGeometry();
    followTheSpace();
}

void ZoomedCardsView::resizeEvent(QResizeEvent*)
{
    followTheSpace();
}

void ZoomedCardsView::followTheSpace()
{
    if (!m_follows)
        return;
    const int zoom =
        largestZoomIn(size(), cardSize(), devicePixelRatioF(), ZoomedPreview::MaxDockedZoom);
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    m_stale = true;
    update();
    emit zoomFollowed(zoom);
}

QPoint ZoomedCardsView::cardsOrigin() const
{
    const qreal ratio = devicePixelRatioF();
    const int gap = int(std::lround(Gap * ratio));
    if (!m_follows)
        return {gap, gap};
    const QSize room(int(width() * ratio), int(height() * ratio));
    const QSize both =
        devicePixelsOfBoth(cardSize(), devicePixelsPerCardPixel(m_zoom, ratio), ratio);
    return {gap + std::max(0, (room.width() - both.width()) / 2),
            gap + std::max(0, (room.height() - both.height()) / 2)};
}

QPoint ZoomedCardsView::blueOrigin() const
{
    return cardsOrigin();
}

QPoint ZoomedCardsView::redOrigin() const
{
    const int gap = int(std::lround(Gap * devicePixelRatioF()));
    return cardsOrigin() +
           QPoint(gap + cardSize().width() * devicePixelsPerCardPixel(m_zoom, devicePixelRatioF()),
                  0);
}

QImage ZoomedCardsView::enlarged(const QImage& card, int drawnScale) const
{
    if (card.isNull())
        return {};
    const int n = devicePixelsPerCardPixel(m_zoom, m_ratio);
    // Whole-number enlargement without smoothing: every card pixel becomes an n x n square (a
    // card drawn at a scale has its pixels enlarged by what is left of n).
    const int block = n / drawnScale;
    const QImage source = card.convertToFormat(QImage::Format_RGB32);
    QImage large(source.size() * block, QImage::Format_RGB32);
    for (int y = 0; y < large.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y / block));
        auto* to = reinterpret_cast<QRgb*>(large.scanLine(y));
        for (int x = 0; x < large.width(); ++x)
            to[x] = from[x / block];
    }
    if (m_grid) {
        QPainter painter(&large);
        const QColor line(128, 128, 128, 110);
        for (int x = n; x < large.width(); x += n)
            painter.fillRect(x, 0, 1, large.height(), line);
        for (int y = n; y < large.height(); y += n)
            painter.fillRect(0, y, large.width(), 1, line);
    }
    large.setDevicePixelRatio(m_ratio);
    return large;
}

void ZoomedCardsView::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatioF();
    if (m_stale || ratio != m_ratio) {
        m_ratio = ratio;
        const int drawn = m_drawAt ? orvane::drawnCardScale(devicePixelsPerCardPixel()) : 1;
        const auto cards = drawn > 1 ? m_drawAt(drawn) : std::pair<QImage, QImage>();
        const bool redrawn = !cards.first.isNull() && !cards.second.isNull();
        m_blueLarge = redrawn ? enlarged(cards.first, drawn) : enlarged(m_blue);
        m_redLarge = redrawn ? enlarged(cards.second, drawn) : enlarged(m_red);
        m_stale = false;
        ++m_renders;
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    // Positions in whole device pixels, so no card pixel is split or repeated.
    painter.drawImage(QPointF(blueOrigin()) / ratio, m_blueLarge);
    painter.drawImage(QPointF(redOrigin()) / ratio, m_redLarge);
    paintPrintArea(painter);
}

void ZoomedCardsView::setPrintArea(const std::optional<orvane::PrintCardGeometry>& geometry)
{
    m_printArea = geometry;
    update();  // the enlarged cards stay as they are
}

void ZoomedCardsView::paintPrintArea(QPainter& painter) const
{
    if (!m_printArea)
        return;
    const qreal ratio = devicePixelRatioF();
    const int n = devicePixelsPerCardPixel();
    for (const auto& [origin, card] : {std::pair{blueOrigin(), &m_blue}, {redOrigin(), &m_red}}) {
        if (card->isNull())
            continue;
        const QRectF face(QPointF(origin) / ratio, QSizeF(card->size() * n) / ratio);
        drawPrintAreaLines(painter, printAreaLines(*m_printArea, face));
    }
}

ZoomedPreview::ZoomedPreview(QWidget* parent, Kind kind) : QWidget(parent), m_kind(kind)
{
    setObjectName(QStringLiteral("ZoomedPreview"));
    if (!isDocked())
        setWindowFlags(Qt::Window);
    setWindowTitle(QStringLiteral("Zoomed Preview"));

    auto* zoomLabel = new QLabel(QStringLiteral("&Zoom:"), this);
    spnZoom = new QSpinBox(this);
    spnZoom->setObjectName(QStringLiteral("spnZoom"));
    spnZoom->setRange(MinZoom, MaxZoom);
    spnZoom->setSuffix(QStringLiteral(" ×"));
    zoomLabel->setBuddy(spnZoom);
    chkGrid = new QCheckBox(QStringLiteral("Pixel &grid"), this);
    chkGrid->setObjectName(QStringLiteral("chkGrid"));
    m_view = new ZoomedCardsView(this);

    auto* controls = new QHBoxLayout;
    controls->addWidget(zoomLabel);
    controls->addWidget(spnZoom);
    controls->addSpacing(16);
    controls->addWidget(chkGrid);
    addPrintAreaChoice(controls);
    controls->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    if (isDocked()) {
        layout->addWidget(m_view, 1);  // the zoom follows the room the dock gives
    } else {
        layout->addWidget(m_view, 0, Qt::AlignCenter);
        layout->setSizeConstraint(QLayout::SetFixedSize);  // the window follows the zoom
    }

    const QScreen* screen = this->screen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    const QSettings settings;
    bool kept = false;
    const int keptZoom = settings.value(ZoomKey).toInt(&kept);
    spnZoom->setValue(kept && keptZoom >= MinZoom && keptZoom <= MaxZoom
                          ? keptZoom
                          : largestFittingZoom(available));
    chkGrid->setChecked(settings.value(GridKey, false).toBool());
    m_view->setZoom(spnZoom->value());
    m_view->setGrid(chkGrid->isChecked());
    connect(spnZoom, &QSpinBox::valueChanged, m_view, &ZoomedCardsView::setZoom);
    connect(chkGrid, &QCheckBox::toggled, m_view, &ZoomedCardsView::setGrid);
    connect(spnZoom, &QSpinBox::valueChanged, this,
            [](int zoom) { QSettings().setValue(ZoomKey, zoom); });
    connect(chkGrid, &QCheckBox::toggled, this, [](bool on) { QSettings().setValue(GridKey, on); });
    if (isDocked()) {
        // It opens at the zoom chosen for the window, then follows the space: the box only says
        // which zoom that is.
        spnZoom->setEnabled(false);
        spnZoom->setToolTip(QStringLiteral("Docked, the zoom follows the space the window gives"));
        connect(m_view, &ZoomedCardsView::zoomFollowed, spnZoom, [this](int zoom) {
            const QSignalBlocker quiet(spnZoom);  // not the zoom kept for the window
            spnZoom->setRange(1, MaxDockedZoom);
            spnZoom->setValue(zoom);
        });
        // The dock asks for the room of a zoom that the editor's height holds; the window's
        // zoom, chosen for a whole screen, would widen the editor for nothing.
        m_view->setZoom(std::min(spnZoom->value(), DockedStartZoom));
        m_view->setFollowsSpace(true);
    }
}

QPoint ZoomedPreview::placeBeside(const QRect& editor, const QSize& size, const QRect& available)
{
    const int top = std::clamp(editor.top(), available.top(),
                               std::max(available.top(), available.bottom() + 1 - size.height()));
    const int left = std::clamp(editor.left(), available.left(),
                                std::max(available.left(), available.right() + 1 - size.width()));
    const QPoint candidates[] = {
        {editor.right() + 1 + Spacing, top},             // right
        {editor.left() - Spacing - size.width(), top},   // left
        {left, editor.bottom() + 1 + Spacing},           // below
        {left, editor.top() - Spacing - size.height()},  // above
    };
    for (const QPoint& at : candidates)
        if (available.contains(QRect(at, size)))
            return at;
    return available.topLeft() +
           QPoint((available.width() - size.width()) / 2, (available.height() - size.height()) / 2);
}

void ZoomedPreview::placeBeside(const QWidget* editor)
{
    adjustSize();
    const QPoint kept = QSettings().value(PlaceKey).toPoint();
    if (QSettings().contains(PlaceKey))
        for (const QScreen* screen : QGuiApplication::screens())
            if (screen->availableGeometry().contains(QRect(kept, frameGeometry().size()))) {
                move(kept);
                return;
            }
    const QScreen* screen = editor->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Before it is shown, the frame is not known yet: allow for one like the editor's.
    const QSize frame = size() + (editor->frameGeometry().size() - editor->size());
    move(placeBeside(editor->frameGeometry(), frame, available));
}

void ZoomedPreview::takeShortcuts(const QList<QAction*>& commands)
{
    for (QAction* action : commands)
        if (!action->shortcuts().isEmpty() && !actions().contains(action))
            addAction(action);
}

void ZoomedPreview::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // Docked, the dock around it goes.
        if (isDocked() && parentWidget())
            parentWidget()->close();
        else
            close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ZoomedPreview::closeEvent(QCloseEvent* event)
{
    if (!isDocked())
        QSettings().setValue(PlaceKey, pos());
    QWidget::closeEvent(event);
}

int ZoomedPreview::largestFittingZoom(const QSize& available, const QSize& card)
{
    for (int zoom = MaxZoom; zoom > MinZoom; --zoom) {
        const int width = 2 * card.width() * zoom + 3 * ZoomedCardsView::Gap + FrameAllowance;
        const int height =
            card.height() * zoom + 2 * ZoomedCardsView::Gap + ControlsHeight + FrameAllowance;
        if (width <= available.width() && height <= available.height())
            return zoom;
    }
    return MinZoom;
}

void ZoomedPreview::addPrintAreaChoice(QHBoxLayout* controls)
{
    auto* label = new QLabel(QStringLiteral("Print a&rea:"), this);
    cboPrintArea = new QComboBox(this);
    cboPrintArea->setObjectName(QStringLiteral("cboPrintArea"));
    cboPrintArea->setToolTip(
        QStringLiteral("Lines where a print by the profile is cut (trim), where its bleed ends "
                       "and inside which the picture is safe"));
    cboPrintArea->addItem(QStringLiteral("None"));
    cboPrintArea->addItems(orvane::printProfileNames());
    label->setBuddy(cboPrintArea);
    controls->addSpacing(16);
    controls->addWidget(label);
    controls->addWidget(cboPrintArea);
    connect(cboPrintArea, &QComboBox::currentIndexChanged, this, &ZoomedPreview::printAreaChosen);
}

void ZoomedPreview::printAreaChosen()
{
    QString ignored;  // a profile that cannot be read shows no lines
    const std::optional<orvane::PrintProfile> profile =
        cboPrintArea->currentIndex() > 0
            ? orvane::loadPrintProfile(cboPrintArea->currentText(), &ignored)
            : std::nullopt;
    m_view->setPrintArea(profile ? std::optional(orvane::printCardGeometry(*profile))
                                 : std::nullopt);
}

void ZoomedPreview::showCards(const QImage& blue, const QImage& red)
{
    m_view->setCards(blue, red);
}
