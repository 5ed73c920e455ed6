#include "convert/convertlegacyfiles.h"

#include "convert/convertlegacyini.h"
#include "convert/tomlwriter.h"
#include "filesystem/digest.h"
#include "filesystem/filesystem.h"
#include "paths/actorpath.h"
#include "paths/displayname.h"
#include "run/report.h"

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
    LegacyFilesConversion(const ReadContext &client, const QStringList &iniPaths)
    {
        for (const QString &path : iniPaths) {
            const QFileInfo info(path);
            PreparedFile file;
            // The character is the folder as it was listed, even when it links elsewhere.
            const QString folder = QFileInfo(info.path()).fileName();
            file.shownName = displayName(info.fileName());
            file.target = info.completeBaseName() + QStringLiteral(".toml");
            file.targetPath = actorFilePath(client, folder, file.target).path;
            file.reading = readLegacyIni(client, path);
            if (!file.reading.emotes.isEmpty()) {
                file.document = formatLegacyDescription(file.reading.emotes, &file.formatError);
                file.digest = sha3(file.document);
            }
            m_files.append(file);
        }
    }

    void apply(RunContext &run) override
    {
        FileSystem &files = run.files;
        Report &log = run.report;
        for (const PreparedFile &file : qAsConst(m_files)) {
            // A link counts as taken even when it points nowhere: writing through
            // it would put the description outside the character folder.
            // Asked now, not when the file was read: an earlier file of the
            // folder may have taken the name.
            if (files.status(file.targetPath).exists) {
                log.line(QStringLiteral("Cannot convert %1, %2 already exist.")
                             .arg(file.shownName, displayName(file.target)));
                continue;
            }
            log.append(file.reading.problems);
            makeActorData(run, file.reading);
            if (file.reading.emotes.isEmpty())
                continue;
            log.line(QStringLiteral("Converting %1...").arg(file.shownName));
            FileError reason = file.formatError;
            if (reason.isEmpty())
                files.writeDocument(file.targetPath, file.document, file.digest, &reason);
            if (!reason.isEmpty()) {
                log.error(QStringLiteral("cannot write %1: %2").arg(displayName(file.target), reason.text),
                    {file.targetPath, {}, {}});
            }
        }
    }

private:
    QVector<PreparedFile> m_files;
};

} // namespace

std::unique_ptr<FolderConversion> prepareLegacyFiles(const ReadContext &client, const QStringList &iniPaths)
{
    return std::make_unique<LegacyFilesConversion>(client, iniPaths);
}

void convertLegacyFiles(RunContext &run, const QStringList &iniPaths)
{
    prepareLegacyFiles(run.reading(), iniPaths)->apply(run);
}
