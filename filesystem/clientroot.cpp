#include "filesystem/clientroot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <deque>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace PosixFile;

// Links followed in one resolution at most, as the kernel allows.
constexpr int maxLinks = 40;

// Puts the parts of `text` before those still to resolve; empty and "."
// parts name nothing and are dropped, so the last part is the last one left.
void prepend(std::deque<QByteArray> &parts, const QByteArray &text)
{
    const QList<QByteArray> more = text.split('/');
    for (auto it = more.crbegin(); it != more.crend(); ++it) {
        if (!it->isEmpty() && *it != ".")
            parts.push_front(*it);
    }
}

// The folders from the top folder down to where a resolution stands; closes
// all it opened.
struct FolderStack
{
    std::vector<int> fds;
    ~FolderStack()
    {
        for (int fd : fds)
            ::close(fd);
    }
    int top() const { return fds.back(); }
    void pop()
    {
        ::close(fds.back());
        fds.pop_back();
    }
};

} // namespace

FileError ClientRoot::outsideReason()
{
    // EXDEV, as the system's own resolution beneath a folder says.
    return FileError(EXDEV, QStringLiteral("it lies outside the client folder"));
}

bool ClientRoot::open(const QString &path, FileError *error)
{
    m_path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    m_folder.reset(::open(native(m_path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat info;
    if (m_folder.fd < 0 || ::fstat(m_folder.fd, &info) != 0) {
        *error = systemError();
        m_folder.reset();
        return false;
    }
    char *real = ::realpath(native(m_path).constData(), nullptr);
    struct stat there;
    if (real && ::stat(real, &there) == 0 && there.st_dev == info.st_dev && there.st_ino == info.st_ino)
        m_real = real;
    std::free(real);
    return true;
}

bool ClientRoot::lock(FileError *error)
{
    if (::flock(m_folder.fd, LOCK_EX | LOCK_NB) == 0)
        return true;
    *error = errno == EWOULDBLOCK
        ? FileError(EWOULDBLOCK, QStringLiteral("another run or undo is working on %1").arg(m_path))
        : systemError();
    return false;
}

bool ClientRoot::relative(const QString &path, QByteArray *relative) const
{
    // The folder's real path names it too: a plan keys what it sees by real paths.
    for (const QString &top : {m_path, QFile::decodeName(m_real)}) {
        if (top.isEmpty())
            continue;
        if (path == top) {
            relative->clear();
            return true;
        }
        const QString prefix = top == QLatin1String("/") ? top : top + QLatin1Char('/');
        if (path.startsWith(prefix)) {
            *relative = native(path.mid(prefix.size()));
            return true;
        }
    }
    return false;
}

bool ClientRoot::resolve(
    const QByteArray &relative, bool followLast, Descriptor &folder, At *at, FileError *error) const
{
    std::deque<QByteArray> parts;
    prepend(parts, relative);
    FolderStack stack;
    stack.fds.push_back(::fcntl(m_folder.fd, F_DUPFD_CLOEXEC, 0));
    if (stack.top() < 0) {
        *error = systemError();
        return false;
    }
    QByteArray leaf;
    int links = 0;
    while (!parts.empty()) {
        const QByteArray part = parts.front();
        parts.pop_front();
        if (part == "..") {
            if (stack.fds.size() == 1) {
                *error = outsideReason();
                return false;
            }
            stack.pop();
            continue;
        }
        const bool last = parts.empty();
        if (last && !followLast) {
            leaf = part;
            break;
        }
        // A folder on the way is opened as it stands: never through a link.
        const int next = last
            ? -1
            : ::openat(stack.top(), part.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next >= 0) {
            stack.fds.push_back(next);
            continue;
        }
        const int refused = errno;
        struct stat info;
        if (::fstatat(stack.top(), part.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (last && errno == ENOENT) {
                leaf = part;
                break;
            }
            *error = systemError();
            return false;
        }
        if (!S_ISLNK(info.st_mode)) {
            if (last) {
                leaf = part;
                break;
            }
            *error = systemError(refused);
            return false;
        }
        if (++links > maxLinks) {
            *error = systemError(ELOOP);
            return false;
        }
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length
            = ::readlinkat(stack.top(), part.constData(), target.data(), size_t(target.size()));
        if (length < 0) {
            *error = systemError();
            return false;
        }
        target.truncate(int(length));
        if (target.startsWith('/')) {
            // Written as an absolute path: inside only when it names the client's own folder.
            if (m_real.isEmpty() || (target != m_real && !target.startsWith(QByteArray(m_real + '/')))) {
                *error = outsideReason();
                return false;
            }
            target = target.mid(m_real.size());
            while (stack.fds.size() > 1)
                stack.pop();
        }
        prepend(parts, target);
    }
    if (leaf.isEmpty())
        leaf = ".";
    folder.reset(stack.top());
    stack.fds.pop_back();
    at->folder = folder.fd;
    at->name = leaf;
    at->follow = false;
    return true;
}

bool ClientRoot::reaches(const QString &path, bool followLast, FileError *why) const
{
    QByteArray relativePath;
    if (!relative(path, &relativePath)) {
        *why = outsideReason();
        return false;
    }
    Descriptor folder;
    At at;
    FileError error;
    if (resolve(relativePath, followLast, folder, &at, &error))
        return true;
    if (error.code == EXDEV || error.code == ELOOP) {
        *why = error;
        return false;
    }
    return true; // a part missing on the way: nothing below it can lead out
}
