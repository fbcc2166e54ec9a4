// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QScrollBar>

// A scroll bar that works the keyboard as the layout's platform does and shows when it has the
// focus. Qt's bars run Left and Right backwards (Right lowers the value); here Right and Down
// raise it, Left and Up lower it, on either orientation. A click gives it the focus, and a
// dotted mark inside the thumb shows the focus.
class ScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit ScrollBar(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
