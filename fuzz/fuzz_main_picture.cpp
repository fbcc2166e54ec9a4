// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes offered as a main picture must end in a picture or a refusal,
// never a crash, a hang or an allocation beyond the limits.
#include "files/main_picture.h"

#include <QBuffer>
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
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const orvane::LoadedPicture loaded = orvane::readMainPicture(buffer);
    if (loaded.image.isNull() == loaded.error.isEmpty())
        std::abort();  // exactly one of a picture and a reason
    return 0;
}
