#include "editor/form2.h"
#include "platform/qt_prompts.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral("4.0"));

    orvane::QtPrompts prompts;
    Form2::Services services;
    services.prompts = &prompts;
    auto* form = new Form2(services);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    return QApplication::exec();
}
