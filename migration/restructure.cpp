#include "migration/restructure.h"

#include "filesystem/filesystem.h"
#include "filesystem/filesystemscope.h"
#include "log/loglevel.h"
#include "log/logsink.h"
#include "migration/filerelocator.h"
#include "migration/readahead.h"
#include "paths/displayname.h"
#include "paths/filetree.h"
#include "paths/folders.h"
#include "paths/medialookup.h"

#include <QDir>

#include <memory>

namespace {

using namespace AsFileTree;

struct NameLists
{
    QStringList keptFolders{QStringLiteral("data"), QStringLiteral("resources"), QStringLiteral("shouts"),
        QStringLiteral("sprites")};
    QStringList icons{QStringLiteral("char_icon.png"), QStringLiteral("actor.png")};
    QStringList shouts{QStringLiteral("holdit"), QStringLiteral("objection"), QStringLiteral("takethat"),
        QStringLiteral("custom"), QStringLiteral("custom2")};
};

QStringList iniFilePaths(const QString &folderPath)
{
    QStringList paths;
    for (const FileTree &file : buildFileTree(folderPath, Files, "ini").children)
        paths.append(path(file));
    return paths;
}

// The relocation rules for one character folder, in order: the icon becomes
// actor.png; emotions/ becomes resources/; shout sounds, first the WAV files
// in the folder itself and then any in shouts/, go to shouts/sounds/; images
// in shouts/ go to shouts/sprites/; every other folder, then every image that
// is not an icon, goes to sprites/. Each listing is taken when its rule
// starts, so a rule sees what the earlier ones did.
void relocateEntries(const QDir &folder, const NameLists &names, const FileRelocator &relocate)
{
    relocate(folder, QStringLiteral("char_icon.png"), QStringLiteral("actor.png"));
    relocate(folder, QStringLiteral("emotions"), QStringLiteral("resources"));

    for (const FileTree &file : buildFileTree(folder.path(), Files, "wav").children) {
        if (names.shouts.contains(baseName(file)))
            relocate(folder, fileName(file), QStringLiteral("shouts/sounds/") + fileName(file).toLower());
    }

    const QDir shouts(folder.path() + QStringLiteral("/shouts"));
    for (const FileTree &file : buildFileTree(shouts.path(), Files, MediaSuffixes::sound()).children) {
        if (names.shouts.contains(baseName(file)))
            relocate(shouts, fileName(file), QStringLiteral("sounds/") + fileName(file).toLower());
    }
    for (const FileTree &file : buildFileTree(shouts.path(), Files, MediaSuffixes::image()).children)
        relocate(shouts, fileName(file), QStringLiteral("sprites/") + fileName(file).toLower());

    for (const FileTree &sub : buildFileTree(folder.path(), Folders).children) {
        if (!names.keptFolders.contains(fileName(sub)))
            relocate(folder, fileName(sub), QStringLiteral("sprites/") + fileName(sub));
    }
    for (const FileTree &file : buildFileTree(folder.path(), Files, MediaSuffixes::image()).children) {
        if (!names.icons.contains(fileName(file)))
            relocate(folder, fileName(file), QStringLiteral("sprites/") + fileName(file));
    }
}

// Entries whose names are not valid text are never listed; the log names
// them, and says when a folder could not be read at all.
void reportUnlisted(const QString &folder, QStringList &log)
{
    const FolderListing listing = fileSystem().list(folder);
    if (!listing.error.isEmpty()) {
        appendLogLine(log, LogLevel::Error,
            QStringLiteral("cannot read the folder %1: %2")
                .arg(displayName(folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1)), listing.error.text),
            {folder, {}, {}});
    }
    for (const QByteArray &raw : listing.undecodable) {
        // The record can only name such an entry as the log shows it.
        const QString shown = displayBytes(raw);
        appendLogLine(log, LogLevel::Warning,
            QStringLiteral("%1 is left alone: its name is not valid in this system's file-name encoding")
                .arg(shown),
            {folder + QLatin1Char('/') + shown, {}, {}});
    }
}

// A converter that reads and changes in one go: it cannot read ahead.
class WholeConversion : public FolderConversion
{
public:
    WholeConversion(const LegacyConverter &convert, const QStringList &iniPaths)
        : m_convert(convert)
        , m_iniPaths(iniPaths)
    {
    }
    QStringList apply() override { return m_convert(m_iniPaths); }

private:
    const LegacyConverter &m_convert;
    QStringList m_iniPaths;
};

// What the walk reads of a character folder before it changes anything
// there: the entries it cannot list, and the folder's conversion.
class FolderReading : public FolderConversion
{
public:
    FolderReading(const ConversionReader &read, const QString &folderPath)
    {
        reportUnlisted(folderPath, m_unlisted);
        if (read)
            m_conversion = read(iniFilePaths(folderPath));
    }

    QStringList apply() override
    {
        QStringList lines = m_unlisted;
        if (m_conversion)
            lines.append(m_conversion->apply());
        return lines;
    }

private:
    QStringList m_unlisted;
    std::unique_ptr<FolderConversion> m_conversion;
};

QStringList walk(
    const ConversionReader &read, bool mayReadAhead, const WalkHooks &hooks, WalkOutcome *outcome)
{
    QStringList log;
    QDir folder(QDir::currentPath());
    const NameLists names;

    // What could not be listed among the character folders opens the log.
    const QString charactersPath = charactersFolderPath();
    QStringList opening;
    reportUnlisted(charactersPath, opening);
    const QVector<FileTree> characters = buildFileTree(charactersPath, Folders).children;
    WalkOutcome reached;
    reached.total = characters.size();
    if (characters.isEmpty())
        log = opening;

    const auto reading = [&read](const QString &folderPath) -> ReadAhead::Reading {
        return [&read, folderPath] { return std::make_unique<FolderReading>(read, folderPath); };
    };
    std::unique_ptr<ReadAhead> ahead;
    if (read && mayReadAhead && characters.size() > 1 && fileSystem().readsAlongsideChanges()) {
        ahead = std::make_unique<ReadAhead>(fileSystem());
        for (int at = 0; at < qMin(int(ReadAhead::depth), characters.size()); ++at)
            ahead->start(reading(path(characters.at(at))));
    }
    for (int at = 0; at < characters.size(); ++at) {
        const FileTree &character = characters.at(at);
        if (hooks.stopRequested && hooks.stopRequested()) {
            reached.stopped = true;
            break;
        }
        if (hooks.progress)
            hooks.progress(reached.done, reached.total, fileName(character));
        QStringList folderLog = opening;
        opening.clear();
        folderLog.append(QStringLiteral("Restructuring %1...").arg(displayName(fileName(character))));
        {
            const LogSink sink(folderLog);
            folder.setPath(path(character));
            std::unique_ptr<FolderConversion> prepared;
            if (ahead) {
                prepared = ahead->take();
                if (at + ReadAhead::depth < characters.size())
                    ahead->start(reading(path(characters.at(at + ReadAhead::depth))));
            }
            if (!prepared)
                prepared = reading(path(character))();
            folderLog.append(prepared->apply());
            relocateEntries(folder, names, FileRelocator(folderLog));
            fileSystem().doneWith(path(character));
        }
        folderLog.append(QStringLiteral("Done!\n"));
        log.append(folderLog);
        ++reached.done;
        if (hooks.folderDone)
            hooks.folderDone(folderLog);
    }
    if (outcome)
        *outcome = reached;
    return log;
}

} // namespace

QStringList restructureCharacterFolders(
    const LegacyConverter &convert, const WalkHooks &hooks, WalkOutcome *outcome)
{
    ConversionReader read;
    if (convert) {
        read = [&convert](const QStringList &iniPaths) -> std::unique_ptr<FolderConversion> {
            return std::make_unique<WholeConversion>(convert, iniPaths);
        };
    }
    return walk(read, false, hooks, outcome);
}

QStringList restructureCharacterFolders(
    const ConversionReader &read, const WalkHooks &hooks, WalkOutcome *outcome)
{
    return walk(read, true, hooks, outcome);
}

QStringList restructureCharacterFolders(const LegacyConverter &convert, const ProgressReporter &progress)
{
    WalkHooks hooks;
    hooks.progress = progress;
    return restructureCharacterFolders(convert, hooks);
}

QString stoppedLine(const WalkOutcome &outcome)
{
    return QStringLiteral("Stopped after %1 of %2 characters.").arg(outcome.done).arg(outcome.total);
}

QString joinLog(const QStringList &log)
{
    return log.join(QLatin1Char('\n'));
}
