// What wakes the timer tick: every control the tick reads, the redraw flag, and the part files
// on disk. Nothing else runs while none of them changes.
#include "card/module1.h"
#include "editor/form2.h"
#include "render/asset_catalogue.h"
#include "render/part_file_watcher.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

using namespace orvane;

void Form2::wakeTickOnChanges()
{
    for (QLineEdit* box : txtNums)
        connect(box, &QLineEdit::textChanged, Timer1, &WakeTimer::wake);
    for (QRadioButton* option : optElem)
        connect(option, &QRadioButton::toggled, Timer1, &WakeTimer::wake);
    for (QRadioButton* option : optFrame)
        connect(option, &QRadioButton::toggled, Timer1, &WakeTimer::wake);
    for (QCheckBox* box : chkArrow)
        connect(box, &QCheckBox::toggled, Timer1, &WakeTimer::wake);
    connect(scrX, &QScrollBar::valueChanged, Timer1, &WakeTimer::wake);
    connect(scrY, &QScrollBar::valueChanged, Timer1, &WakeTimer::wake);

    // The flag is raised by this window's handlers and by the other windows (Advanced Settings).
    Module1::NeedsRedraw.addListener(this, [this] { Timer1->wake(); });

    m_partWatcher = new PartFileWatcher(this);
    connect(m_partWatcher, &PartFileWatcher::changed, Timer1, &WakeTimer::wake);
    connect(m_partWatcher, &PartFileWatcher::pollingNeededChanged, Timer1, &WakeTimer::setPolling);
    m_partWatcher->watch(m_services.assetRoot, assets::allFiles());
    Timer1->setPolling(m_partWatcher->needsPolling());
}
