#pragma once

#include "paths/resolvedpath.h"

#include <QStringList>

class FileSystem;

// Suffixes tried, in this order, for a media name given without one.
namespace MediaSuffixes {
const QStringList &sound(); // wav, opus, ogg, mp3
const QStringList &image(); // webp, gif, png
} // namespace MediaSuffixes

// Grows one path part by part; the first part is taken as is, later parts by
// the join rule.
class PathBuilder
{
public:
    PathBuilder &append(const QString &part);
    QString path() const { return m_path; }

private:
    QString m_path;
};

// The builder's path itself if it is a regular file, else the first
// "path.suffix" that is one; the empty result when there is none.
ResolvedPath findSoundFile(const FileSystem &files, const PathBuilder &builder);
ResolvedPath findImageFile(const FileSystem &files, const PathBuilder &builder);
