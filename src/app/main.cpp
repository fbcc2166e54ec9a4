// SPDX-License-Identifier: GPL-3.0-or-later
#include "orvane_version.h"
#include "platform/qt_prompts.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

#include <memory>

namespace {

// Asked only for the version or the usage: answered without the window system, so it works
// where there is no display (a terminal over SSH, a packaging script).
bool onlyAsksForText(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-v", "--version", "-h", "--help", "--help-all"})
            if (qstrcmp(argv[i], option) == 0)
                return true;
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    const std::unique_ptr<QCoreApplication> app =
        onlyAsksForText(argc, argv) ? std::make_unique<QCoreApplication>(argc, argv)
                                    : std::make_unique<QApplication>(argc, argv);
    // The organisation names the settings file (recent cards, dialog folders, export choices).
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Card face editor"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A card file to open, a picture to load as the main picture, or a deck "
                       "(.csv) or folder of card files to open as a set (optional)."),
        QStringLiteral("[CARD-FILE|PICTURE|DECK.csv|FOLDER]"));
    parser.process(*app);  // prints and ends for the version and the usage

    orvane::QtPrompts prompts;
    Form2::Services services;
    services.prompts = &prompts;
    // The recovery files of the set and the lone card live in the user's data folder.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    auto* window = new orvane::MainWindow(services, data);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->offerRecovery();
    // A file that cannot be read is said in a message; the editor stays open with a new card.
    if (const QStringList files = parser.positionalArguments(); !files.isEmpty())
        window->openGivenFile(files.constFirst());
    return QApplication::exec();
}
