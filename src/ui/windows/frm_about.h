// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/program_starter.h"
#include "platform/prompts.h"
#include "platform/registry.h"

#include <QDialog>

class PictureBox;
class QLabel;
class QPushButton;

// About: name, version, description, notices; a system-information button and, behind seven
// clicks on the picture, the picture window.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // registry and starter default to the system's.
    frmAbout(orvane::Prompts& prompts, orvane::Registry* registry = nullptr,
             orvane::ProgramStarter* starter = nullptr, QWidget* parent = nullptr);

    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    PictureBox* picIcon = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;

    qint16 clickcount() const { return m_clickcount; }

public slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void picIcon_Click();
    void picIcon_DblClick();
    void StartSysInfo();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    orvane::Prompts& m_prompts;
    orvane::Registry& m_registry;
    orvane::ProgramStarter& m_starter;
    qint16 m_clickcount = 0;
};
