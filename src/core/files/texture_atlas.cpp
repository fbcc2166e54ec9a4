// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/texture_atlas.h"

#include "files/edge_pixels.h"
#include "orvane_version.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSet>

#include <cmath>

namespace orvane {

AtlasLayout layOutAtlas(int count, int side, int padding, int extrude)
{
    AtlasLayout layout;
    if (count <= 0 || side <= 0)
        return layout;
    layout.columns = int(std::ceil(std::sqrt(double(count))));
    layout.rows = (count + layout.columns - 1) / layout.columns;
    const qint64 cell = side + 2LL * extrude;
    const qint64 width = layout.columns * cell + (layout.columns - 1LL) * padding;
    const qint64 height = layout.rows * cell + (layout.rows - 1LL) * padding;
    layout.size =
        QSize(int(std::min<qint64>(width, INT_MAX)), int(std::min<qint64>(height, INT_MAX)));
    for (int k = 0; k < count; ++k) {
        const int x = int((k % layout.columns) * (cell + padding) + extrude);
        const int y = int((k / layout.columns) * (cell + padding) + extrude);
        layout.frames.append(QRect(x, y, side, side));
    }
    return layout;
}

QImage composeAtlas(const QList<QImage>& pictures, const AtlasLayout& layout, int extrude)
{
    QImage atlas(layout.size, QImage::Format_ARGB32);
    atlas.fill(Qt::transparent);
    QPainter painter(&atlas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (qsizetype k = 0; k < pictures.size() && k < layout.frames.size(); ++k) {
        const QPoint at = layout.frames[k].topLeft() - QPoint(extrude, extrude);
        painter.drawImage(at, extendEdges(pictures[k], extrude));
    }
    return atlas;
}

QByteArray atlasIndex(const AtlasLayout& layout, const QStringList& names, const QString& imageName,
                      int scale)
{
    QJsonObject frames;
    for (qsizetype k = 0; k < layout.frames.size() && k < names.size(); ++k) {
        const QRect& r = layout.frames[k];
        const QJsonObject size{{QStringLiteral("w"), r.width()}, {QStringLiteral("h"), r.height()}};
        frames.insert(names[k], QJsonObject{{QStringLiteral("frame"),
                                             QJsonObject{{QStringLiteral("x"), r.x()},
                                                         {QStringLiteral("y"), r.y()},
                                                         {QStringLiteral("w"), r.width()},
                                                         {QStringLiteral("h"), r.height()}}},
                                            {QStringLiteral("rotated"), false},
                                            {QStringLiteral("trimmed"), false},
                                            {QStringLiteral("spriteSourceSize"),
                                             QJsonObject{{QStringLiteral("x"), 0},
                                                         {QStringLiteral("y"), 0},
                                                         {QStringLiteral("w"), r.width()},
                                                         {QStringLiteral("h"), r.height()}}},
                                            {QStringLiteral("sourceSize"), size}});
    }
    const QJsonObject meta{
        {QStringLiteral("app"), QStringLiteral("orvane-render")},
        {QStringLiteral("version"), QStringLiteral(ORVANE_VERSION)},
        {QStringLiteral("image"), imageName},
        {QStringLiteral("format"), QStringLiteral("RGBA8888")},
        {QStringLiteral("size"), QJsonObject{{QStringLiteral("w"), layout.size.width()},
                                             {QStringLiteral("h"), layout.size.height()}}},
        {QStringLiteral("scale"), QString::number(scale)}};
    return QJsonDocument(
               QJsonObject{{QStringLiteral("frames"), frames}, {QStringLiteral("meta"), meta}})
        .toJson(QJsonDocument::Indented);
}

QStringList uniqueNames(const QStringList& names)
{
    QSet<QString> taken;
    QStringList unique;
    for (const QString& name : names) {
        QString candidate = name;
        for (int n = 2; taken.contains(candidate); ++n)
            candidate = QStringLiteral("%1-%2").arg(name).arg(n);
        taken.insert(candidate);
        unique.append(candidate);
    }
    return unique;
}

}  // namespace orvane
