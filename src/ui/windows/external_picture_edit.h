// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/deck_watcher.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace orvane {
class CardDocument;
class Prompts;
}  // namespace orvane

// Edit Main Picture Externally...: opens the card's main picture in another program and follows
// the file, so that each save there reaches the card at once, as one undoable step.
//
// The file opened is the picture's own file when it still exists (a prepared picture is made
// again from the new source with its kept settings), else a PNG of the card's 62 x 62 picture
// written to a folder of this object's own (its new pixels become the card's picture as they
// are). The program is the one the user chose (kept in the settings) or else the desktop's
// image editor for the file. A program that is missing or fails to start is named in one
// message and the card is unchanged; a save caught half-written is waited for (the deck
// watcher's rule); a save that is no picture is reported once, the card unchanged.
class ExternalPictureEdit : public QObject {
    Q_OBJECT
public:
    // Starts `program` (empty: the desktop's application for the file) on `file`; false with
    // `error` when it cannot be started. Replaceable for tests.
    using Launcher =
        std::function<bool(const QString& program, const QString& file, QString* error)>;

    ExternalPictureEdit(orvane::CardDocument* document, orvane::Prompts* prompts,
                        QObject* parent = nullptr);
    ~ExternalPictureEdit() override;

    // The program chosen once, kept in the settings (empty: the desktop's image editor).
    static QString program();
    static void setProgram(const QString& path);
    // Asks for the program through the prompts' open dialog and keeps it; false when cancelled.
    bool chooseProgram();

    void setLauncher(Launcher launcher) { m_launcher = std::move(launcher); }
    // Opens the card's picture and follows it. False (after one message) when there is no
    // picture, the PNG cannot be written, or the program does not start.
    bool start();
    // The file being followed (empty before start()).
    QString file() const { return m_file; }

signals:
    // The card took the file's new pixels.
    void pictureTaken();

private:
    void take(const QStringList& files);
    static bool launch(const QString& program, const QString& file, QString* error);

    QPointer<orvane::CardDocument> m_document;
    orvane::Prompts* m_prompts = nullptr;
    Launcher m_launcher;
    orvane::DeckWatcher m_watcher;
    std::unique_ptr<QTemporaryDir> m_folder;  // holds the PNG when there is no file
    QString m_file;
    bool m_ownFile = false;  // the PNG of the card's picture, not the user's file
    QString m_lastProblem;   // reported once until the file reads again
};
