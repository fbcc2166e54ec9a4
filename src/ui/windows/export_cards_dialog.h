// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/card_export.h"
#include "platform/prompts.h"
#include "render/card_parts.h"

#include <QDialog>
#include <QImage>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// File > Export Cards...: both colours in one go. Folder, base name, format, scale and which
// colours; the file names are shown while they are chosen, files already there are named in one
// question before anything is replaced, and the pictures are encoded by the same code as
// orvane-render's. The choices are kept for the next time (QSettings group "Export"; the
// clipboard copies at the scale kept as "Export/scale").
class ExportCardsDialog : public QDialog {
    Q_OBJECT
public:
    enum Colours { BlueAndRed = 0, BlueOnly = 1, RedOnly = 2 };

    // `blue` and `red` are the cards as composed; `baseName` (the card's name) is offered as
    // the base name, else the last one used.
    ExportCardsDialog(orvane::Prompts& prompts, const QImage& blue, const QImage& red,
                      const QString& baseName, QWidget* parent = nullptr,
                      const QString& startFolder = {});
    // The cards kept with their pack's parts (part_scales.h): at a scale above 1 they are drawn
    // again with the pack's larger parts instead of enlarged.
    void drawLargerWith(const orvane::RenderedCard& card) { m_card = card; }

    QLineEdit* txtFolder = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLineEdit* txtBaseName = nullptr;
    QComboBox* cboFormat = nullptr;  // PNG, JPEG, BMP
    QSpinBox* spnScale = nullptr;    // 1..16
    QComboBox* cboColours = nullptr;
    QLabel* labFiles = nullptr;  // the files that will be written
    QPushButton* cmdExport = nullptr;

    orvane::ExportFormat format() const;
    // The files Export writes with the current choices, full paths.
    QStringList plannedFiles() const;

public slots:
    // Writes the files; closes the dialog when all were written.
    bool exportCards();

signals:
    // After a successful export, what the status line says.
    void exported(const QString& summary);

private:
    struct Planned {
        QString path;
        orvane::CardColour colour;
    };
    QList<Planned> plan() const;
    void browse();
    void showPlannedFiles();
    QString safeBaseName() const;
    void warn(const QString& text);
    void saveChoices() const;

    orvane::Prompts& m_prompts;
    QImage m_blue;
    QImage m_red;
    orvane::RenderedCard m_card;
};
