// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/frm_about.h"

#include "orvane_version.h"
#include "platform/window_placement.h"
#include "widgets/builtin_pictures.h"
#include "widgets/classic_font.h"
#include "widgets/picture_box.h"
#include "windows/form3.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

using namespace orvane;

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect,
                  const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

const char* const Description =
    "Orvane builds the face of a card for the four-number card game: pick a picture, the four "
    "side values, an element and the arrows, and save the card in blue and in red. Pure black "
    "is see-through on a card, so main pictures with pure black backgrounds work best.";

const char* const Disclaimer =
    "Orvane (c) its authors. The card game and its names belong to their owners. No card was "
    "harmed in the making of this tool, though several were redrawn twice. The makers of Orvane "
    "are not connected with the owners of the card game or its publishers.";

}  // namespace

frmAbout::frmAbout(Prompts& prompts, Registry* registry, ProgramStarter* starter, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_registry(registry ? *registry : systemRegistry()),
      m_starter(starter ? *starter : systemProgramStarter())
{
    ensureBuiltinPictures();
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("About Orvane"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    setWindowIcon(QIcon());
    setFixedSize(382, 265);
    setFont(sansSerif());

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(283, 175, 84, 23);
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);

    picIcon = new PictureBox(this, {8, 48, 68, 68}, true, palette().color(QPalette::Button));
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPicture(QImage(QStringLiteral(":/builtin/about.xpm")));
    picIcon->setFocusPolicy(Qt::TabFocus);

    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(284, 205, 83, 23);
    cmdSysInfo->setAutoDefault(false);

    lblDescription =
        makeLabel(this, "lblDescription", QLatin1String(Description), {88, 80, 259, 78}, Qt::black);
    lblDisclaimer =
        makeLabel(this, "lblDisclaimer", QLatin1String(Disclaimer), {17, 175, 258, 87}, Qt::black);
    lblTitle =
        makeLabel(this, "lblTitle", QStringLiteral("Orvane"), {80, 16, 259, 32}, QColor(0, 0, 192));
    lblTitle->setFont(classicFont(QStringLiteral("Times New Roman"), 26.25, true));
    lblVersion = makeLabel(this, "lblVersion", QStringLiteral("Version " ORVANE_CAPTION_VERSION), {88, 56, 259, 31},
                           QColor(255, 0, 0));
    lblVersion->setFont(sansSerif(12, true));

    setTabOrder(cmdOK, picIcon);
    setTabOrder(picIcon, cmdSysInfo);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(picIcon, &PictureBox::clicked, this, &frmAbout::picIcon_Click);
    connect(picIcon, &PictureBox::doubleClicked, this, &frmAbout::picIcon_DblClick);
    cmdOK->setFocus();
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::picIcon_Click()
{
    ++m_clickcount;
    if (m_clickcount == 7) {
        auto* picture = new Form3;
        centreOver(picture, this);
        picture->show();
        m_clickcount = 0;
    }
}

void frmAbout::picIcon_DblClick()
{
    picIcon_Click();
}

void frmAbout::StartSysInfo()
{
    QString program;
    bool found = GetKeyValue(m_registry, HKEY_LOCAL_MACHINE_ROOT,
                             QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                             QStringLiteral("PATH"), program);
    if (!found) {
        found = GetKeyValue(m_registry, HKEY_LOCAL_MACHINE_ROOT,
                            QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                            QStringLiteral("MSINFO"), program);
        const QString candidate =
            QDir::toNativeSeparators(program + QStringLiteral("/MSINFO32.EXE"));
        found = found && QFileInfo::exists(candidate);
        if (found)
            program = candidate;
    }
    if (found && m_starter.start(program))
        return;
    m_prompts.messageBox(QStringLiteral("System Information Is Unavailable At This Time"), OkOnly,
                         QApplication::applicationName());
}

void frmAbout::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // An etched separator: a grey line with a white one just below it.
    QPainter painter(this);
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(6, 163, 377, 163);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(7, 165, 377, 165);
}
