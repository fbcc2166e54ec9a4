// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes offered as a deck (any encoding, separator or size of cell) must
// end in rows, problems and warnings, never a crash or a hang; every problem names a line and
// stays a short message.
#include "card/deck_file.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const orvane::Deck deck = orvane::readDeckText(bytes, QStringLiteral("/nowhere/fuzz.csv"));
    for (const orvane::DeckProblem& problem : deck.problems)
        if (problem.line < 0 || problem.text().size() > 1000)
            std::abort();
    // Text written back in the form it was read in reads the same.
    const orvane::DecodedDeckText decoded = orvane::decodeDeckBytes(bytes);
    if (decoded.form.encoding != orvane::DeckEncoding::Windows1252 &&
        orvane::decodeDeckBytes(orvane::encodeDeckText(decoded.utf8, decoded.form)).utf8 !=
            decoded.utf8)
        std::abort();
    return 0;
}
