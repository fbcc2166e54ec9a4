// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes offered as a card file must end in a card or a refusal, never a
// crash, a hang or an allocation beyond the reader's bounds; a card read writes back to a card.
#include "card/card_file.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const orvane::CardFileRead read = orvane::cardFromJson(bytes, QStringLiteral("fuzz.orvcard"));
    if (read.card.has_value() == !read.error.isEmpty())
        std::abort();  // exactly one of a card and a reason
    if (read.card && !orvane::cardFromJson(orvane::cardToJson(*read.card), {}).card)
        std::abort();  // a card read is a card written
    return 0;
}
