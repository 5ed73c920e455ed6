#include "settings/settingfile.h"

#include "settings/legacytext.h"
#include "settings/serializedvalues.h"
#include "settings/utf8ini.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryFile>

#include <algorithm>

namespace GsSetting {

namespace {

// Qt 5 decodes only the values of an INI file with its codec: key and group
// names are taken byte by byte as Latin-1, so "Zoë" written in UTF-8 arrives as
// "ZoÃ«" (and so does it from Qt 6, which reads utf8Ini's copy). In a file read as UTF-8 such a
// name is decoded again; a name that Qt unescaped from "%XX" forms is kept when its bytes are not UTF-8.
QString storedName(const QString &qtName, bool utf8)
{
    if (!utf8)
        return qtName;
    bool wide = false;
    for (const QChar c : qtName) {
        if (c.unicode() > 0xff)
            return qtName;
        wide = wide || c.unicode() > 0x7f;
    }
    if (!wide)
        return qtName;
    const QByteArray bytes = qtName.toLatin1();
    return LegacyText::isValidUtf8(bytes) ? QString::fromUtf8(bytes) : qtName;
}

// A line without a name ("=x") gives an empty key, whose value QSettings
// will not hand out (it only warns); such a line says nothing.
void appendKeys(SettingSection &section, QSettings &settings, const QString &prefix, bool utf8)
{
    for (const QString &key : settings.childKeys()) {
        if (!key.isEmpty())
            section.entries.append({prefix + storedName(key, utf8).toLower(), settings.value(key)});
    }
}

// Reads the group QSettings is in now, and the keys one level below it.
SettingSection loadGroup(QSettings &settings, const QString &sectionName, bool utf8)
{
    SettingSection section;
    section.name = sectionName;
    appendKeys(section, settings, QString(), utf8);
    for (const QString &group : settings.childGroups()) {
        settings.beginGroup(group);
        appendKeys(section, settings, storedName(group, utf8) + QLatin1Char('/'), utf8);
        settings.endGroup();
    }
    return section;
}

// Numbered keys first, by value; the others keep the order they were read in.
void sortEntries(QVector<SettingEntry> &entries)
{
    struct Ranked
    {
        bool numbered;
        int number;
        int index;
    };
    QVector<Ranked> ranks;
    ranks.reserve(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        bool ok = false;
        const int number = entries.at(i).first.toInt(&ok, 10);
        ranks.append({ok, number, i});
    }
    std::stable_sort(ranks.begin(), ranks.end(), [](const Ranked &a, const Ranked &b) {
        if (a.numbered != b.numbered)
            return a.numbered;
        return a.numbered && a.number < b.number;
    });
    QVector<SettingEntry> sorted;
    sorted.reserve(entries.size());
    for (const Ranked &rank : ranks)
        sorted.append(entries.at(rank.index));
    entries = sorted;
}

} // namespace

SettingFile::SettingFile(QObject *parent)
    : QObject(parent)
{
}

SettingFile::~SettingFile() = default;

SettingSection SettingFile::section(const QString &name) const
{
    return m_sections.value(name);
}

void SettingFile::setFileName(const QString &fileName)
{
    m_fileName = fileName;
    fromFile();
}

bool SettingFile::setContents(const QString &fileName, const QByteArray &bytes, QString *error)
{
    m_fileName = fileName;
    return load(bytes, error);
}

void SettingFile::fromFile()
{
    QFile file(m_fileName);
    load(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), nullptr);
}

bool SettingFile::load(const QByteArray &bytes, QString *error)
{
    m_sections.clear();
    // Bytes that start with a byte-order mark, or are valid UTF-8
    // throughout, are read as UTF-8; any other as Latin-1. A serialized
    // value is left out of the copy (the rest byte for byte), so that
    // QSettings never rebuilds one.
    bool emptied = false;
    const QByteArray whole = withoutSerializedValues(bytes, &emptied);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // Qt 6 reads every byte of an INI file as UTF-8, names included, and
    // drops what is not UTF-8. Its copy is written so that it gives what
    // Qt 5 gives for the bytes (see utf8Ini).
    const bool utf8 = LegacyText::isUtf8(whole);
    const QByteArray copied = utf8Ini(whole, utf8);
#else
    const bool utf8 = LegacyText::isUtf8(bytes);
    const QByteArray &copied = whole;
#endif
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/veltra-XXXXXX.ini"));
    const bool written = copy.open() && copy.write(copied) == copied.size() && copy.flush();
    if (!written) {
        if (error)
            *error = copy.errorString();
        m_sections.insert(QString(), SettingSection());
        emit updated();
        return false;
    }
    {
        QSettings settings(copy.fileName(), QSettings::IniFormat);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
        // Qt 5 takes INI bytes as Latin-1 unless the file starts with a
        // byte-order mark, which turns "Zoë" into "ZoÃ«". With the mark Qt
        // decodes the values as UTF-8, but still not the names.
        if (utf8)
            settings.setIniCodec("UTF-8");
#endif
        m_sections.insert(QString(), loadGroup(settings, QString(), utf8));
        for (const QString &group : settings.childGroups()) {
            settings.beginGroup(group);
            const QString name = storedName(group, utf8).toLower();
            m_sections.insert(name, loadGroup(settings, name, utf8));
            settings.endGroup();
        }
    }
    for (SettingSection &section : m_sections)
        sortEntries(section.entries);
    emit updated();
    return true;
}

} // namespace GsSetting
