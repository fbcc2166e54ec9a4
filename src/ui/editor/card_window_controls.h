// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <array>

class PictureBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QWidget;

// The card window's controls, named as the layout names them (tests and tools find each by its
// object name). The hidden ones are the export and compose buttons, the frame options and the
// work surfaces in frmDoubleCheck that show each live part.
struct CardWindowControls {
    // Placed directly in the window.
    QGroupBox* frmElem = nullptr;
    QGroupBox* frmNums = nullptr;
    QGroupBox* frmXY = nullptr;
    QGroupBox* frmArrows = nullptr;
    QGroupBox* frmFrame = nullptr;
    QGroupBox* frmDoubleCheck = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Image1 = nullptr;
    PictureBox* picMainPic = nullptr;
    PictureBox* picBlueBase = nullptr;
    PictureBox* picRedBase = nullptr;
    PictureBox* picBlueClean = nullptr;
    PictureBox* picRedClean = nullptr;
    QPushButton* cmdLoadMain = nullptr;
    QPushButton* cmdAbout = nullptr;
    QPushButton* cmdRandom = nullptr;
    QPushButton* cmdAdvanced = nullptr;
    QPushButton* cmdSaveCards = nullptr;
    QPushButton* cmdQuit = nullptr;
    QPushButton* cmdCardData = nullptr;
    QPushButton* cmdCreate = nullptr;

    // Inside the frames.
    std::array<QRadioButton*, 11> optElem{};
    std::array<QLabel*, 10> imgElemDemo{};
    std::array<QRadioButton*, 4> optFrame{};
    std::array<QLineEdit*, 4> txtNums{};
    QScrollBar* scrX = nullptr;
    QScrollBar* scrY = nullptr;
    QLabel* labXpos = nullptr;
    QLabel* labYpos = nullptr;
    std::array<QCheckBox*, 8> chkArrow{};
    std::array<QLabel*, 8> arrowMarks{};  // Image3, Image4, Image2, Image5, Image9, ... Image8
    QLabel* Label7 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    PictureBox* picFinalFrame = nullptr;
    PictureBox* picFinalElem = nullptr;
    std::array<PictureBox*, 4> picFinalNum{};
    std::array<PictureBox*, 8> picArrowFinal{};

    // Gives `window` the layout's font and colour and builds every control inside it with its
    // caption, place, font, start value and tab order; the focus starts on the first tab stop.
    void buildControls(QWidget& window);

private:
    void buildWorkSurfaces();
};
