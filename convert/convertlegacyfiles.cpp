#include "convert/convertlegacyfiles.h"

#include "convert/convertlegacyini.h"
#include "convert/tomlwriter.h"
#include "filesystem/digest.h"
#include "filesystem/filesystem.h"
#include "filesystem/filesystemscope.h"
#include "log/loglevel.h"
#include "log/logsink.h"
#include "paths/actorpath.h"
#include "paths/displayname.h"

#include <QFileInfo>
#include <QVector>

namespace {

struct PreparedFile
{
    QString shownName;
    QString target; // "name.toml"
    QString targetPath;
    LegacyIniReading reading;
    QByteArray document; // the description's bytes, when it has emotes
    QByteArray digest; // their SHA3-256, for the journal
    FileError formatError;
};

class LegacyFilesConversion : public FolderConversion
{
public:
    explicit LegacyFilesConversion(const QStringList &iniPaths)
    {
        for (const QString &path : iniPaths) {
            const QFileInfo info(path);
            PreparedFile file;
            // The character is the folder as it was listed, even when it links elsewhere.
            const QString folder = QFileInfo(info.path()).fileName();
            file.shownName = displayName(info.fileName());
            file.target = info.completeBaseName() + QStringLiteral(".toml");
            file.targetPath = actorFilePath(folder, file.target).path;
            file.reading = readLegacyIni(path);
            if (!file.reading.emotes.isEmpty()) {
                file.document = formatLegacyDescription(file.reading.emotes, &file.formatError);
                file.digest = sha3(file.document);
            }
            m_files.append(file);
        }
    }

    QStringList apply() override
    {
        QStringList log;
        // Lines about the changes this makes go right after the line that caused them.
        const LogSink sink(log);
        FileSystem &files = fileSystem();
        for (const PreparedFile &file : qAsConst(m_files)) {
            // A link counts as taken even when it points nowhere: writing through
            // it would put the description outside the character folder.
            // Asked now, not when the file was read: an earlier file of the
            // folder may have taken the name.
            if (files.status(file.targetPath).exists) {
                log.append(QStringLiteral("Cannot convert %1, %2 already exist.")
                               .arg(file.shownName, displayName(file.target)));
                continue;
            }
            log.append(file.reading.problems);
            log.append(makeActorData(file.reading));
            if (file.reading.emotes.isEmpty())
                continue;
            log.append(QStringLiteral("Converting %1...").arg(file.shownName));
            FileError reason = file.formatError;
            if (reason.isEmpty())
                files.writeDocument(file.targetPath, file.document, file.digest, &reason);
            if (!reason.isEmpty()) {
                appendLogLine(log, LogLevel::Error,
                    QStringLiteral("cannot write %1: %2").arg(displayName(file.target), reason.text),
                    {file.targetPath, {}, {}});
            }
        }
        return log;
    }

private:
    QVector<PreparedFile> m_files;
};

} // namespace

std::unique_ptr<FolderConversion> prepareLegacyFiles(const QStringList &iniPaths)
{
    return std::make_unique<LegacyFilesConversion>(iniPaths);
}

QStringList convertLegacyFiles(const QStringList &iniPaths)
{
    return prepareLegacyFiles(iniPaths)->apply();
}
