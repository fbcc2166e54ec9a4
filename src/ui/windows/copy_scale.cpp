// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/copy_scale.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QSettings>

#include <algorithm>
#include <iterator>

namespace orvane {
namespace {

const QString CopyScaleKey = QStringLiteral("Copy/scale");
const char* const PlainCaption = "orvanePlainCaption";

bool isCopyScale(int scale)
{
    return std::find(std::begin(CopyScales), std::end(CopyScales), scale) != std::end(CopyScales);
}

void showScale(const QList<QAction*>& copyActions)
{
    for (QAction* action : copyActions)
        action->setText(QStringLiteral("%1 (%2 ×)")
                            .arg(action->property(PlainCaption).toString())
                            .arg(copyScale()));
}

}  // namespace

int copyScale()
{
    bool ok = false;
    const int scale = QSettings().value(CopyScaleKey, 1).toInt(&ok);
    return ok && isCopyScale(scale) ? scale : 1;
}

void setCopyScale(int scale)
{
    if (isCopyScale(scale))
        QSettings().setValue(CopyScaleKey, scale);
}

QMenu* addCopyScaleMenu(QMenu* edit, QAction* before, const QList<QAction*>& copyActions)
{
    auto* menu = new QMenu(QStringLiteral("Copy &Scale"), edit);
    menu->setObjectName(QStringLiteral("menuCopyScale"));
    menu->menuAction()->setObjectName(QStringLiteral("actCopyScale"));
    edit->insertMenu(before, menu);
    auto* group = new QActionGroup(menu);
    for (const int scale : CopyScales) {
        // Mnemonics: 1, 2, 4, 8 and the 6 of 16.
        const QString caption =
            scale == 16 ? QStringLiteral("1&6 ×") : QStringLiteral("&%1 ×").arg(scale);
        QAction* choice = menu->addAction(caption);
        choice->setObjectName(QStringLiteral("actCopyScale%1").arg(scale));
        choice->setCheckable(true);
        choice->setData(scale);
        group->addAction(choice);
    }
    for (QAction* action : copyActions)
        action->setProperty(PlainCaption, action->text());
    const auto refresh = [group, copyActions] {
        for (QAction* choice : group->actions())
            choice->setChecked(choice->data().toInt() == copyScale());
        showScale(copyActions);
    };
    QObject::connect(group, &QActionGroup::triggered, menu, [refresh](QAction* choice) {
        setCopyScale(choice->data().toInt());
        refresh();
    });
    // Another window of the program may have changed it.
    QObject::connect(edit, &QMenu::aboutToShow, menu, refresh);
    refresh();
    return menu;
}

}  // namespace orvane
