#include "testsupport/treefixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

namespace TreeFixture {

namespace {

void describeInto(const QString &root, const QString &prefix, QStringList &result)
{
    const QFileInfoList entries
        = QDir(root + '/' + prefix)
              .entryInfoList(
                  QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &info : entries) {
        const QString name = prefix + info.fileName();
        if (info.isSymLink()) {
            result.append(name + "->" + QFile::symLinkTarget(info.filePath()).section('/', -1));
        } else if (info.isDir()) {
            result.append(name + '/');
            describeInto(root, name + '/', result);
        } else {
            result.append(name + '=' + QString::fromUtf8(readFile(info.filePath())));
        }
    }
}

} // namespace

QString manyCharacterFolder(int i)
{
    return QString("base/characters/C%1/").arg(i, 3, 10, QChar('0'));
}

QStringList manyCharacters(int count)
{
    QStringList entries;
    for (int i = 0; i < count; ++i) {
        const QString character = manyCharacterFolder(i);
        entries << character + "char_icon.png=i" << character + "emotions/1.png=e" << character + "a.png=a";
    }
    return entries;
}

bool build(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const QString name = entry.section('=', 0, 0).section("->", 0, 0);
        const QString path = root + '/' + name;
        bool made = false;
        if (entry.endsWith('/'))
            made = QDir().mkpath(path);
        else if (!entry.contains('=') && entry.contains("->"))
            made = QDir().mkpath(QFileInfo(path).absolutePath()) && QFile::link(entry.section("->", 1), path);
        else
            made = writeFile(path, entry.section('=', 1).toUtf8());
        if (!made) {
            QTest::qFail(qPrintable("cannot make " + path), __FILE__, __LINE__);
            return false;
        }
    }
    return true;
}

QStringList describe(const QString &root)
{
    QStringList result;
    describeInto(root, QString(), result);
    // The run's journals are no part of the client.
    result = result.filter(QRegularExpression("^(?!veltra-journal/)"));
    result.removeAll("veltra-journal/");
    result.sort();
    return result;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace TreeFixture
