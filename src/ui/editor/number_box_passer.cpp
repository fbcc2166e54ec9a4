// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/number_box_passer.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

QString firstLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

namespace {

bool passesOn(QObject* watched, QEvent* event)
{
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return false;
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
        key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y))
        return true;
    if (key->matches(QKeySequence::Copy))
        return !box->hasSelectedText();
    if (key->matches(QKeySequence::Paste)) {
        const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
        return clip && clip->hasImage() && !clip->hasText();
    }
    return false;
}

}  // namespace

NumberBoxPasser::NumberBoxPasser(QObject* parent, std::function<void()> boxLeft)
    : QObject(parent), m_boxLeft(std::move(boxLeft))
{
}

bool NumberBoxPasser::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        m_boxLeft();
    if (event->type() == QEvent::DragEnter &&
        !firstLocalFile(static_cast<QDragEnterEvent*>(event)->mimeData()).isEmpty()) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride && passesOn(watched, event)) {
        event->ignore();  // not taken by the box: the window's shortcut runs
        return true;
    }
    return QObject::eventFilter(watched, event);
}
