// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/accessible_names.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QGroupBox>

namespace {

// A picture box is read as a picture ("image"), not as an empty panel.
QAccessibleInterface* pictureBoxInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("PictureBox") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}

// The caption a user sees, without the '&' that marks its shortcut key ("&&" stays one '&').
QString shownCaption(const QWidget& control)
{
    QString caption;
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        caption = button->text();
    else if (const auto* group = qobject_cast<const QGroupBox*>(&control))
        caption = group->title();
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return caption;
}

}  // namespace

void nameControls(QWidget& window, std::span<const AccessibleText> texts)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(pictureBoxInterface);
        return true;
    }();
    (void)factoryInstalled;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const QString objectName = control->objectName();
        const AccessibleText* entry = nullptr;
        for (const AccessibleText& text : texts)
            if (objectName == QLatin1String(text.objectName))
                entry = &text;
        if (entry) {
            control->setAccessibleName(QString::fromUtf8(entry->name));
            if (*entry->description)
                control->setAccessibleDescription(QString::fromUtf8(entry->description));
        } else if (control->accessibleName().isEmpty()) {
            const QString caption = shownCaption(*control);
            if (!caption.isEmpty())
                control->setAccessibleName(caption);
        }
    }
}
