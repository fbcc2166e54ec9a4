// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/placed_controls.h"

#include "widgets/classic_font.h"
#include "widgets/frame_box.h"
#include "widgets/picture_box.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The keyboard focus order of the layout, kept on each control until the chain is built.
constexpr const char* TabIndex = "tabIndex";

}  // namespace

void setTabIndex(QWidget* widget, int tab)
{
    widget->setProperty(TabIndex, tab);
}

QGroupBox* makeFrame(QWidget* parent, const Placed& p)
{
    // A frame keeps its drawn look: a control inside that changes does not draw it again.
    auto* frame = make<FrameBox>(parent, p.name, p.rect, p.tab);
    frame->setTitle(QString::fromLatin1(p.caption));
    frame->setFont(sansSerif(8.25, true));
    return frame;
}

QLabel* makeLabel(QWidget* parent, const Placed& p)
{
    auto* label = make<QLabel>(parent, p.name, p.rect);
    label->setText(QString::fromLatin1(p.caption));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(sansSerif());
    return label;
}

QPushButton* makeButton(QWidget* parent, const Placed& p)
{
    auto* button = make<QPushButton>(parent, p.name, p.rect, p.tab);
    button->setText(QString::fromLatin1(p.caption));
    button->setFont(sansSerif(8.25, true));
    return button;
}

QLabel* makeImage(QWidget* parent, const char* name, const QRect& rect, const QString& resource,
                  bool stretch)
{
    auto* image = make<QLabel>(parent, name, rect);
    image->setPixmap(QPixmap(resource));
    image->setScaledContents(stretch);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return image;
}

void setTabOrderFromLayout(QWidget& window)
{
    std::vector<std::pair<int, QWidget*>> order;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const QVariant tab = w->property(TabIndex);
        if (!tab.isValid())
            continue;
        order.emplace_back(tab.toInt(), w);
        // Frames never take the focus; picture boxes are tab stops, as in the layout, and like
        // every tab stop take the focus on a click as well.
        if (qobject_cast<QGroupBox*>(w))
            w->setFocusPolicy(Qt::NoFocus);
        else if (qobject_cast<PictureBox*>(w))
            w->setFocusPolicy(Qt::StrongFocus);
    }
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1].second, order[i].second);
}
