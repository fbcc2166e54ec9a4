#pragma once

#include "card/card.h"

#include <QObject>
#include <QString>

class Form2;
class QUndoStack;

// The card the main window shows, as data: takes a snapshot of the controls after every user
// change and turns each change into one undo step; puts a card back into the controls for undo,
// redo and opening a card file. Knows the card file the card belongs to and whether the card
// differs from it.
class CardDocument : public QObject {
    Q_OBJECT
public:
    // What a user step changed; steps of the same kind may be merged into one (typing in one box,
    // one drag of a scroll bar).
    enum class Change { Typing, Element, Arrow, Position, MainPicture, Placement, Random };

    static constexpr int UndoLimit = 100;

    explicit CardDocument(Form2& form);

    // Wraps the window's handlers: `watchBefore` runs before the handlers are connected,
    // `watchAfter` after, so a change and everything its handler changes in turn is one step.
    void watchBefore();
    void watchAfter();

    QUndoStack* undoStack() const { return m_stack; }

    // The controls as a card, and a card put into the controls (nothing recorded).
    orvane::Card snapshot() const;
    void apply(const orvane::Card& card);

    // Records the difference between the last step and the controls as a step of `change`.
    void record(Change change, int detail = -1);
    // The next change of a box or a scroll bar starts a step of its own.
    void closeOpenSteps();

    // The main picture as the user gave it (null: none loaded) and where it came from.
    void setMainPicture(const QImage& picture, const QString& path);
    // The source and settings of a prepared main picture (a null source: not prepared).
    const orvane::PicturePreparation& preparation() const { return m_preparation; }
    void setPreparation(const orvane::PicturePreparation& preparation)
    {
        m_preparation = preparation;
    }

    // The card's name: from its card file, else the file's name when first saved.
    QString cardName() const { return m_cardName; }
    void setCardName(const QString& name) { m_cardName = name; }

    QString filePath() const { return m_filePath; }
    // A card that now matches the card file at `path` (opened or saved).
    void markSaved(const QString& path);
    // A card just read from a file: the history starts again.
    void startOver(const QString& path);
    bool isModified() const;

    // For tests: true between the first and last signal of one user change.
    bool changeOpen() const { return m_depth > 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void modifiedChanged(bool modified);
    void filePathChanged(const QString& path);

private:
    void begin();
    void end(Change change, int detail);
    static bool sameEdit(const orvane::Card& a, const orvane::Card& b);

    Form2& m_form;
    QUndoStack* m_stack = nullptr;
    orvane::Card m_committed;  // the card after the last recorded step
    QImage m_mainPicture;
    QString m_mainPicturePath;
    orvane::PicturePreparation m_preparation;
    QString m_cardName;
    QString m_filePath;
    int m_depth = 0;
    bool m_applying = false;
    int m_openTypingBox = -1;  // box whose typing is still one step
    int m_openDragBar = -1;    // scroll bar whose drag is still one step
};
