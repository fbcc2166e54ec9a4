// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/external_picture_edit.h"

#include "document/card_document.h"
#include "files/main_picture.h"
#include "platform/dialog.h"
#include "platform/prompts.h"
#include "render/picture_prep.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QUrl>

using namespace orvane;

namespace {

const QString ProgramKey = QStringLiteral("externalEditor/program");
const QString Title = QStringLiteral("Edit Main Picture Externally");

}  // namespace

ExternalPictureEdit::ExternalPictureEdit(CardDocument* document, Prompts* prompts, QObject* parent)
    : QObject(parent), m_document(document), m_prompts(prompts), m_launcher(&launch)
{
    connect(&m_watcher, &DeckWatcher::changed, this, &ExternalPictureEdit::take);
}

ExternalPictureEdit::~ExternalPictureEdit() = default;

QString ExternalPictureEdit::program()
{
    return QSettings().value(ProgramKey).toString();
}

void ExternalPictureEdit::setProgram(const QString& path)
{
    QSettings().setValue(ProgramKey, path);
}

bool ExternalPictureEdit::chooseProgram()
{
    Dialog dialog;
    dialog.DialogTitle = QStringLiteral("Choose the Image Editor...");
    dialog.Filter = QStringLiteral("All Files (*)|*");
    if (!m_prompts->showOpen(dialog))
        return false;
    setProgram(dialog.FileName);
    return true;
}

bool ExternalPictureEdit::launch(const QString& program, const QString& file, QString* error)
{
    if (program.isEmpty()) {
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
            return true;
        *error = QStringLiteral("The desktop has no image editor for %1.\n\nChoose a program "
                                "for it with Edit Main Picture Externally... again.")
                     .arg(QDir::toNativeSeparators(file));
        return false;
    }
    if (QProcess::startDetached(program, {file}))
        return true;
    *error = QStringLiteral("%1 could not be started: it is missing or is not a program.")
                 .arg(QDir::toNativeSeparators(program));
    return false;
}

bool ExternalPictureEdit::start()
{
    if (!m_document)
        return false;
    const Card& card = m_document->card();
    if (card.mainPicture.isNull()) {
        m_prompts->messageBox(QStringLiteral("The card has no main picture to edit."), Exclamation,
                              Title);
        return false;
    }
    QString file = card.mainPicturePath;
    m_ownFile = file.isEmpty() || !QFileInfo(file).isFile();
    if (m_ownFile) {
        // No file of the user's: a PNG of the card's own 62 x 62 picture.
        m_folder = std::make_unique<QTemporaryDir>();
        file = m_folder->filePath(QStringLiteral("main-picture.png"));
        if (!m_folder->isValid() || !card.mainPicture.save(file, "PNG")) {
            m_prompts->messageBox(
                QStringLiteral("The picture could not be written for the image editor (%1).")
                    .arg(QDir::toNativeSeparators(file)),
                Exclamation, Title);
            return false;
        }
    }
    QString error;
    if (!m_launcher(program(), file, &error)) {
        m_prompts->messageBox(error, Exclamation, Title);
        return false;
    }
    m_file = file;
    m_lastProblem.clear();
    m_watcher.watch({file});
    return true;
}

void ExternalPictureEdit::take(const QStringList& files)
{
    if (!m_document || !files.contains(m_file) || !QFileInfo(m_file).isFile())
        return;
    const LoadedPicture loaded = loadMainPicture(m_file, true);
    if (loaded.image.isNull()) {
        const QString problem = QStringLiteral("%1 cannot be read: %2")
                                    .arg(QDir::toNativeSeparators(m_file), loaded.error);
        if (problem != m_lastProblem)
            m_prompts->messageBox(problem, Exclamation, Title);
        m_lastProblem = problem;
        return;
    }
    m_lastProblem.clear();
    const Card& card = m_document->card();
    if (m_ownFile) {
        if (loaded.image == card.mainPicture)
            return;
        m_document->setMainPicture(loaded.image, card.mainPicturePath);
    } else if (!card.preparation.source.isNull()) {
        // A prepared picture: the new source with the settings it was prepared with.
        const PictureFit fit = card.preparation.fit;
        if (loaded.image == card.preparation.source)
            return;
        m_document->setMainPicture(preparePicture(loaded.image, fit), m_file,
                                   {loaded.image, fit, loaded.encoded});
    } else if (loaded.image.width() > PreparedPictureMaxSide ||
               loaded.image.height() > PreparedPictureMaxSide) {
        // Larger than the card: kept as the source, the box holding what the card can show.
        const PictureFit fit = asLoadedFit(loaded.image.size());
        m_document->setMainPicture(preparePicture(loaded.image, fit), m_file,
                                   {loaded.image, fit, loaded.encoded});
    } else {
        if (loaded.image == card.mainPicture)
            return;
        m_document->setMainPicture(loaded.image, m_file);
    }
    emit pictureTaken();
}
