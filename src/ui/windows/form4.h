// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card_placement.h"
#include "platform/prompts.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

// Advanced Settings: the ten placement values of the digits and the element icon, as text.
class Form4 : public QWidget {
    Q_OBJECT
public:
    // Shows `placement`; OK hands on the ten values typed.
    Form4(orvane::Prompts& prompts, const orvane::CardPlacement& placement,
          QWidget* parent = nullptr);

    std::array<QLabel*, 5> Label1{};
    std::array<QLabel*, 2> Label2{};
    QLineEdit* txtTopX = nullptr;
    QLineEdit* txtTopY = nullptr;
    QLineEdit* txtLeftX = nullptr;
    QLineEdit* txtLeftY = nullptr;
    QLineEdit* txtRightX = nullptr;
    QLineEdit* txtRightY = nullptr;
    QLineEdit* txtBottomX = nullptr;
    QLineEdit* txtBottomY = nullptr;
    QLineEdit* txtElemX = nullptr;
    QLineEdit* txtElemY = nullptr;
    QPushButton* Command1 = nullptr;

public slots:
    void Form_Load();
    void Command1_Click();

signals:
    // OK stored the ten values.
    void placementStored(const orvane::CardPlacement& placement);

private:
    struct Field {
        QLineEdit* box;
        qint16* value;
        const char* description;
    };
    // The boxes in the order they are filled and stored.
    std::array<Field, 10> fields();

    orvane::Prompts& m_prompts;
    orvane::CardPlacement m_placement;
};
