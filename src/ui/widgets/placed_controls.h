// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;

// One control of a fixed layout: its object name, caption, place in its parent and tab index
// (-1: no tab stop of its own).
struct Placed {
    const char* name;
    const char* caption;
    QRect rect;
    int tab = -1;
};

// Keeps `tab` on `widget` as its place in the keyboard focus order, until setTabOrderFromLayout.
void setTabIndex(QWidget* widget, int tab);

// A control of kind W, named and placed in `parent`, with its tab index kept.
template <typename W> W* make(QWidget* parent, const char* name, const QRect& rect, int tab = -1)
{
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(rect);
    if (tab >= 0)
        setTabIndex(widget, tab);
    return widget;
}

// A frame with a bold caption that keeps its drawn look.
QGroupBox* makeFrame(QWidget* parent, const Placed& p);
// A label in the regular font, its text at the upper left; never a tab stop.
QLabel* makeLabel(QWidget* parent, const Placed& p);
// A button with a bold caption.
QPushButton* makeButton(QWidget* parent, const Placed& p);
// A picture from `resource` at the upper left, stretched to the rectangle when `stretch`.
QLabel* makeImage(QWidget* parent, const char* name, const QRect& rect, const QString& resource,
                  bool stretch);

// Chains the focus of every control inside `window` that has a tab index, in the order of the
// indices. Frames never take the focus; picture boxes become tab stops that take it on a click.
void setTabOrderFromLayout(QWidget& window);
