#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class Form2;
class QComboBox;
class QMenuBar;
class QToolBar;

namespace orvane {

class PackChooser;
class Prompts;

// The main window's part packs: the Parts menu, the Parts choice in the card's name bar, and
// the card window drawn with the chosen pack.
class PackCommands : public QObject {
    Q_OBJECT
public:
    // `assetRoot` is the folder holding the built-in gfx/.
    PackCommands(Form2& form, Prompts& prompts, const QString& assetRoot, QObject* parent);

    // Where packs are looked for: installed for the user, and with the program.
    static QString userFolder();
    static QStringList sharedFolders();

    PackChooser& chooser() { return *m_chooser; }
    void addMenu(QMenuBar& bar);
    void addChoice(QToolBar& bar);

signals:
    void message(const QString& text);

private:
    void packChosen(const QString& name, const QString& folder);

    Form2& m_form;
    PackChooser* m_chooser = nullptr;
    QComboBox* m_choice = nullptr;
};

}  // namespace orvane
