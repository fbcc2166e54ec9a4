// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QMimeData;

// The first local file of a drag or a clipboard, or nothing.
QString firstLocalFile(const QMimeData* data);

// The number boxes pass on to the main window what they have no use for: a drag of a file goes
// up to the first parent that takes it, so a file dropped anywhere loads as a picture or opens as
// a card; Copy with no text selected copies the blue card, and Paste of a picture with no text on
// the clipboard pastes the main picture.
//
// Undo and redo in a number box are the card's, not the box's own text history; leaving a box
// ends its typing step (`boxLeft`).
class NumberBoxPasser : public QObject {
public:
    NumberBoxPasser(QObject* parent, std::function<void()> boxLeft);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_boxLeft;
};
