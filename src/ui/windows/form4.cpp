// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/form4.h"

#include "card/card_rules.h"
#include "widgets/classic_font.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace orvane;

Form4::Form4(Prompts& prompts, const CardPlacement& placement, QWidget* parent)
    : QWidget(parent), m_prompts(prompts), m_placement(placement)
{
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window);
    setWindowTitle(QStringLiteral("Advanced Settings"));
    resize(312, 213);
    // The toolkit font the layout was drawn with: at any larger face the captions are cut.
    setFont(sansSerif());

    static const char* captions[5] = {
        "Top Number:", "Left Number:", "Right Number:", "Bottom Number:", "Elemental:"};
    for (int row = 0; row < 5; ++row) {
        auto* label = new QLabel(QLatin1String(captions[row]), this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(row));
        label->setGeometry(24, 56 + 32 * row, 81, 17);
        Label1[size_t(row)] = label;
    }
    for (int column = 0; column < 2; ++column) {
        auto* heading = new QLabel(column == 0 ? QStringLiteral("X") : QStringLiteral("Y"), this);
        heading->setObjectName(QStringLiteral("Label2_%1").arg(column));
        heading->setGeometry(136 + 56 * column, 16, 25, 25);
        heading->setFont(sansSerif(12, true));
        Label2[size_t(column)] = heading;
    }
    const auto box = [this](const char* name, int x, int y) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setGeometry(x, y, 33, 19);
        return edit;
    };
    txtTopX = box("txtTopX", 128, 56);
    txtTopY = box("txtTopY", 184, 56);
    txtLeftX = box("txtLeftX", 128, 88);
    txtLeftY = box("txtLeftY", 184, 88);
    txtRightX = box("txtRightX", 128, 120);
    txtRightY = box("txtRightY", 184, 120);
    txtBottomX = box("txtBottomX", 128, 152);
    txtBottomY = box("txtBottomY", 184, 152);
    txtElemX = box("txtElemX", 128, 184);
    txtElemY = box("txtElemY", 184, 184);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(240, 136, 57, 33);
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);

    // Focus order: the X boxes from left number down, the Y boxes, then OK.
    const QWidget* order[] = {txtLeftX, txtTopX,   txtRightX,  txtBottomX, txtElemX, txtTopY,
                              txtLeftY, txtRightY, txtBottomY, txtElemY,   Command1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
    Form_Load();
    txtLeftX->setFocus();
}

std::array<Form4::Field, 10> Form4::fields()
{
    CardPlacement& p = m_placement;
    return {{{txtElemX, &p.ElemX, "Elemental X"},
             {txtElemY, &p.ElemY, "Elemental Y"},
             {txtTopX, &p.TopX, "Top Number X"},
             {txtTopY, &p.TopY, "Top Number Y"},
             {txtLeftX, &p.LeftX, "Left Number X"},
             {txtLeftY, &p.LeftY, "Left Number Y"},
             {txtRightX, &p.RightX, "Right Number X"},
             {txtRightY, &p.RightY, "Right Number Y"},
             {txtBottomX, &p.BottomX, "Bottom Number X"},
             {txtBottomY, &p.BottomY, "Bottom Number Y"}}};
}

void Form4::Form_Load()
{
    for (const Field& field : fields())
        field.box->setText(QString::number(*field.value));
}

void Form4::Command1_Click()
{
    // Every box is checked before any value is stored, so a bad box changes nothing.
    std::array<qint16, 10> values{};
    const auto all = fields();
    for (size_t i = 0; i < all.size(); ++i) {
        const std::optional<qint16> value = parsePlacement(all[i].box->text());
        if (!value) {
            m_prompts.messageBox(
                QStringLiteral("The box \"%1\" holds \"%2\", which is not a number from -32768 "
                               "to 32767. Nothing was stored; correct the box and press OK again.")
                    .arg(QLatin1String(all[i].description), all[i].box->text()),
                Exclamation, QStringLiteral("Advanced Settings"));
            all[i].box->setFocus();
            all[i].box->selectAll();
            return;
        }
        values[i] = *value;
    }
    for (size_t i = 0; i < all.size(); ++i)
        *all[i].value = values[i];
    // The cards follow the new places at once, on screen and in a save.
    emit placementStored(m_placement);
    close();
}
