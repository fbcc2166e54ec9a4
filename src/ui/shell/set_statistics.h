// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMainWindow;
class StatisticsDock;

namespace orvane {

class Session;
class SetPanel;

// The Statistics dock of the main window (View > Statistics), fed with the cards the set panel
// shows: a click on a bar or an arrow direction filters the panel to those cards, a double click
// on a finding makes that card current. Counting waits while the dock is hidden.
class SetStatistics : public QObject {
    Q_OBJECT
public:
    SetStatistics(QMainWindow& window, Session& session, SetPanel& panel);

    StatisticsDock* dock() const { return m_dock; }
    // View > Statistics: shows or hides the dock.
    QAction* viewAction() const;

private:
    // Asks for one recount after the changes of this turn of the event loop.
    void changed();
    void recount();

    Session& m_session;
    SetPanel& m_panel;
    StatisticsDock* m_dock = nullptr;
    QList<quint64> m_ids;  // the cards given to the dock, in its order
    bool m_stale = true;   // the set changed while the dock was hidden
    bool m_recountAsked = false;
};

}  // namespace orvane
