// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/set_statistics.h"

#include "session/session.h"
#include "set/card_set.h"
#include "setpanel/set_panel.h"
#include "windows/statistics_dock.h"

#include <QAction>
#include <QMainWindow>

#include <algorithm>

namespace orvane {

SetStatistics::SetStatistics(QMainWindow& window, Session& session, SetPanel& panel)
    : QObject(&window), m_session(session), m_panel(panel)
{
    m_dock = new StatisticsDock(&window);
    m_dock->setObjectName(QStringLiteral("dockStatistics"));
    window.addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->hide();
    CardSet& set = session.set();
    // One edit tells of itself several times (the card, the set, the panel's counts): the dock
    // counts once for all of them.
    for (auto signal : {&CardSet::opened, &CardSet::cardsReset, &CardSet::changed})
        connect(&set, signal, this, &SetStatistics::changed);
    connect(&set, &CardSet::cardChanged, this, &SetStatistics::changed);
    connect(&panel, &SetPanel::shownCardsChanged, this, &SetStatistics::changed);
    connect(&session, &Session::openChanged, this, &SetStatistics::changed);
    connect(m_dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && m_stale)
            recount();
    });
    connect(m_dock, &StatisticsDock::filterRequested, &panel, &SetPanel::setChartFilter);
    connect(m_dock, &StatisticsDock::showCardRequested, this, [this](int index) {
        if (index >= 0 && index < m_ids.size())
            m_session.setCurrentId(m_ids[index]);
    });
    recount();
}

QAction* SetStatistics::viewAction() const
{
    QAction* action = m_dock->toggleViewAction();
    action->setObjectName(QStringLiteral("actViewStatistics"));
    action->setText(tr("S&tatistics"));
    return action;
}

void SetStatistics::changed()
{
    if (!m_dock->isVisible()) {
        m_stale = true;
        return;
    }
    if (std::exchange(m_recountAsked, true))
        return;
    QMetaObject::invokeMethod(this, &SetStatistics::recount, Qt::QueuedConnection);
}

void SetStatistics::recount()
{
    m_recountAsked = false;
    // While the dock is hidden a change only marks it stale: an edit of a large set costs
    // nothing here until the dock is shown again.
    m_stale = !m_dock->isVisible();
    if (m_stale)
        return;
    m_ids = m_session.hasSet() ? m_panel.cardsShownBesideTheChart() : QList<quint64>();
    QList<Card> cards;
    cards.reserve(m_ids.size());
    const CardSet& set = m_session.set();
    for (const quint64 id : std::as_const(m_ids))
        cards << set.entry(id)->card;
    const int bad = m_session.hasSet()
                        ? int(std::count_if(set.entries().cbegin(), set.entries().cend(),
                                            [](const SetEntry& e) { return e.isBad(); }))
                        : 0;
    m_dock->setCards(cards, bad);
}

}  // namespace orvane
