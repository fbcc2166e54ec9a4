// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/print_commands.h"

#include "card/card_file.h"
#include "document/card_document.h"
#include "editor/form2.h"
#include "platform/prompts.h"
#include "session/session.h"
#include "set/card_set.h"
#include "setpanel/set_panel.h"
#include "windows/calibration_dialog.h"
#include "windows/print_dialog.h"
#include "windows/set_cards.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>

namespace orvane {

PrintCommands::PrintCommands(QMainWindow& window, Session& session, SetPanel& panel, Form2& form,
                             Prompts& prompts, const QString& partsRoot)
    : QObject(&window), m_window(window), m_session(session), m_panel(panel), m_form(form),
      m_prompts(prompts), m_partsRoot(partsRoot)
{
}

void PrintCommands::print()
{
    QList<NamedCard> cards;
    QString baseName;
    if (m_session.hasSet()) {
        const CardSet& set = m_session.set();
        // One card selected is the one being edited: the set is meant, as for Render.
        QList<quint64> ids = m_panel.selectedIds();
        if (ids.size() <= 1) {
            ids.clear();
            for (const SetEntry& e : set.entries())
                ids << e.id;
        }
        QString error;
        cards = renderSetCards(set, ids, m_partsRoot, &error);
        if (cards.isEmpty()) {
            m_prompts.messageBox(error, Exclamation, tr("Print"));
            return;
        }
        baseName =
            set.path().isEmpty() ? QStringLiteral("set") : QFileInfo(set.path()).completeBaseName();
    } else {
        const CardDocument& card = m_form.document();
        const QString name = card.displayName().isEmpty() ? QStringLiteral("card")
                                                          : card.displayName();
        cards.append({name, safeFileName(name), m_form.shownCardsWithScales(), 1});
        baseName = safeFileName(name);
    }
    // The window deletes itself when closed.
    (new PrintDialog(m_prompts, cards, baseName, startFolder(), &m_window))->show();
}

void PrintCommands::calibrate()
{
    // The window deletes itself when closed.
    (new CalibrationDialog(m_prompts, QStringLiteral("home-a4"), startFolder(), &m_window))->show();
}

QString PrintCommands::startFolder() const
{
    if (m_session.hasSet()) {
        const QString path = m_session.set().path();
        const QFileInfo info(path);
        return path.isEmpty() ? QDir::homePath()
               : info.isDir() ? info.absoluteFilePath()
                              : info.absolutePath();
    }
    const QString file = m_form.document().filePath();
    return file.isEmpty() ? QDir::homePath() : QFileInfo(file).absolutePath();
}

}  // namespace orvane
