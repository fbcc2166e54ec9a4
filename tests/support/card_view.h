#pragma once

#include "support/form2_fixture.h"

// Everything the user sees of the window's card: its controls, the window's counts and both
// composed cards.
struct CardView {
    QStringList sides;
    int element = -1;
    QList<bool> arrows;
    int x = 0, y = 0;
    orvane::CardPlacement placement;
    qint16 total = 0, arrowsTicked = 0;
    QString arrowsLeft;
    QImage mainPicture, blue, red;
    bool operator==(const CardView&) const = default;
};

// The view after a tick that composes: a window fresh from the start shows the bare bases until
// its first change, so the cards are composed for every comparison.
inline CardView viewOf(Form2Fixture& f)
{
    Module1::NeedsRedraw = true;
    f.tick();
    CardView v;
    for (QLineEdit* box : f->txtNums)
        v.sides << box->text();
    v.element = f->selectedElement();
    for (QCheckBox* box : f->chkArrow)
        v.arrows << box->isChecked();
    v.x = f->scrX->value();
    v.y = f->scrY->value();
    v.placement = Module1::CardPlacement;
    v.total = f->CardTotal;
    v.arrowsTicked = f->currentarrows;
    v.arrowsLeft = f->Label7->text();
    v.mainPicture = f->picMainPic->image().copy();
    v.blue = f->picBlueBase->image().copy();
    v.red = f->picRedBase->image().copy();
    return v;
}
