#include "migration/restructure.h"

#include "filesystem/filesystem.h"
#include "migration/filerelocator.h"
#include "migration/readahead.h"
#include "paths/displayname.h"
#include "paths/filetree.h"
#include "paths/folders.h"
#include "paths/medialookup.h"
#include "run/report.h"

#include <QDir>
#include <QSet>

#include <algorithm>
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

QStringList iniFilePaths(const FileSystem &files, const QString &folderPath)
{
    QStringList paths;
    for (const FileTree &file : buildFileTree(files, folderPath, Files, "ini").children)
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
    const FileSystem &files = relocate.files();
    relocate(folder, QStringLiteral("char_icon.png"), QStringLiteral("actor.png"));
    relocate(folder, QStringLiteral("emotions"), QStringLiteral("resources"));

    for (const FileTree &file : buildFileTree(files, folder.path(), Files, "wav").children) {
        if (names.shouts.contains(baseName(file)))
            relocate(folder, fileName(file), QStringLiteral("shouts/sounds/") + fileName(file).toLower());
    }

    const QDir shouts(folder.path() + QStringLiteral("/shouts"));
    for (const FileTree &file : buildFileTree(files, shouts.path(), Files, MediaSuffixes::sound()).children) {
        if (names.shouts.contains(baseName(file)))
            relocate(shouts, fileName(file), QStringLiteral("sounds/") + fileName(file).toLower());
    }
    for (const FileTree &file : buildFileTree(files, shouts.path(), Files, MediaSuffixes::image()).children)
        relocate(shouts, fileName(file), QStringLiteral("sprites/") + fileName(file).toLower());

    for (const FileTree &sub : buildFileTree(files, folder.path(), Folders).children) {
        if (!names.keptFolders.contains(fileName(sub)))
            relocate(folder, fileName(sub), QStringLiteral("sprites/") + fileName(sub));
    }
    for (const FileTree &file : buildFileTree(files, folder.path(), Files, MediaSuffixes::image()).children) {
        if (!names.icons.contains(fileName(file)))
            relocate(folder, fileName(file), QStringLiteral("sprites/") + fileName(file));
    }
}

// Entries whose names are not valid text are never listed; the log names
// them, and says when a folder could not be read at all.
void reportUnlisted(const FileSystem &files, const QString &folder, QVector<LogRecord> &log)
{
    const FolderListing listing = files.list(folder);
    if (!listing.error.isEmpty()) {
        log.append(LogRecord::error(
            QStringLiteral("cannot read the folder %1: %2")
                .arg(displayName(folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1)), listing.error.text),
            {folder, {}, {}}));
    }
    for (const QByteArray &raw : listing.undecodable) {
        // The record can only name such an entry as the log shows it.
        const QString shown = displayBytes(raw);
        log.append(LogRecord::warning(
            QStringLiteral("%1 is left alone: its name is not valid in this system's file-name encoding")
                .arg(shown),
            {folder + QLatin1Char('/') + shown, {}, {}}));
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
    void apply(RunContext &run) override { m_convert(run, m_iniPaths); }

private:
    const LegacyConverter &m_convert;
    QStringList m_iniPaths;
};

// What the walk reads of a character folder before it changes anything
// there: the entries it cannot list, and the folder's conversion.
class FolderReading : public FolderConversion
{
public:
    FolderReading(const ReadContext &client, const ConversionReader &read, const QString &folderPath)
    {
        reportUnlisted(client.files, folderPath, m_unlisted);
        if (read)
            m_conversion = read(client, iniFilePaths(client.files, folderPath));
    }

    void apply(RunContext &run) override
    {
        run.report.append(m_unlisted);
        if (m_conversion)
            m_conversion->apply(run);
    }

private:
    QVector<LogRecord> m_unlisted;
    std::unique_ptr<FolderConversion> m_conversion;
};

WalkOutcome walk(RunContext &run, const ConversionReader &read, bool mayReadAhead, const WalkHooks &hooks)
{
    FileSystem &files = run.files;
    Report &log = run.report;
    QDir folder(run.client);
    const NameLists names;

    // What could not be listed among the character folders opens the log.
    const QString charactersPath = charactersFolderPath(run.client);
    QVector<LogRecord> opening;
    reportUnlisted(files, charactersPath, opening);
    QVector<FileTree> characters = buildFileTree(files, charactersPath, Folders).children;
    if (!run.characters.isEmpty()) {
        const QSet<QString> asked(run.characters.cbegin(), run.characters.cend());
        const auto unasked
            = [&asked](const FileTree &character) { return !asked.contains(fileName(character)); };
        characters.erase(std::remove_if(characters.begin(), characters.end(), unasked), characters.end());
    }
    WalkOutcome reached;
    reached.total = characters.size();
    if (characters.isEmpty())
        log.append(opening);

    const QString client = run.client;
    const auto reading = [&read, client](const QString &folderPath) -> ReadAhead::Reading {
        return [&read, client, folderPath](const FileSystem &through) {
            return std::make_unique<FolderReading>(ReadContext{through, client}, read, folderPath);
        };
    };
    std::unique_ptr<ReadAhead> ahead;
    if (read && mayReadAhead && characters.size() > 1 && files.readsAlongsideChanges()) {
        ahead = std::make_unique<ReadAhead>(files);
        for (int at = 0; at < qMin(int(ReadAhead::depth), characters.size()); ++at)
            ahead->start(reading(path(characters.at(at))));
    }
    for (int at = 0; at < characters.size(); ++at) {
        const FileTree &character = characters.at(at);
        if (run.stopWanted()) {
            reached.stopped = true;
            break;
        }
        if (hooks.progress)
            hooks.progress(reached.done, reached.total, fileName(character));
        const int first = log.size();
        log.append(opening);
        opening.clear();
        log.line(QStringLiteral("Restructuring %1...").arg(displayName(fileName(character))));
        folder.setPath(path(character));
        std::unique_ptr<FolderConversion> prepared;
        if (ahead) {
            prepared = ahead->take();
            if (at + ReadAhead::depth < characters.size())
                ahead->start(reading(path(characters.at(at + ReadAhead::depth))));
        }
        if (!prepared)
            prepared = reading(path(character))(files);
        prepared->apply(run);
        relocateEntries(folder, names, FileRelocator(run));
        files.doneWith(path(character));
        log.line(QStringLiteral("Done!\n"));
        ++reached.done;
        if (hooks.folderDone)
            hooks.folderDone(log, first);
    }
    return reached;
}

} // namespace

WalkOutcome restructureCharacterFolders(
    RunContext &run, const LegacyConverter &convert, const WalkHooks &hooks)
{
    ConversionReader read;
    if (convert) {
        read = [&convert](
                   const ReadContext &, const QStringList &iniPaths) -> std::unique_ptr<FolderConversion> {
            return std::make_unique<WholeConversion>(convert, iniPaths);
        };
    }
    return walk(run, read, false, hooks);
}

WalkOutcome restructureCharacterFolders(RunContext &run, const ConversionReader &read, const WalkHooks &hooks)
{
    return walk(run, read, true, hooks);
}

QString stoppedLine(const WalkOutcome &outcome)
{
    return QStringLiteral("Stopped after %1 of %2 characters.").arg(outcome.done).arg(outcome.total);
}
