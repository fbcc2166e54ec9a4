// What wakes the timer tick: the part files on disk (every change of the card runs the tick's
// work at once). Nothing else runs while none of them changes.
#include "editor/form2.h"
#include "render/asset_catalogue.h"
#include "render/part_file_watcher.h"

using namespace orvane;

void Form2::wakeTickOnChanges()
{
    m_partWatcher = new PartFileWatcher(this);
    connect(m_partWatcher, &PartFileWatcher::changed, Timer1, &WakeTimer::wake);
    connect(m_partWatcher, &PartFileWatcher::changed, this, &Form2::partFilesChanged);
    connect(m_partWatcher, &PartFileWatcher::pollingNeededChanged, Timer1, &WakeTimer::setPolling);
    m_partWatcher->watch(m_services.assetRoot, assets::allFiles());
    Timer1->setPolling(m_partWatcher->needsPolling());
}
