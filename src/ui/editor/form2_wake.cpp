// SPDX-License-Identifier: GPL-3.0-or-later
// What wakes the timer tick: the part files on disk (every change of the card runs the tick's
// work at once). Nothing else runs while none of them changes.
#include "editor/form2.h"
#include "render/asset_catalogue.h"
#include "render/part_file_watcher.h"
#include "render/part_pack.h"
#include "render/part_scales.h"

using namespace orvane;

void Form2::wakeTickOnChanges()
{
    m_partWatcher = new PartFileWatcher(this);
    connect(m_partWatcher, &PartFileWatcher::changed, Timer1, &WakeTimer::wake);
    connect(m_partWatcher, &PartFileWatcher::changed, this, &Form2::partFilesChanged);
    connect(m_partWatcher, &PartFileWatcher::changed, this, [this] { m_packScales.reset(); });
    connect(m_partWatcher, &PartFileWatcher::pollingNeededChanged, Timer1, &WakeTimer::setPolling);
    watchPartFiles();
}

void Form2::watchPartFiles()
{
    const QString pack = m_pictures.packFolder();
    if (pack.isEmpty())
        m_partWatcher->watch(m_services.assetRoot, assets::allFiles());
    else
        m_partWatcher->watch(pack, packWatchFiles(pack));  // both suffixes: a part may be either
    Timer1->setPolling(m_partWatcher->needsPolling());
}

void Form2::readPartsFrom(const QString& packFolder)
{
    if (packFolder == m_pictures.packFolder())
        return;
    m_pictures.setPackFolder(packFolder);
    m_packScales.reset();
    // The bases are the pack's when its manifest names them, else the clean ones.
    CardParts clean;
    clean.blueBase = cleanBlueBase();
    clean.redBase = cleanRedBase();
    if (packFolder.isEmpty()) {
        m_parts.blueBase = clean.blueBase;
        m_parts.redBase = clean.redBase;
    } else {
        const PackParts pack = loadPackParts(packFolder, 1, clean);
        m_parts.blueBase = pack.parts.blueBase;
        m_parts.redBase = pack.parts.redBase;
    }
    watchPartFiles();
    m_document->setNeedsRedraw(true);
    Timer1_Timer();
}

std::shared_ptr<const PartScales> Form2::packScales() const
{
    if (!m_packScales)
        m_packScales = std::make_shared<const PartScales>(m_parts, m_pictures.packFolder());
    return m_packScales;
}

RenderedCard Form2::shownCardsWithScales() const
{
    if (m_pictures.packFolder().isEmpty() || showsNoCard())
        return shownCards();
    return renderCardWithScales(m_document->card(), packScales(), m_document->drawnSides());
}
