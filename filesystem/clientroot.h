#pragma once

#include "filesystem/posixfile.h"

#include <QString>

// A client's top folder, held open, through which paths below it are
// resolved without ever leaving it: every part is opened from the folder
// before it without following a link, and a link met on the way is followed
// only while where it leads stays inside the client. A swap of a part for a
// link while this happens makes the resolution fail; it never leads out.
class ClientRoot
{
public:
    ClientRoot() = default;
    ClientRoot(const ClientRoot &) = delete;
    ClientRoot &operator=(const ClientRoot &) = delete;

    // Opens the folder; false with the reason.
    bool open(const QString &path, FileError *error);
    // The folder as it was given, absolute and clean.
    QString path() const { return m_path; }
    int descriptor() const { return m_folder.fd; }

    // Takes the client's lock for this process, without waiting: false when
    // another run or undo holds it. The kernel lets go of it when the process
    // ends, however it ends.
    bool lock(FileError *error);

    // `path` relative to the top folder ("" for the folder itself), or false
    // when it does not name a place below it.
    bool relative(const QString &path, QByteArray *relative) const;

    // Resolves a path below the client: `at` names the entry by the folder
    // that holds it (held open in `folder`) and its own name. A link at the
    // end is followed too with `followLast` (else the link itself is meant).
    // A missing entry at the end is no failure; a missing folder on the way
    // is. False with the reason otherwise.
    bool resolve(const QByteArray &relative, bool followLast, PosixFile::Descriptor &folder,
        PosixFile::At *at, FileError *error) const;

    // Whether resolving would stay inside the client; a part missing on the
    // way counts as inside (nothing there can lead out).
    bool reaches(const QString &path, bool followLast, FileError *why) const;

    // The reason given for a place outside the client.
    static FileError outsideReason();

private:
    PosixFile::Descriptor m_folder;
    QString m_path;
    QByteArray m_real; // the folder's real path, for links written as absolute paths
};
