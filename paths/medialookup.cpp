#include "paths/medialookup.h"

#include "filesystem/filesystem.h"

namespace MediaSuffixes {

const QStringList &sound()
{
    static const QStringList list{
        QStringLiteral("wav"), QStringLiteral("opus"), QStringLiteral("ogg"), QStringLiteral("mp3")};
    return list;
}

const QStringList &image()
{
    static const QStringList list{QStringLiteral("webp"), QStringLiteral("gif"), QStringLiteral("png")};
    return list;
}

} // namespace MediaSuffixes

PathBuilder &PathBuilder::append(const QString &part)
{
    m_path = m_path.isEmpty() ? part : joinPathText({m_path, part});
    return *this;
}

namespace {

ResolvedPath findMedia(const FileSystem &files, const QString &path, const QStringList &suffixes)
{
    if (files.status(path).isFile())
        return {joinPathText({path}), true};
    for (const QString &suffix : suffixes) {
        const QString candidate = path + QLatin1Char('.') + suffix;
        if (files.status(candidate).isFile())
            return {joinPathText({candidate}), true};
    }
    return {};
}

} // namespace

ResolvedPath findSoundFile(const FileSystem &files, const PathBuilder &builder)
{
    return findMedia(files, builder.path(), MediaSuffixes::sound());
}

ResolvedPath findImageFile(const FileSystem &files, const PathBuilder &builder)
{
    return findMedia(files, builder.path(), MediaSuffixes::image());
}
