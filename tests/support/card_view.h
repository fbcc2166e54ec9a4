// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/form2_fixture.h"

// Everything the user sees of the window's card: its controls, the document's counts and both
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

inline CardView viewOf(Form2Fixture& f)
{
    f.tick();
    CardView v;
    for (int i = 0; i < 4; ++i)
        v.sides << f.txtNums(i)->text();
    v.element = f.form->selectedElement();
    for (int i = 0; i < 8; ++i)
        v.arrows << f.chkArrow(i)->isChecked();
    v.x = f.scrX()->value();
    v.y = f.scrY()->value();
    v.placement = f.card().placement;
    v.total = f.total();
    v.arrowsTicked = qint16(f.arrowsTicked());
    v.arrowsLeft = f.Label7()->text();
    v.mainPicture = f.picMainPic()->image().copy();
    v.blue = f.picBlueBase()->image().copy();
    v.red = f.picRedBase()->image().copy();
    return v;
}
