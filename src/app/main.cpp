#include "editor/form2.h"
#include "files/file_kind.h"
#include "orvane_version.h"
#include "platform/qt_prompts.h"
#include "set/set_host.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

namespace {

// A file given on the command line (or by the desktop entry): a card file opens, a picture
// loads as Load Main Picture... would, anything else is answered with what was expected.
void openGivenFile(Form2& form, orvane::SetHost& sets, orvane::Prompts& prompts,
                   const QString& path)
{
    // A deck or a folder of card files opens as a set; a file that begins like a card file
    // (JSON) is one, whatever its name, and its reader says what is wrong with it.
    using orvane::FileKind;
    const FileKind kind = orvane::fileKindOf(path);
    const QFileInfo info(path);
    if (kind != FileKind::CardFile &&
        (info.isDir() || info.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)) {
        sets.openSet(path);
        return;
    }
    switch (kind) {
    case FileKind::Picture: form.loadMainPictureFile(path); return;
    case FileKind::CardFile:
    case FileKind::NotAFile:  // said by the card file reader, with the reason
        form.openCardFile(path);
        return;
    case FileKind::Other: break;
    }
    prompts.messageBox(QStringLiteral("%1 is neither a card file nor a picture.\n\nOrvane opens a "
                                      "card file (.orvcard) or loads a BMP, GIF, JPEG or PNG "
                                      "picture as the main picture.")
                           .arg(QDir::toNativeSeparators(path)),
                       orvane::Exclamation, QStringLiteral("Orvane"));
}

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
    auto* form = new Form2(services);
    form->setAttribute(Qt::WA_DeleteOnClose);
    // The set of cards around the editor, its recovery file in the user's data folder.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    auto* sets = new orvane::SetHost(*form, prompts, QCoreApplication::applicationDirPath(),
                                     QDir(data).filePath(QStringLiteral("set-recovery.json")));
    form->show();
    sets->offerRecovery();
    // A file that cannot be read is said in a message; the editor stays open with a new card.
    if (const QStringList files = parser.positionalArguments(); !files.isEmpty())
        openGivenFile(*form, *sets, prompts, files.constFirst());
    return QApplication::exec();
}
