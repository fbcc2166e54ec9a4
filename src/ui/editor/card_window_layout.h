// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The card window's layout as data: each control's object name, caption, rectangle in its
// parent and tab index. The window builds its controls from these tables.
#include "orvane_version.h"
#include "widgets/placed_controls.h"

#include <array>

namespace orvane::cardlayout {

// Placed directly in the window.
inline constexpr Placed frmElem{"frmElem", "Choose An Elemental", {8, 8, 377, 89}, 2};
inline constexpr Placed frmNums{"frmNums", "Enter Your Numbers:", {8, 104, 137, 129}, 3};
inline constexpr Placed frmXY{"frmXY", "Place Your Main Picture (X, Y):", {184, 104, 201, 129}, 40};
inline constexpr Placed frmArrows{"frmArrows", "Arrows:", {8, 240, 105, 137}, 53};
inline constexpr Placed Label6{"Label6", "Main Picture:", {128, 272, 81, 17}, 49};
inline constexpr Placed picMainPic{"picMainPic", "", {136, 296, 66, 66}, 25};
inline constexpr Placed Label4{"Label4", "Finished Product:", {256, 272, 121, 17}, 39};
inline constexpr Placed picBlueBase{"picBlueBase", "", {232, 296, 62, 62}, 23};
inline constexpr Placed picRedBase{"picRedBase", "", {320, 296, 62, 62}, 24};
inline constexpr Placed cmdLoadMain{"cmdLoadMain", "Load Main Picture...", {400, 80, 129, 41}, 0};
inline constexpr Placed cmdAbout{"cmdAbout", "About", {400, 120, 129, 41}, 4};
inline constexpr Placed cmdRandom{"cmdRandom", "Randomize Numbers", {400, 160, 129, 41}, 22};
inline constexpr Placed cmdAdvanced{"cmdAdvanced", "Advanced Settings", {400, 200, 129, 41}, 26};
inline constexpr Placed cmdSaveCards{"cmdSaveCards", "Save Card", {400, 240, 129, 41}, 28};
inline constexpr Placed cmdQuit{"cmdQuit", "Exit Program", {400, 280, 129, 41}, 47};
// Image1's caption is its picture.
inline constexpr Placed Image1{"Image1", ":/builtin/icon.xpm", {440, 8, 48, 48}};
inline constexpr Placed Label5{"Label5", ORVANE_CAPTION_VERSION, {448, 16, 41, 33}, 48};

// Hidden: the export and compose buttons, the frame options, the work surfaces.
inline constexpr Placed cmdCardData{"cmdCardData", "Export Card Data", {400, 280, 129, 41}, 50};
inline constexpr Placed cmdCreate{"cmdCreate", "Create Card", {408, 392, 129, 41}, 27};
inline constexpr Placed frmFrame{"frmFrame", "Choose A Frame:", {16, 16, 369, 73}, 1};
inline constexpr Placed frmDoubleCheck{
    "frmDoubleCheck", "Double-check your choices:", {56, 128, 409, 113}, 29};
inline constexpr Placed picBlueClean{"picBlueClean", "", {64, 504, 62, 62}, 45};
inline constexpr Placed picRedClean{"picRedClean", "", {168, 504, 62, 62}, 46};

// In frmElem: the options, and the icon just right of each caption (None has none).
inline constexpr std::array<Placed, 11> optElem{{
    {"optElem_0", "Fire", {24, 16, 41, 17}, 13},
    {"optElem_1", "Water", {96, 16, 49, 17}, 14},
    {"optElem_2", "Ice", {168, 16, 41, 17}, 15},
    {"optElem_3", "Earth", {232, 16, 49, 17}, 16},
    {"optElem_4", "Wind", {24, 40, 49, 17}, 17},
    {"optElem_5", "Poison", {96, 40, 57, 17}, 18},
    {"optElem_6", "Bolt", {168, 40, 41, 17}, 19},
    {"optElem_7", "Holy", {232, 40, 41, 17}, 20},
    {"optElem_8", "None", {168, 64, 49, 17}, 21},
    {"optElem_9", "Shadow", {24, 64, 65, 17}, 51},
    {"optElem_10", "Trap", {104, 64, 49, 17}, 52},
}};
inline constexpr std::array<QRect, 10> imgElemDemo{{{72, 16, 16, 17},
                                                    {152, 16, 15, 16},
                                                    {208, 15, 16, 16},
                                                    {280, 16, 16, 14},
                                                    {72, 40, 15, 16},
                                                    {152, 40, 13, 14},
                                                    {208, 40, 16, 16},
                                                    {280, 40, 15, 15},
                                                    {88, 64, 14, 14},
                                                    {153, 67, 11, 11}}};

// In frmFrame.
inline constexpr std::array<Placed, 4> optFrame{{
    {"optFrame_0", "Monster Frame", {16, 24, 73, 33}, 9},
    {"optFrame_1", "Boss Frame", {104, 24, 73, 33}, 10},
    {"optFrame_2", "GF    Frame", {184, 24, 73, 33}, 11},
    {"optFrame_3", "Character Frame", {272, 24, 73, 33}, 12},
}};

// In frmNums.
inline constexpr std::array<Placed, 4> txtNums{{
    {"txtNums_0", "A", {56, 24, 25, 33}, 5},
    {"txtNums_1", "A", {24, 56, 25, 33}, 6},
    {"txtNums_2", "A", {88, 56, 25, 33}, 7},
    {"txtNums_3", "A", {56, 88, 25, 33}, 8},
}};

// In frmXY.
inline constexpr Placed scrY{"scrY", "", {16, 16, 17, 105}, 41};
inline constexpr Placed scrX{"scrX", "", {40, 104, 121, 17}, 42};
inline constexpr Placed labXpos{"labXpos", "X: 0", {64, 24, 41, 17}, 43};
inline constexpr Placed labYpos{"labYpos", "Y: 0", {64, 48, 57, 17}, 44};

// In frmArrows: the boxes, and the mark between each and the middle (caption: its picture).
inline constexpr std::array<Placed, 8> chkArrow{{
    {"chkArrow_0", "Check1", {16, 24, 17, 17}, 54},
    {"chkArrow_1", "Check1", {48, 24, 17, 17}, 55},
    {"chkArrow_2", "Check1", {80, 24, 17, 17}, 56},
    {"chkArrow_3", "Check1", {16, 56, 17, 17}, 57},
    {"chkArrow_4", "Check1", {80, 56, 17, 17}, 58},
    {"chkArrow_5", "Check1", {16, 88, 17, 17}, 59},
    {"chkArrow_6", "Check1", {48, 88, 17, 17}, 60},
    {"chkArrow_7", "Check1", {80, 88, 17, 17}, 61},
}};
inline constexpr std::array<Placed, 8> arrowMarks{{
    {"Image3", "diag_ul", {33, 41, 8, 8}},
    {"Image4", "up", {50, 41, 10, 6}},
    {"Image2", "diag_ur", {70, 41, 8, 8}},
    {"Image5", "left", {33, 60, 6, 10}},
    {"Image9", "right", {72, 60, 6, 10}},
    {"Image6", "diag_ll", {33, 80, 8, 8}},
    {"Image7", "down", {50, 81, 10, 6}},
    {"Image8", "diag_lr", {70, 80, 8, 8}},
}};
inline constexpr Placed Label7{"Label7", "Arrows Left = 6", {16, 112, 81, 17}, 70};

// In frmDoubleCheck: the captions and the work surfaces the tick fills with the live parts.
inline constexpr Placed Label1{"Label1", "Frame:", {16, 16, 33, 17}, 36};
inline constexpr Placed Label2{"Label2", "Numbers:", {96, 16, 49, 17}, 37};
inline constexpr Placed Label3{"Label3", "Element:", {160, 16, 49, 17}, 38};
inline constexpr Placed picFinalFrame{"picFinalFrame", "", {16, 40, 66, 66}, 30};
inline constexpr std::array<Placed, 4> picFinalNum{{
    {"picFinalNum_0", "", {120, 48, 13, 13}, 31},
    {"picFinalNum_1", "", {104, 64, 13, 13}, 32},
    {"picFinalNum_2", "", {136, 64, 13, 13}, 33},
    {"picFinalNum_3", "", {120, 80, 13, 13}, 34},
}};
inline constexpr Placed picFinalElem{"picFinalElem", "", {176, 40, 20, 21}, 35};
inline constexpr std::array<Placed, 8> picArrowFinal{{
    {"picArrowFinal_0", "", {168, 80, 9, 9}, 62},
    {"picArrowFinal_1", "", {368, 56, 9, 9}, 63},
    {"picArrowFinal_2", "", {280, 88, 9, 9}, 64},
    {"picArrowFinal_3", "", {312, 48, 9, 9}, 65},
    {"picArrowFinal_4", "", {240, 88, 9, 9}, 66},
    {"picArrowFinal_5", "", {312, 72, 9, 9}, 67},
    {"picArrowFinal_6", "", {256, 72, 9, 9}, 68},
    {"picArrowFinal_7", "", {240, 56, 9, 9}, 69},
}};

}  // namespace orvane::cardlayout
