#include "windows/zoomed_preview.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSettings>
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
    if (resized)
        updateGeometry();
    update();
}

void ZoomedCardsView::setZoom(int zoom)
{
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
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

QSize ZoomedCardsView::sizeHint() const
{
    // Laid out in device pixels (each card pixel a whole square), then rounded up to logical
    // pixels: on a 1.5 ratio screen a 3 x zoom takes 5 device pixels per card pixel, not 4.5.
    const qreal ratio = devicePixelRatioF();
    const int gap = int(std::lround(Gap * ratio));
    const QSize card = cardSize() * devicePixelsPerCardPixel(m_zoom, ratio);
    return {int(std::ceil((2 * card.width() + 3 * gap) / ratio)),
            int(std::ceil((card.height() + 2 * gap) / ratio))};
}

QPoint ZoomedCardsView::blueOrigin() const
{
    const int gap = int(std::lround(Gap * devicePixelRatioF()));
    return {gap, gap};
}

QPoint ZoomedCardsView::redOrigin() const
{
    const int gap = int(std::lround(Gap * devicePixelRatioF()));
    return {2 * gap + cardSize().width() * devicePixelsPerCardPixel(m_zoom, devicePixelRatioF()),
            gap};
}

QImage ZoomedCardsView::enlarged(const QImage& card) const
{
    if (card.isNull())
        return {};
    const int n = devicePixelsPerCardPixel(m_zoom, m_ratio);
    // Whole-number enlargement without smoothing: every card pixel becomes an n x n square.
    const QImage source = card.convertToFormat(QImage::Format_RGB32);
    QImage large(source.size() * n, QImage::Format_RGB32);
    for (int y = 0; y < large.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y / n));
        auto* to = reinterpret_cast<QRgb*>(large.scanLine(y));
        for (int x = 0; x < large.width(); ++x)
            to[x] = from[x / n];
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
        m_blueLarge = enlarged(m_blue);
        m_redLarge = enlarged(m_red);
        m_stale = false;
        ++m_renders;
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    // Positions in whole device pixels, so no card pixel is split or repeated.
    painter.drawImage(QPointF(blueOrigin()) / ratio, m_blueLarge);
    painter.drawImage(QPointF(redOrigin()) / ratio, m_redLarge);
}

ZoomedPreview::ZoomedPreview(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZoomedPreview"));
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
    controls->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_view, 0, Qt::AlignCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // the window follows the zoom

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

void ZoomedPreview::takeShortcutsOf(const QWidget* editor)
{
    for (QAction* action : editor->findChildren<QAction*>())
        if (!action->shortcuts().isEmpty() && !actions().contains(action))
            addAction(action);
}

void ZoomedPreview::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ZoomedPreview::closeEvent(QCloseEvent* event)
{
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

void ZoomedPreview::showCards(const QImage& blue, const QImage& red)
{
    m_view->setCards(blue, red);
}
