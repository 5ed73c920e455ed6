// The program built against Qt 5 and the one built against Qt 6 do the same:
// run on copies of one client, both print the same log (verbose, coloured),
// the same JSON records and leave the same trees and journals, byte for byte.
// Built where the other build's veltra-cli is named (VELTRA_OTHER_CLI).

#include "testsupport/clirunner.h"
#include "testsupport/randomclient.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

const QString otherCli = QStringLiteral(VELTRA_OTHER_CLI);

// Legacy descriptions of every encoding and INI form whose decoding differs
// between Qt 5's and Qt 6's QSettings, as raw bytes.
const QList<QPair<QString, QByteArray>> encodedDescriptions{
    {"Utf8/char.ini",
        "[Options]\nshowname=Zo\xc3\xab \xe7\x8c\xab\nname=Zo\xc3\xab\n[Emotions]\nnumber=2\n"
        "1=L\xc3\xa4"
        "cheln#-#normal#0#1\nZo\xc3\xab=Zo\xc3\xab#-#zo\xc3\xab#0#0\n"
        "[SoundN]\n1=sfx-\xc3\xa9\n"},
    {"Bom/char.ini",
        "\xef\xbb\xbf[Options]\nshowname=Zo\xc3\xab\n[\xc3\x9c"
        "ber]\nk=1\n[Emotions]\n"
        "1=\xe7\x8c\xab#-#\xe7\x8c\xab#0#1\n\xc3\x89t\xc3\xa9=a#-#b#0#0\n"},
    {"BomLatin1/char.ini",
        "\xef\xbb\xbf[Options]\nshowname=Zo\xeb!\nside=d\xe9"
        "f\n[Emotions]\n1=K\xeet#-#k\xeet#0#1\n"
        "Zo\xeb=Zo\xeb#-#a#0#0\n2=\xe7\x8c#-#\xe7\x8c\n"},
    {"Latin1/char.ini",
        "[Options]\r\nshowname=Zo\xeb\r\nname=Mir\xe9\r\n[Emotions]\r\n1=Gru\xdf#-#gru\xdf#0#1\r\n"
        "\xc9t\xe9=\xc9t\xe9#-#e#0#0\r\n[SoundN]\r\n1=sfx-\xe9\r\n"},
    {"Latin1/extra.ini", "[Options]\nshowname=Ende \xbb\n[Emotions]\n1=\xa9#-#c#0#0\n"},
    {"Escapes/char.ini",
        "[Options]\nshowname=\\xe9 \\x732b \"Kit, the Bold\"\nname=Zo\xc3\xab, Kit, \"a,b\"\n"
        "chat=Zo\\\n\xc3\xab\n[Emotions]\n1=Zo\\xeb#-#a#0#0\nZo%EB=e#-#e#0#0\nA%C3%ABb=f#-#f#0#0\n"
        "k%U732B=g#-#g#0#0\n\xc3\x83\xc2\xab=h#-#h#0#0\n\xc3\xab%C3%AB=i#-#i#0#0\n"
        "\"Zo\xc3\xab=1\"=j#-#j#0#0\n; Zo\xc3\xab\n"},
    {"EscapesLatin1/char.ini",
        "[Options]\nshowname=\\xe9 Zo\xeb, K\xeet\n[Emotions]\nZo%EB=e#-#e#0#0\n\xeb%C3%AB=i#-#i#0#0\n"
        "[Zo\xeb]\nk=\xeb\n"},
    {"Scenario/char.ini", "[scenario]\nemote=Zo\xc3\xab\ndisplay_icon=1\n"},
    {"ScenarioLatin1/char.ini", "[scenario]\r\nemote=Zo\xeb\r\ndisplay_icon=1\r\n"},
};

// Every entry below root: path and kind, a file's bytes, a link's target;
// journals apart (see journals()).
QStringList tree(const QString &root)
{
    QStringList lines;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = path.mid(root.size() + 1);
        if (name == QLatin1String("veltra-journal") || name.startsWith(QLatin1String("veltra-journal/")))
            continue;
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink())
            lines.append(name + " -> " + info.symLinkTarget().mid(root.size()));
        else if (info.isDir())
            lines.append(name + '/');
        else
            lines.append(name + " = " + QString::fromLatin1(TreeFixture::readFile(path).toHex()));
    }
    lines.sort();
    return lines;
}

// The journals' records but their headers, which name the time and the folder.
QStringList journals(const QString &root)
{
    QStringList records;
    const QDir folder(root + QStringLiteral("/veltra-journal"));
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        const QList<QByteArray> lines = TreeFixture::readFile(folder.filePath(name)).split('\n');
        for (int i = 1; i < lines.size(); ++i)
            records.append(QString::fromUtf8(lines.at(i)));
    }
    return records;
}

void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(
        from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        if (it.fileInfo().isDir())
            QVERIFY(QDir().mkpath(target));
        else
            QVERIFY(QFile::copy(path, target));
    }
}

// The same modification time on every entry, links themselves included: a
// deleted duplicate's journal record names its time to the nanosecond.
void setTimes(const QString &root)
{
    const struct timespec time = {1700000000, 123456789};
    const struct timespec times[2] = {time, time};
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QByteArray path = QFile::encodeName(it.next());
        QVERIFY(::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) == 0);
    }
}

// A run's output with the client's folder and the time of day (in the HTML
// log's title) put aside, one line each.
QStringList outputLines(const QByteArray &out, const QString &root)
{
    QString text = QString::fromUtf8(out);
    text.replace(root, QStringLiteral("CLIENT"));
    text.replace(QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ")),
        QStringLiteral("TIME"));
    return text.split(QLatin1Char('\n'));
}

// Compares line by line, so a failure names the first line that differs.
void compareLines(const QStringList &mine, const QStringList &other)
{
    for (int i = 0; i < qMin(mine.size(), other.size()); ++i)
        QCOMPARE(mine.at(i), other.at(i));
    QCOMPARE(mine.size(), other.size());
}

} // namespace

class TestQtVersions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameOutcome_data();
    void sameOutcome();
};

void TestQtVersions::initTestCase()
{
    QVERIFY2(QFileInfo(otherCli).isExecutable(), qPrintable(otherCli + " is no program"));
    const CliRun mine = runCli({"--version"});
    const CliRun other = runProgram(otherCli, {"--version"});
    // Both built from the same commit; rebuild the other one when not.
    QCOMPARE(mine.out, other.out);
}

void TestQtVersions::sameOutcome_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<int>("seed"); // 0: the client named, else a random one
    QTest::newRow("sample client") << QStringLiteral(SOURCE_DIR "/examples/sample-client") << 0;
    QTest::newRow("encodings") << QString() << 0;
    for (int seed = 1; seed <= 6; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("random client %1").arg(seed))) << QString() << seed;
}

void TestQtVersions::sameOutcome()
{
    QFETCH(QString, client);
    QFETCH(int, seed);
    QTemporaryDir dir;
    const QString mine = dir.filePath(QStringLiteral("mine"));
    const QString other = dir.filePath(QStringLiteral("other"));
    for (const QString &root : {mine, other}) {
        QVERIFY(QDir().mkpath(root));
        if (seed != 0) {
            QVERIFY(TreeFixture::build(root, RandomClient::entries(quint32(seed), 12)));
        } else if (!client.isEmpty()) {
            copyTree(client, root);
        } else {
            QVERIFY(TreeFixture::build(root, {"base/sounds/general/sfx-hit.wav=w"}));
            for (const auto &description : encodedDescriptions) {
                const QString path = root + "/base/characters/" + description.first;
                QVERIFY(QDir().mkpath(QFileInfo(path).path()));
                QVERIFY(TreeFixture::writeFile(path, description.second));
            }
        }
    }
    setTimes(mine);
    setTimes(other);
    QCOMPARE(tree(mine), tree(other));

    // The preview's records, then the run's coloured verbose log.
    const QList<QStringList> runs{
        {"--dry-run", "--json"}, {"--dry-run", "-v", "--html"}, {"-v", "--color=always"}};
    for (const QStringList &arguments : runs) {
        const CliRun a = runCli(arguments + QStringList{"--no-progress", mine});
        const CliRun b = runProgram(otherCli, arguments + QStringList{"--no-progress", other});
        QVERIFY(a.finished && b.finished);
        QVERIFY2(!a.out.isEmpty(), a.err.constData());
        QCOMPARE(a.exitCode, b.exitCode);
        compareLines(outputLines(a.out, mine), outputLines(b.out, other));
        if (QTest::currentTestFailed())
            return;
    }
    compareLines(tree(mine), tree(other));
    compareLines(journals(mine), journals(other));
}

QTEST_GUILESS_MAIN(TestQtVersions)
#include "tst_qtversions.moc"
