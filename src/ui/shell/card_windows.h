// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialog.h"

#include <QObject>
#include <QPointer>
#include <QString>

class ExternalPictureEdit;
class Form2;
class QDockWidget;
class QMainWindow;
class ZoomedPreview;

namespace orvane {

class CardDocument;
class Prompts;

// The windows that open around the card shown: the zoomed preview (its own window, or a dock of
// the main window), Export Cards, Play Sheets, Render Deck and Add Card to Deck. Every picture
// they show or write is the card window's own composition.
class CardWindows : public QObject {
    Q_OBJECT
public:
    CardWindows(QMainWindow& window, Form2& form, Prompts& prompts, const QString& partsRoot);
    ~CardWindows() override;

    // View > Zoomed Preview (Ctrl+1): opens the preview, or closes it when it is open.
    void toggleZoomedPreview();
    // Docks the zoomed preview in the main window, or gives it its own window (an open one
    // moves). Kept between runs.
    void dockZoomedPreview(bool docked);
    bool zoomedPreviewIsDocked() const;
    bool zoomedPreviewIsOpen() const;
    void exportCards();
    void playSheets();
    void renderDeck();
    void addCardToDeck();
    // Edit > Edit Main Picture Externally...: the card's picture in the user's image editor, each
    // save there one undoable step of the card shown; Choose Image Editor... picks the program.
    void editPictureExternally();
    void chooseImageEditor();

signals:
    void message(const QString& text);

private:
    void openDockedPreview();
    void showCards();
    QString openSetFolder() const;  // the open set's folder; empty without a set

    QMainWindow& m_window;
    Form2& m_form;
    Prompts& m_prompts;
    QString m_partsRoot;
    QPointer<ZoomedPreview> m_zoomedPreview;
    QPointer<QDockWidget> m_zoomedDock;  // around the preview while it is docked
    Dialog m_deckDialog;                 // Add Card to Deck keeps its own folder and file
    // The external edit of the card shown, made again when another card is shown.
    QPointer<ExternalPictureEdit> m_externalEdit;
    QPointer<CardDocument> m_externalDocument;
};

}  // namespace orvane
