// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/picture_fit.h"
#include "render/card_parts.h"
#include "render/picture_prep.h"

#include <QWidget>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QSpinBox;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;
class ZoomView;

// Prepare Main Picture...: fits a picture of any size to the card. Shows the source picture and
// both finished cards, zoomed, live; the picture is moved by dragging it on a card or with the
// arrow keys (Shift: ten pixels). OK hands out the prepared picture, made from the full source,
// and the settings; Cancel and closing the window change nothing.
class PreparePictureWindow : public QWidget {
    Q_OBJECT
public:
    // Composes the two finished cards around a prepared main picture, as the editor shows them.
    using Composer = std::function<orvane::RenderedCard(const QImage& prepared)>;
    // Asks the user for a palette file; empty when cancelled.
    using PaletteChooser = std::function<QString()>;

    static constexpr int CardZoom = 4;

    PreparePictureWindow(const QImage& source, const orvane::PictureFit& start, Composer composer,
                         QWidget* parent = nullptr);

    orvane::PictureFit fit() const { return m_fit; }
    // Puts `fit` into the controls and the preview.
    void setFit(const orvane::PictureFit& fit);
    // A line above the buttons saying what OK does beside preparing (empty: none).
    void setNote(const QString& note);
    // The colours "Card parts' colours" maps to (those of the parts the editor shows).
    void setPartColours(std::vector<QRgb> colours);
    void setPaletteChooser(PaletteChooser chooser);
    // Reads the palette file at `path` into the settings; a bad file is named in labPalette
    // and changes nothing. False then.
    bool usePaletteFile(const QString& path);
    // The prepared picture the preview shows (made from the reduced copy while it moves).
    const QImage& previewPicture() const { return m_previewPicture; }

    ZoomView* picSource = nullptr;
    ZoomView* picPreviewBlue = nullptr;
    ZoomView* picPreviewRed = nullptr;
    QRadioButton* optFit = nullptr;
    QRadioButton* optFill = nullptr;
    QRadioButton* optOneToOne = nullptr;
    QRadioButton* optPercent = nullptr;
    QDoubleSpinBox* txtPercent = nullptr;
    QComboBox* cboResample = nullptr;
    QComboBox* cboKey = nullptr;
    QLabel* labKeyColour = nullptr;
    QSlider* sldTolerance = nullptr;
    QLabel* labTolerance = nullptr;
    QCheckBox* chkKeepDark = nullptr;
    QComboBox* cboColours = nullptr;  // Keep all, Reduce, Card parts' colours, Palette file
    QSpinBox* txtColourCount = nullptr;
    QPushButton* cmdPaletteFile = nullptr;
    QLabel* labPalette = nullptr;
    QComboBox* cboDither = nullptr;
    QSlider* sldDitherStrength = nullptr;
    QComboBox* cboOutline = nullptr;
    QLineEdit* txtOutlineColour = nullptr;
    QLabel* labPan = nullptr;
    QLabel* labNote = nullptr;
    QLabel* labCoverNote = nullptr;  // shown while the picture hides both bases
    QPushButton* cmdResetPan = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

public slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    // Moves the picture by (dx, dy) card pixels.
    void movePicture(int dx, int dy);

signals:
    // OK: the picture for the main picture box and the settings it was made with.
    void accepted(const QImage& prepared, const orvane::PictureFit& fit);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    QWidget* buildColourControls();
    void showColours();
    void readColourControls();
    void connectControls();
    void readControls();
    void showFit();
    void pickColour(QPoint at);
    void refresh(bool exact);
    void showCards(const QImage& prepared);

    orvane::PicturePreview m_preview;
    Composer m_composer;
    orvane::PictureFit m_fit;
    QImage m_previewPicture;
    QPoint m_panAtPress;
    QSize m_sourceShown;     // the size the source picture is shown at (its thumbnail)
    bool m_showing = false;  // putting settings into the controls: no reading back
    QButtonGroup* m_scaleGroup = nullptr;
    QTimer* m_exactTimer = nullptr;
    std::vector<QRgb> m_partColours;
    PaletteChooser m_paletteChooser;
    orvane::PictureFit m_paletteFileFit;  // the last palette file read, kept while switching
};
