// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/form3.h"
#include "widgets/builtin_pictures.h"

#include <QMouseEvent>
#include <QPainter>

Form3::Form3(QWidget* parent) : QWidget(parent)
{
    ensureBuiltinPictures();
    m_picture = QImage(QStringLiteral(":/builtin/form3.xpm"));
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(320, 74);
}

void Form3::Form_Click()
{
    close();
}

void Form3::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);  // its last row and column fall outside the window
}

void Form3::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Form_Click();
}
