#include "convert/scenarioreader.h"

#include "filesystem/filesystem.h"
#include "model/jsonfile.h"
#include "settings/legacytext.h"

#include <QJsonObject>
#include <QRegularExpression>
#include <QVector>

namespace {

// The line patterns, compiled once. Matching is case-sensitive and \w, \d
// and \s are ASCII classes.
struct ScenarioPatterns
{
    // A ";" not escaped by a backslash, and all after it (at least one character).
    QRegularExpression comment{QStringLiteral("(?<!\\\\);.+$")};
    QRegularExpression header{QStringLiteral("^\\[(.+)\\]")};
    QRegularExpression entry{QStringLiteral("^(\\w+)\\s*=\\s*(.+)")};
    QRegularExpression integer{QStringLiteral("^\\d+$")};
    QRegularExpression quoted{QStringLiteral("^\"(.+)\"$")};
};

const ScenarioPatterns &patterns()
{
    static const ScenarioPatterns instance;
    return instance;
}

const QString displayIconKey = QStringLiteral("display_icon");

// The section being read: "name" as written between the brackets (absent
// before the first header) and "data" with its entries.
struct Section
{
    QJsonObject header;
    QJsonObject data;

    void keepIn(QJsonArray &kept) const
    {
        QJsonObject entry = header;
        entry.insert(QStringLiteral("data"), data);
        collectScenarioData(kept, entry);
    }
};

QJsonValue entryValue(const QString &key, const QString &raw)
{
    const ScenarioPatterns &p = patterns();
    const QString text = raw.trimmed().simplified();
    if (key != displayIconKey && p.integer.match(text).hasMatch()) {
        bool ok = false;
        const int number = text.toInt(&ok, 10);
        return ok ? number : 0;
    }
    QString value = text;
    value.replace(p.quoted, QStringLiteral("\\1"));
    return value;
}

// QTextStream's line reading: lines end at "\n", a "\r" before it is dropped.
// Views into `text`, which must outlive them.
QVector<QStringView> lines(const QString &text)
{
    const QStringView all(text);
    QVector<QStringView> result;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = all.indexOf(QLatin1Char('\n'), start);
        QStringView line = end < 0 ? all.mid(start) : all.mid(start, end - start);
        // Nothing after the last line feed is no line.
        if (end < 0 && line.isEmpty())
            break;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        result.append(line);
        if (end < 0)
            break;
        start = end + 1;
    }
    return result;
}

} // namespace

QJsonArray readScenarioData(const FileSystem &files, const QString &path)
{
    QByteArray bytes;
    FileError error;
    if (!files.readFile(path, &bytes, &error))
        return {};
    const QString text = LegacyText::decode(bytes);

    const ScenarioPatterns &p = patterns();
    QJsonArray kept;
    Section current;
    for (const QStringView rawLine : lines(text)) {
        QString line = rawLine.toString();
        line.remove(p.comment);

        const QRegularExpressionMatch header = p.header.match(line);
        if (header.hasMatch()) {
            current.keepIn(kept);
            current = Section{{{QStringLiteral("name"), header.captured(1)}}, {}};
            continue;
        }
        const QRegularExpressionMatch entry = p.entry.match(line);
        if (entry.hasMatch()) {
            const QString key = entry.captured(1).trimmed();
            current.data.insert(key.toLower(), entryValue(key, entry.captured(2)));
        }
    }
    current.keepIn(kept);
    return kept;
}

void readScenarioIni(const FileSystem &files, QList<CsActor::LegacyEmote> &emotes, const QString &path)
{
    CsActor::readLegacyEmotes(emotes, readScenarioData(files, path));
}
