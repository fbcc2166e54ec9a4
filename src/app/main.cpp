#include "editor/form2.h"
#include "orvane_version.h"
#include "platform/qt_prompts.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The organisation names the settings file (recent cards, dialog folders, export choices).
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Card face editor"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("card"),
                                 QStringLiteral("A card file to open (optional)."),
                                 QStringLiteral("[CARD-FILE]"));
    parser.process(app);

    orvane::QtPrompts prompts;
    Form2::Services services;
    services.prompts = &prompts;
    auto* form = new Form2(services);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    // A card that cannot be read is said in a message; the editor stays open with a new card.
    if (const QStringList cards = parser.positionalArguments(); !cards.isEmpty())
        form->openCardFile(cards.constFirst());
    return QApplication::exec();
}
