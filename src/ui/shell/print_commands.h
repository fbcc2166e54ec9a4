// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class Form2;
class QMainWindow;

namespace orvane {

class Prompts;
class Session;
class SetPanel;

// File > Print...: the card shown, or with a set open its selected cards (all of them when one
// or none is selected), printed by a print profile in the Print window. File > Print
// Calibration Page...: the calibration page of a sheet profile and what the printed page
// measured, in Printer Calibration.
class PrintCommands : public QObject {
    Q_OBJECT
public:
    PrintCommands(QMainWindow& window, Session& session, SetPanel& panel, Form2& form,
                  Prompts& prompts, const QString& partsRoot);

    void print();
    void calibrate();

private:
    // Where the print starts: the set's folder, the card file's, else the home folder.
    QString startFolder() const;

    QMainWindow& m_window;
    Session& m_session;
    SetPanel& m_panel;
    Form2& m_form;
    Prompts& m_prompts;
    QString m_partsRoot;
};

}  // namespace orvane
