// veltra-floor: the file-system work of a migration and nothing else.
//
//   veltra-floor FOLDER
//
// Does, with bare POSIX calls, the listings, document writes, renames and
// duplicate reads veltra-cli does on the client in FOLDER, in the same order,
// without reading a description's meaning or writing a log: no program that
// migrates the client can spend less time on the file system. It prints how
// many folders, documents, moves and deleted duplicates it counted, so a run
// can be checked against the headless program's log.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Counts
{
    long folders = 0;
    long documents = 0;
    long moves = 0;
    long duplicates = 0;
    long kept = 0; // a different file already in the new place
};

struct Entry
{
    std::string name;
    bool folder;
};

// One listing, hidden entries left out, as the headless program lists.
std::vector<Entry> list(const std::string &path)
{
    std::vector<Entry> entries;
    DIR *dir = opendir(path.c_str());
    if (!dir)
        return entries;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        bool folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info;
            folder = stat((path + '/' + entry->d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        entries.push_back({entry->d_name, folder});
    }
    closedir(dir);
    return entries;
}

std::string suffixOf(const std::string &name) // after the last dot
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string baseOf(const std::string &name) // before the first dot
{
    return name.substr(0, name.find('.'));
}

std::string lower(std::string text)
{
    for (char &c : text) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return text;
}

bool oneOf(const std::string &text, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (text == name)
            return true;
    }
    return false;
}

bool readAll(const std::string &path, std::string &bytes)
{
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    char chunk[65536];
    ssize_t got;
    while ((got = read(fd, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, size_t(got));
    close(fd);
    return got == 0;
}

// Written beside the target and renamed over it: the way every document of
// the program is written. Like the program, the floor makes its work durable
// once, at the end, not document by document.
void writeAtomically(const std::string &path, const std::string &bytes)
{
    const std::string temporary = path + ".floor-tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return;
    const bool written = write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    close(fd);
    if (!written || rename(temporary.c_str(), path.c_str()) != 0)
        unlink(temporary.c_str());
}

// Both files read side by side until the first difference.
bool sameBytes(const std::string &a, const std::string &b)
{
    const int fa = open(a.c_str(), O_RDONLY);
    const int fb = open(b.c_str(), O_RDONLY);
    bool same = fa >= 0 && fb >= 0;
    struct stat sa, sb;
    if (same)
        same = fstat(fa, &sa) == 0 && fstat(fb, &sb) == 0 && S_ISREG(sa.st_mode) && S_ISREG(sb.st_mode)
            && sa.st_size == sb.st_size;
    static char ba[65536], bb[65536];
    while (same) {
        const ssize_t ga = read(fa, ba, sizeof ba);
        const ssize_t gb = read(fb, bb, sizeof bb);
        if (ga < 0 || ga != gb || std::memcmp(ba, bb, size_t(ga)) != 0)
            same = false;
        else if (ga == 0)
            break;
    }
    if (fa >= 0)
        close(fa);
    if (fb >= 0)
        close(fb);
    return same;
}

void makeFolders(const std::string &folder, const std::string &relativeFile)
{
    for (size_t slash = relativeFile.find('/'); slash != std::string::npos;
         slash = relativeFile.find('/', slash + 1))
        mkdir((folder + '/' + relativeFile.substr(0, slash)).c_str(), 0755);
}

// A move that never overwrites: a taken place means compare, then delete
// the old entry when both hold the same bytes.
void relocate(const std::string &folder, const std::string &from, const std::string &to, Counts &counts)
{
    const std::string source = folder + '/' + from;
    const std::string target = folder + '/' + to;
    struct stat info;
    if (lstat(source.c_str(), &info) != 0)
        return;
    if (lstat(target.c_str(), &info) == 0) {
        if (sameBytes(source, target) && unlink(source.c_str()) == 0)
            ++counts.duplicates;
        else
            ++counts.kept;
        return;
    }
    makeFolders(folder, to);
    if (rename(source.c_str(), target.c_str()) == 0)
        ++counts.moves;
}

bool isImage(const std::string &name)
{
    return oneOf(suffixOf(name), {"webp", "gif", "png"});
}

void migrate(const std::string &folder, Counts &counts)
{
    bool actorData = false;
    for (const Entry &entry : list(folder)) {
        if (entry.folder || suffixOf(entry.name) != "ini")
            continue;
        std::string bytes;
        if (!readAll(folder + '/' + entry.name, bytes))
            continue;
        writeAtomically(folder + '/' + baseOf(entry.name) + ".toml", bytes);
        ++counts.documents;
        struct stat info;
        if (!actorData && stat((folder + "/data/actor.json").c_str(), &info) != 0) {
            mkdir((folder + "/data").c_str(), 0755);
            writeAtomically(folder + "/data/actor.json", "{\n}\n");
        }
        actorData = true;
    }

    relocate(folder, "char_icon.png", "actor.png", counts);
    relocate(folder, "emotions", "resources", counts);
    const auto shout = [](const std::string &name) {
        return oneOf(baseOf(name), {"holdit", "objection", "takethat", "custom", "custom2"});
    };
    for (const Entry &entry : list(folder)) {
        if (!entry.folder && suffixOf(entry.name) == "wav" && shout(entry.name))
            relocate(folder, entry.name, "shouts/sounds/" + lower(entry.name), counts);
    }
    const std::string shouts = folder + "/shouts";
    for (const Entry &entry : list(shouts)) {
        if (!entry.folder && oneOf(suffixOf(entry.name), {"wav", "opus", "ogg", "mp3"}) && shout(entry.name))
            relocate(shouts, entry.name, "sounds/" + lower(entry.name), counts);
    }
    for (const Entry &entry : list(shouts)) {
        if (!entry.folder && isImage(entry.name))
            relocate(shouts, entry.name, "sprites/" + lower(entry.name), counts);
    }
    for (const Entry &entry : list(folder)) {
        if (entry.folder && !oneOf(entry.name, {"data", "resources", "shouts", "sprites"}))
            relocate(folder, entry.name, "sprites/" + entry.name, counts);
    }
    for (const Entry &entry : list(folder)) {
        if (!entry.folder && isImage(entry.name) && !oneOf(entry.name, {"char_icon.png", "actor.png"}))
            relocate(folder, entry.name, "sprites/" + entry.name, counts);
    }
    ++counts.folders;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: veltra-floor FOLDER\n", stderr);
        return 2;
    }
    const std::string characters = std::string(argv[1]) + "/base/characters";
    Counts counts;
    for (const Entry &entry : list(characters)) {
        if (entry.folder)
            migrate(characters + '/' + entry.name, counts);
    }
    const int top = open(argv[1], O_RDONLY | O_DIRECTORY);
    if (top >= 0) {
        syncfs(top);
        close(top);
    }
    std::printf("%ld folders, %ld documents, %ld moves, %ld duplicates deleted, %ld kept apart\n",
        counts.folders, counts.documents, counts.moves, counts.duplicates, counts.kept);
    return 0;
}
