// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/prepare_picture_window.h"

#include "widgets/zoom_view.h"

#include "card/palette_file.h"
#include "card/picture_fit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

using namespace orvane;

namespace {

// The source picture is shown from a copy at most this wide or high: drawing megapixels on every
// repaint would make the window sluggish, and the view is smaller anyway.
constexpr int SourceShownMaxSide = 480;
// After the picture stops moving, the preview is made once more from the full source.
constexpr int ExactDelayMs = 200;

enum ScaleButton { ScaleFit, ScaleFill, ScaleOneToOne, ScalePercent };
enum ColoursItem { ColoursAll, ColoursReduce, ColoursParts, ColoursFile };

}  // namespace

PreparePictureWindow::PreparePictureWindow(const QImage& source, const PictureFit& start,
                                           Composer composer, QWidget* parent)
    : QWidget(parent), m_preview(source), m_composer(std::move(composer)), m_fit(start)
{
    if (m_fit.colours == ColourMode::Palette && m_fit.palette != QLatin1String(PartsPaletteName))
        m_paletteFileFit = m_fit;
    setObjectName(QStringLiteral("PreparePictureWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Prepare Main Picture"));

    m_exactTimer = new QTimer(this);
    m_exactTimer->setSingleShot(true);
    m_exactTimer->setInterval(ExactDelayMs);
    connect(m_exactTimer, &QTimer::timeout, this, [this] { refresh(true); });

    buildControls();
    const QImage& full = m_preview.source();
    const QImage shown = full.width() > SourceShownMaxSide || full.height() > SourceShownMaxSide
                             ? full.scaled(SourceShownMaxSide, SourceShownMaxSide,
                                           Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             : full;
    m_sourceShown = shown.size();
    picSource->setPicture(shown, true);
    showFit();
    connectControls();
    refresh(true);
    picPreviewBlue->setFocus();
}

void PreparePictureWindow::buildControls()
{
    const auto view = [this](const char* name, QSize size) {
        auto* v = new ZoomView(this);
        v->setObjectName(QLatin1String(name));
        v->setFixedSize(size);
        return v;
    };
    const QSize cardSize(PreparedPictureMaxSide * CardZoom, PreparedPictureMaxSide * CardZoom);
    picSource = view("picSource", {320, 248});
    picSource->setCursor(Qt::CrossCursor);
    picSource->setToolTip(QStringLiteral("Click a colour to make it the background"));
    picPreviewBlue = view("picPreviewBlue", cardSize);
    picPreviewRed = view("picPreviewRed", cardSize);
    for (ZoomView* card : {picPreviewBlue, picPreviewRed})
        card->setToolTip(QStringLiteral("Drag the picture, or move it with the arrow keys "
                                        "(Shift: ten pixels)"));

    auto* scale = new QGroupBox(QStringLiteral("Scale"), this);
    auto* scaleLayout = new QGridLayout(scale);
    m_scaleGroup = new QButtonGroup(this);
    const auto option = [&](const char* name, const char* caption, int id) {
        auto* button = new QRadioButton(QLatin1String(caption), scale);
        button->setObjectName(QLatin1String(name));
        m_scaleGroup->addButton(button, id);
        scaleLayout->addWidget(button, id, 0);
        return button;
    };
    optFit = option("optFit", "Fit (whole picture)", ScaleFit);
    optFill = option("optFill", "Fill (card covered)", ScaleFill);
    optOneToOne = option("optOneToOne", "1 : 1", ScaleOneToOne);
    optPercent = option("optPercent", "Percent:", ScalePercent);
    txtPercent = new QDoubleSpinBox(scale);
    txtPercent->setObjectName(QStringLiteral("txtPercent"));
    txtPercent->setRange(MinScalePercent, MaxScalePercent);
    txtPercent->setDecimals(1);
    txtPercent->setSuffix(QStringLiteral(" %"));
    scaleLayout->addWidget(txtPercent, ScalePercent, 1);
    cboResample = new QComboBox(scale);
    cboResample->setObjectName(QStringLiteral("cboResample"));
    cboResample->addItem(QStringLiteral("Smooth (photos)"));
    cboResample->addItem(QStringLiteral("Nearest (pixel art)"));
    scaleLayout->addWidget(new QLabel(QStringLiteral("Resampling:"), scale), 4, 0);
    scaleLayout->addWidget(cboResample, 4, 1);

    auto* background = new QGroupBox(QStringLiteral("Transparent background"), this);
    auto* keyLayout = new QGridLayout(background);
    cboKey = new QComboBox(background);
    cboKey->setObjectName(QStringLiteral("cboKey"));
    cboKey->addItem(QStringLiteral("None"));
    cboKey->addItem(QStringLiteral("Colour picked in the picture"));
    cboKey->addItem(QStringLiteral("From the corners"));
    labKeyColour = new QLabel(background);
    labKeyColour->setObjectName(QStringLiteral("labKeyColour"));
    labKeyColour->setFixedSize(24, 18);
    labKeyColour->setAutoFillBackground(true);
    labKeyColour->setFrameShape(QFrame::Box);
    sldTolerance = new QSlider(Qt::Horizontal, background);
    sldTolerance->setObjectName(QStringLiteral("sldTolerance"));
    sldTolerance->setRange(0, MaxTolerance);
    labTolerance = new QLabel(background);
    labTolerance->setObjectName(QStringLiteral("labTolerance"));
    labTolerance->setMinimumWidth(28);
    chkKeepDark = new QCheckBox(QStringLiteral("Keep dark pixels visible"), background);
    chkKeepDark->setObjectName(QStringLiteral("chkKeepDark"));
    keyLayout->addWidget(cboKey, 0, 0, 1, 2);
    keyLayout->addWidget(labKeyColour, 0, 2);
    keyLayout->addWidget(new QLabel(QStringLiteral("Tolerance:"), background), 1, 0);
    keyLayout->addWidget(sldTolerance, 1, 1);
    keyLayout->addWidget(labTolerance, 1, 2);
    keyLayout->addWidget(chkKeepDark, 2, 0, 1, 3);

    labPan = new QLabel(this);
    labPan->setObjectName(QStringLiteral("labPan"));
    labNote = new QLabel(this);
    labNote->setObjectName(QStringLiteral("labNote"));
    labNote->setWordWrap(true);
    labNote->hide();
    labCoverNote = new QLabel(pictureHidesBothBasesNote(), this);
    labCoverNote->setObjectName(QStringLiteral("labCoverNote"));
    labCoverNote->setWordWrap(true);
    labCoverNote->hide();
    cmdResetPan = new QPushButton(QStringLiteral("Centre"), this);
    cmdResetPan->setObjectName(QStringLiteral("cmdResetPan"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* views = new QHBoxLayout;
    views->addWidget(picSource);
    views->addWidget(picPreviewBlue);
    views->addWidget(picPreviewRed);
    auto* settings = new QHBoxLayout;
    settings->addWidget(scale);
    settings->addWidget(background);
    settings->addWidget(buildColourControls());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(labPan);
    buttons->addWidget(cmdResetPan);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* all = new QVBoxLayout(this);
    all->addLayout(views);
    all->addLayout(settings);
    all->addWidget(labNote);
    all->addWidget(labCoverNote);
    all->addLayout(buttons);
}

QWidget* PreparePictureWindow::buildColourControls()
{
    auto* box = new QGroupBox(QStringLiteral("Colours"), this);
    auto* layout = new QGridLayout(box);
    cboColours = new QComboBox(box);
    cboColours->setObjectName(QStringLiteral("cboColours"));
    cboColours->addItems({QStringLiteral("Keep all"), QStringLiteral("Reduce to"),
                          QStringLiteral("Card parts' colours"), QStringLiteral("Palette file")});
    txtColourCount = new QSpinBox(box);
    txtColourCount->setObjectName(QStringLiteral("txtColourCount"));
    txtColourCount->setRange(MinColours, MaxColours);
    txtColourCount->setSuffix(QStringLiteral(" colours"));
    cmdPaletteFile = new QPushButton(QStringLiteral("Palette File..."), box);
    cmdPaletteFile->setObjectName(QStringLiteral("cmdPaletteFile"));
    labPalette = new QLabel(box);
    labPalette->setObjectName(QStringLiteral("labPalette"));
    labPalette->setWordWrap(true);
    cboDither = new QComboBox(box);
    cboDither->setObjectName(QStringLiteral("cboDither"));
    cboDither->addItems({QStringLiteral("None"), QStringLiteral("Ordered (Bayer 4 × 4)"),
                         QStringLiteral("Error diffusion")});
    sldDitherStrength = new QSlider(Qt::Horizontal, box);
    sldDitherStrength->setObjectName(QStringLiteral("sldDitherStrength"));
    sldDitherStrength->setRange(0, MaxDitherStrength);
    sldDitherStrength->setToolTip(QStringLiteral("Dithering strength"));
    cboOutline = new QComboBox(box);
    cboOutline->setObjectName(QStringLiteral("cboOutline"));
    cboOutline->addItems(
        {QStringLiteral("None"), QStringLiteral("Outside"), QStringLiteral("Inside")});
    txtOutlineColour = new QLineEdit(box);
    txtOutlineColour->setObjectName(QStringLiteral("txtOutlineColour"));
    txtOutlineColour->setMaxLength(7);
    txtOutlineColour->setToolTip(QStringLiteral("The outline's colour, #rrggbb (not #000000: "
                                                "pure black is transparent)"));
    layout->addWidget(cboColours, 0, 0);
    layout->addWidget(txtColourCount, 0, 1);
    layout->addWidget(cmdPaletteFile, 1, 0);
    layout->addWidget(labPalette, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Dithering:"), box), 2, 0);
    layout->addWidget(cboDither, 2, 1);
    layout->addWidget(sldDitherStrength, 3, 1);
    layout->addWidget(new QLabel(QStringLiteral("Outline:"), box), 4, 0);
    layout->addWidget(cboOutline, 4, 1);
    layout->addWidget(txtOutlineColour, 5, 1);
    return box;
}

void PreparePictureWindow::setPartColours(std::vector<QRgb> colours)
{
    m_partColours = std::move(colours);
    if (m_fit.colours == ColourMode::Palette && m_fit.palette == QLatin1String(PartsPaletteName)) {
        m_fit.paletteColours = m_partColours;
        refresh(true);
    }
}

void PreparePictureWindow::setPaletteChooser(PaletteChooser chooser)
{
    m_paletteChooser = std::move(chooser);
}

bool PreparePictureWindow::usePaletteFile(const QString& path)
{
    const PaletteRead read = readPaletteFile(path);
    if (!read.error.isEmpty()) {
        labPalette->setText(read.error);
        labPalette->setToolTip(read.error);
        return false;
    }
    m_fit.colours = ColourMode::Palette;
    m_fit.palette = path;
    m_fit.paletteColours = read.colours;
    m_paletteFileFit = m_fit;
    showFit();
    refresh(false);
    return true;
}

void PreparePictureWindow::showColours()
{
    const bool parts =
        m_fit.colours == ColourMode::Palette && m_fit.palette == QLatin1String(PartsPaletteName);
    int item = ColoursAll;
    if (m_fit.colours == ColourMode::Reduce)
        item = ColoursReduce;
    else if (m_fit.colours == ColourMode::Palette)
        item = parts ? ColoursParts : ColoursFile;
    cboColours->setCurrentIndex(item);
    txtColourCount->setValue(m_fit.colourCount);
    txtColourCount->setEnabled(m_fit.colours == ColourMode::Reduce);
    if (m_fit.colours == ColourMode::Palette) {
        const QString from =
            parts ? QStringLiteral("the card parts") : QFileInfo(m_fit.palette).fileName();
        labPalette->setText(
            QStringLiteral("%1 colours from %2").arg(m_fit.paletteColours.size()).arg(from));
        labPalette->setToolTip(m_fit.palette);
    } else {
        labPalette->clear();
        labPalette->setToolTip({});
    }
    cboDither->setCurrentIndex(int(m_fit.dither));
    cboDither->setEnabled(m_fit.colours != ColourMode::All);
    sldDitherStrength->setValue(m_fit.ditherStrength);
    sldDitherStrength->setEnabled(m_fit.colours != ColourMode::All && m_fit.dither != Dither::None);
    cboOutline->setCurrentIndex(int(m_fit.outline));
    if (!txtOutlineColour->hasFocus() ||
        keyColourText(m_fit.outlineColour) != txtOutlineColour->text().trimmed().toLower())
        txtOutlineColour->setText(keyColourText(m_fit.outlineColour));
    txtOutlineColour->setEnabled(m_fit.outline != Outline::None);
}

void PreparePictureWindow::readColourControls()
{
    switch (cboColours->currentIndex()) {
    case ColoursReduce: m_fit.colours = ColourMode::Reduce; break;
    case ColoursParts:
        m_fit.colours = ColourMode::Palette;
        m_fit.palette = QString::fromLatin1(PartsPaletteName);
        m_fit.paletteColours = m_partColours;
        break;
    case ColoursFile:
        if (m_fit.colours == ColourMode::Palette &&
            m_fit.palette != QLatin1String(PartsPaletteName))
            break;  // the file already in use
        if (m_paletteFileFit.colours == ColourMode::Palette) {
            m_fit.colours = ColourMode::Palette;
            m_fit.palette = m_paletteFileFit.palette;
            m_fit.paletteColours = m_paletteFileFit.paletteColours;
        } else {
            m_fit.colours = ColourMode::All;  // no file yet: chosen with Palette File...
        }
        break;
    default: m_fit.colours = ColourMode::All; break;
    }
    if (m_fit.colours != ColourMode::Palette) {
        m_fit.palette.clear();
        m_fit.paletteColours.clear();
    }
    m_fit.colourCount = txtColourCount->value();
    m_fit.dither = Dither(cboDither->currentIndex());
    m_fit.ditherStrength = sldDitherStrength->value();
    m_fit.outline = Outline(cboOutline->currentIndex());
    // A colour being typed counts once it is whole; pure black is refused (transparent).
    const std::optional<PictureFit> typed =
        parsePictureFit({{QStringLiteral("outline"), QStringLiteral("outside")},
                         {QStringLiteral("outline_colour"), txtOutlineColour->text()}},
                        nullptr);
    if (typed)
        m_fit.outlineColour = typed->outlineColour;
}

void PreparePictureWindow::setNote(const QString& note)
{
    labNote->setText(note);
    labNote->setVisible(!note.isEmpty());
}

void PreparePictureWindow::connectControls()
{
    const auto changed = [this] {
        readControls();
        refresh(false);
    };
    connect(m_scaleGroup, &QButtonGroup::idToggled, this, [changed](int, bool on) {
        if (on)
            changed();
    });
    connect(txtPercent, &QDoubleSpinBox::valueChanged, this, changed);
    connect(cboResample, &QComboBox::currentIndexChanged, this, changed);
    connect(cboKey, &QComboBox::currentIndexChanged, this, changed);
    connect(sldTolerance, &QSlider::valueChanged, this, changed);
    connect(chkKeepDark, &QCheckBox::toggled, this, changed);
    connect(cboColours, &QComboBox::currentIndexChanged, this, [this, changed](int item) {
        if (m_showing)
            return;
        // Palette file with none read yet: ask for one at once.
        if (item == ColoursFile && m_paletteFileFit.colours != ColourMode::Palette &&
            m_paletteChooser) {
            const QString path = m_paletteChooser();
            if (path.isEmpty() || !usePaletteFile(path)) {
                showFit();
                return;
            }
        }
        changed();
    });
    connect(cmdPaletteFile, &QPushButton::clicked, this, [this] {
        if (!m_paletteChooser)
            return;
        const QString path = m_paletteChooser();
        if (!path.isEmpty())
            usePaletteFile(path);
    });
    connect(txtColourCount, &QSpinBox::valueChanged, this, changed);
    connect(cboDither, &QComboBox::currentIndexChanged, this, changed);
    connect(sldDitherStrength, &QSlider::valueChanged, this, changed);
    connect(cboOutline, &QComboBox::currentIndexChanged, this, changed);
    connect(txtOutlineColour, &QLineEdit::textEdited, this, changed);
    connect(cmdResetPan, &QPushButton::clicked, this,
            [this] { movePicture(-m_fit.panX, -m_fit.panY); });
    connect(cmdOK, &QPushButton::clicked, this, &PreparePictureWindow::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &PreparePictureWindow::cmdCancel_Click);
    connect(picSource, &ZoomView::pressed, this, &PreparePictureWindow::pickColour);

    for (ZoomView* card : {picPreviewBlue, picPreviewRed}) {
        connect(card, &ZoomView::pressed, this, [this] {
            m_panAtPress = {m_fit.panX, m_fit.panY};
        });
        connect(card, &ZoomView::dragged, this, [this](QPointF movement) {
            const QPoint to = m_panAtPress + QPoint(int(std::lround(movement.x())),
                                                    int(std::lround(movement.y())));
            movePicture(to.x() - m_fit.panX, to.y() - m_fit.panY);
        });
        connect(card, &ZoomView::released, this, [this] { m_exactTimer->start(); });
        connect(card, &ZoomView::arrowPressed, this, &PreparePictureWindow::movePicture);
    }
}

void PreparePictureWindow::setFit(const PictureFit& fit)
{
    m_fit = fit;
    showFit();
    refresh(true);
}

void PreparePictureWindow::showFit()
{
    m_showing = true;
    switch (m_fit.mode) {
    case FitMode::Fit: optFit->setChecked(true); break;
    case FitMode::Fill: optFill->setChecked(true); break;
    case FitMode::None: optOneToOne->setChecked(true); break;
    case FitMode::Percent: optPercent->setChecked(true); break;
    }
    txtPercent->setValue(m_fit.mode == FitMode::Percent ? m_fit.scalePercent : 100.0);
    txtPercent->setEnabled(m_fit.mode == FitMode::Percent);
    cboResample->setCurrentIndex(m_fit.resample == Resample::Nearest ? 1 : 0);
    cboKey->setCurrentIndex(int(m_fit.key));
    QPalette swatch = labKeyColour->palette();
    swatch.setColor(QPalette::Window, QColor::fromRgb(m_fit.keyColour));
    labKeyColour->setPalette(swatch);
    labKeyColour->setToolTip(keyColourText(m_fit.keyColour));
    labKeyColour->setVisible(m_fit.key == KeyMode::Colour);
    sldTolerance->setValue(m_fit.tolerance);
    sldTolerance->setEnabled(m_fit.key != KeyMode::None);
    labTolerance->setText(QString::number(m_fit.tolerance));
    chkKeepDark->setChecked(m_fit.keepDarkVisible);
    labPan->setText(QStringLiteral("Moved: %1, %2").arg(m_fit.panX).arg(m_fit.panY));
    showColours();
    m_showing = false;
}

void PreparePictureWindow::readControls()
{
    if (m_showing)
        return;
    const FitMode modeBefore = m_fit.mode;
    switch (m_scaleGroup->checkedId()) {
    case ScaleFill: m_fit.mode = FitMode::Fill; break;
    case ScaleOneToOne: m_fit.mode = FitMode::None; break;
    case ScalePercent: m_fit.mode = FitMode::Percent; break;
    default: m_fit.mode = FitMode::Fit; break;
    }
    // A pan made for one size rarely suits another (a 1 : 1 view of a photo's corner is far off
    // the card once fitted): a new sizing mode starts centred.
    if (m_fit.mode != modeBefore)
        m_fit.panX = m_fit.panY = 0;
    m_fit.scalePercent = txtPercent->value();
    m_fit.resample = cboResample->currentIndex() == 1 ? Resample::Nearest : Resample::Smooth;
    m_fit.key = KeyMode(cboKey->currentIndex());
    m_fit.tolerance = sldTolerance->value();
    m_fit.keepDarkVisible = chkKeepDark->isChecked();
    readColourControls();
    showFit();
}

void PreparePictureWindow::pickColour(QPoint at)
{
    const QImage& source = m_preview.source();
    if (m_sourceShown.isEmpty())
        return;
    // The view shows a reduced copy: find the pixel of the full source under the click.
    const int x = int(qint64(at.x()) * source.width() / m_sourceShown.width());
    const int y = int(qint64(at.y()) * source.height() / m_sourceShown.height());
    if (!source.rect().contains(x, y))
        return;
    m_fit.key = KeyMode::Colour;
    m_fit.keyColour = source.pixel(x, y) | 0xFF000000u;
    showFit();
    refresh(false);
}

void PreparePictureWindow::movePicture(int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    m_fit.panX = std::clamp(m_fit.panX + dx, -MaxPan, MaxPan);
    m_fit.panY = std::clamp(m_fit.panY + dy, -MaxPan, MaxPan);
    showFit();
    refresh(false);
}

void PreparePictureWindow::refresh(bool exact)
{
    if (exact) {
        m_exactTimer->stop();
        m_previewPicture = m_preview.finished(m_fit);
    } else {
        m_previewPicture = m_preview.prepared(m_fit);
        const bool moving = picPreviewBlue->dragging() || picPreviewRed->dragging();
        if (!moving)
            m_exactTimer->start();
    }
    showCards(m_previewPicture);
}

void PreparePictureWindow::showCards(const QImage& prepared)
{
    if (!m_composer)
        return;
    const RenderedCard cards = m_composer(prepared);
    picPreviewBlue->setPicture(cards.blue, false);
    picPreviewRed->setPicture(cards.red, false);
    labCoverNote->setVisible(pictureHidesBothBases(cards.blue, cards.red));
}

void PreparePictureWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreparePictureWindow::cmdOK_Click()
{
    const QImage prepared = m_preview.finished(m_fit);
    emit accepted(prepared, m_fit);
    close();
}

void PreparePictureWindow::cmdCancel_Click()
{
    close();
}
