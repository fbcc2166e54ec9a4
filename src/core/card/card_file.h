#pragma once

#include "card/card.h"

#include <QString>

#include <optional>

namespace orvane {

// A card file: one card whole, as JSON text with a format version; the main picture's pixels are
// kept inside (PNG, base64), its original path for information only.
inline constexpr int CardFileVersion = 1;
inline constexpr const char* CardFileSuffix = "orvcard";

struct CardFileRead {
    std::optional<Card> card;  // set only when the whole file was understood
    QString error;             // names the file and what is wrong
};

CardFileRead readCardFile(const QString& path);
// Atomic: a temporary file replaces the target only when complete.
bool writeCardFile(const Card& card, const QString& path, QString* error);

QByteArray cardToJson(const Card& card);
CardFileRead cardFromJson(const QByteArray& json, const QString& pathForMessages);

}  // namespace orvane
