// The headless program's own conventions: options, exit status, colour and
// the streams it writes to.

#include "testsupport/clirunner.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void usageErrors_data();
    void usageErrors();
    void noCharacterFolders_data();
    void noCharacterFolders();
    void colour_data();
    void colour();
    void exitStatus_data();
    void exitStatus();
    void currentFolderIsTheDefault();
    void informationOnly_data();
    void informationOnly();
    void html();
    void progressOnlyOnATerminal();
    void progressWhereBothStreamsAreTheTerminal_data();
    void progressWhereBothStreamsAreTheTerminal();
    void terminalConventions_data();
    void terminalConventions();
    void hintForAFolderOneLevelOff_data();
    void hintForAFolderOneLevelOff();
    void interruptFinishesTheCharacterInHand();
    void closedOutputStopsBetweenCharacters();
    void jsonRecordsNameTheirPlaces_data();
    void jsonRecordsNameTheirPlaces();
    void jsonEndsWithASummary_data();
    void jsonEndsWithASummary();
    void undoLinesNamePathsFromTheTop();
    void stoppedRunEndsItsLog_data();
    void stoppedRunEndsItsLog();

private:
    QTemporaryDir m_client;
};

void TestCli::initTestCase()
{
    // One warning, so there is colour to keep or strip.
    QVERIFY(TreeFixture::build(
        m_client.path(), {"base/characters/Kit/char_icon.png=i", "base/characters/Kit/actor.png=i"}));
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing folder") << QStringList{"/no/such/folder"} << "'/no/such/folder' is not a folder";
    QTest::newRow("folder is a file") << QStringList{"file"} << "'file' is not a folder";
    QTest::newRow("two folders") << QStringList{".", "."} << "one FOLDER at most";
    QTest::newRow("bad colour") << QStringList{"--color=sometimes"} << "--color takes auto, always or never";
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << "Unknown option 'frobnicate'";
    QTest::newRow("an option that sets the title")
        << QStringList{"--fr\x1b]0;owned\aob"} << "Unknown option 'fr\x1b]0;owned\aob'";
    QTest::newRow("unknown character")
        << QStringList{"--character", "kti", "."} << "unknown character 'kti'; the nearest: Kit";
    QTest::newRow("character and undo")
        << QStringList{"--undo", "--character", "Kit"} << "--character does not go with --undo";
    QTest::newRow("character and journals")
        << QStringList{"--journals", "--character=Kit"} << "--character does not go with --journals";
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(TreeFixture::build(dir.path(), {"file=x", "base/characters/Kit/char_icon.png=i"}));

    const CliRun run = runCli(arguments, dir.path());
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith(QByteArray("veltra-cli: " + message.toUtf8())), run.err.constData());
    // A usage error touches nothing.
    QVERIFY(QFile::exists(dir.filePath("base/characters/Kit/char_icon.png")));

    // On a terminal the line shows what the argument holds, and acts on nothing.
    const QString script = QStandardPaths::findExecutable("script");
    if (script.isEmpty())
        QSKIP("needs script(1) to give the program a terminal");
    QString command = VELTRA_CLI;
    for (const QString &argument : arguments)
        command += " '" + argument + "'";
    QProcess terminal;
    terminal.setWorkingDirectory(dir.path());
    terminal.start(script, {"-qefc", command, "/dev/null"});
    QVERIFY(terminal.waitForFinished(60000));
    const QByteArray screen = terminal.readAllStandardOutput();
    QVERIFY2(!screen.contains('\x1b') && !screen.contains('\a'), screen.constData());
    const QString shown = QString(message).replace("\x1b", "\\x1b").replace("\a", "\\x07");
    QVERIFY2(screen.startsWith(QByteArray("veltra-cli: " + shown.toUtf8())), screen.constData());
}

void TestCli::noCharacterFolders_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode"); // no client is an error; a client without characters is not

    QTest::newRow("no base") << QStringList{"other/"} << QStringList() << 1;
    QTest::newRow("no characters") << QStringList{"base/sounds/"} << QStringList() << 1;
    QTest::newRow("characters holds only files")
        << QStringList{"base/characters/readme.txt=r"} << QStringList() << 0;
    QTest::newRow("undo, no base") << QStringList{"other/"} << QStringList{"--undo"} << 1;
    QTest::newRow("journals, no base") << QStringList{"other/"} << QStringList{"--journals"} << 1;
    QTest::newRow("dry run, no characters") << QStringList{"base/sounds/"} << QStringList{"-n"} << 1;
}

void TestCli::noCharacterFolders()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    QVERIFY(TreeFixture::build(dir.path(), entries));
    const CliRun run = runCli(options + QStringList{dir.path()});
    QVERIFY(run.finished);
    QTEST(run.exitCode, "exitCode");
    QCOMPARE(run.out, QByteArray());
    const QString characters = QDir(dir.path()).canonicalPath() + "/base/characters";
    QCOMPARE(QString::fromUtf8(run.err), "veltra-cli: No character folders found in " + characters + ".\n");
}

void TestCli::colour_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<bool>("coloured");

    QTest::newRow("always") << QStringList{"--color=always"} << QStringList() << true;
    QTest::newRow("always despite NO_COLOR")
        << QStringList{"--color=always"} << QStringList{"NO_COLOR=1"} << true;
    QTest::newRow("never") << QStringList{"--color=never"} << QStringList() << false;
    QTest::newRow("auto, not a terminal") << QStringList{"--color=auto"} << QStringList() << false;
    QTest::newRow("default is auto") << QStringList() << QStringList() << false;
}

void TestCli::colour()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(bool, coloured);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(
        client.path(), {"base/characters/Kit/char_icon.png=i", "base/characters/Kit/actor.png=i"}));

    const CliRun run = runCli(arguments + QStringList{client.path()}, QString(), environment);
    QVERIFY(run.finished);
    const QByteArray message = "char_icon.png is a duplicate of actor.png, char_icon.png has been deleted";
    const QByteArray line = QByteArray(coloured ? "\x1b[33m[WARNING] \x1b[0m" : "[WARNING] ") + message;
    QCOMPARE(run.out, "Restructuring Kit...\n" + line + "\nDone!\n");
    QCOMPARE(run.exitCode, 0); // warnings are not errors
}

void TestCli::exitStatus_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("clean") << QStringList{"base/characters/Kit/char_icon.png=i"} << 0;
    QTest::newRow("error line") << QStringList{"base/characters/Kit/char_icon.png=i",
        "base/characters/Kit/actor.png=j"}
                                << 1;
    QTest::newRow("error in a later folder") << QStringList{"base/characters/A/x.png=1",
        "base/characters/B/char_icon.png=i", "base/characters/B/actor.png=j"}
                                             << 1;
}

void TestCli::exitStatus()
{
    QFETCH(QStringList, entries);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), entries));
    const CliRun run = runCli({"--quiet", client.path()});
    QVERIFY(run.finished);
    QTEST(run.exitCode, "exitCode");
    QCOMPARE(run.err, QByteArray()); // no progress display off a terminal, no summary when quiet
}

void TestCli::currentFolderIsTheDefault()
{
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), {"base/characters/Kit/char_icon.png=i"}));
    const CliRun run = runCli({}, client.path());
    QVERIFY(run.finished);
    QCOMPARE(run.out, QByteArray("Restructuring Kit...\nDone!\n"));
    QVERIFY(QFile::exists(client.filePath("base/characters/Kit/actor.png")));
}

void TestCli::informationOnly_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("pattern"); // the whole output, when given
    QTest::addColumn<QStringList>("texts"); // each somewhere in the output

    QTest::newRow("version") << QStringList{"--version"}
                             << "^nimbo 1\\.10\\.0\\+rev\\.1-build\\.[0-9a-f]{7}\n$" << QStringList();
    QTest::newRow("help") << QStringList{"--help"} << QString()
                          << QStringList{"--color <when>", "--html", "[FOLDER]", "changes FOLDER in place",
                                 "--dry-run", "--undo", "--character <name>", "Exit status:", "130",
                                 "Examples:"};
    QTest::newRow("help with Qt's options")
        << QStringList{"--help-all"} << QString() << QStringList{"--dry-run"};
}

// Each prints and ends, and migrates nothing in the folder it was started in.
void TestCli::informationOnly()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, pattern);
    QFETCH(QStringList, texts);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), {"base/characters/Kit/char_icon.png=i"}));
    const CliRun run = runCli(arguments, client.path());
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    if (!pattern.isEmpty())
        QVERIFY2(QRegularExpression(pattern).match(run.out).hasMatch(), run.out.constData());
    for (const QString &text : texts)
        QVERIFY2(run.out.contains(text.toUtf8()), qPrintable(text));
    QVERIFY(QFile::exists(client.filePath("base/characters/Kit/char_icon.png")));
    QVERIFY(!QFileInfo::exists(client.filePath("veltra-journal")));
}

void TestCli::html()
{
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(
        client.path(), {"base/characters/K<1>/char_icon.png=i", "base/characters/K<1>/actor.png=j"}));
    const CliRun run = runCli({"--html", "--color=never", client.path()});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    // A complete document around the window's body.
    QVERIFY2(
        run.out.startsWith(
            "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Veltra log: "),
        run.out.constData());
    QVERIFY(run.out.contains("</title>\n</head>\n<body style=\"background-color:#111111;"));
    QVERIFY(run.out.endsWith("</body>\n</html>\n"));
    // Colours are rendered whatever --color says; names are escaped.
    QVERIFY(run.out.contains(
        "Restructuring K&lt;1&gt;...<br /><font color=\"#de382b\">[ERROR] </font>unable to move"));
}

void TestCli::progressOnlyOnATerminal()
{
    const QString script = QStandardPaths::findExecutable("script");
    if (script.isEmpty())
        QSKIP("needs script(1) to give the program a terminal");
    QTemporaryDir client;
    QVERIFY(
        TreeFixture::build(client.path(), {"base/characters/Alpha/x.png=1", "base/characters/Beta/y.png=2"}));

    // script(1) runs the program on a pseudo-terminal and copies what it wrote.
    QProcess process;
    process.start(
        script, {"-qefc", QString("%1 --color=never %2").arg(VELTRA_CLI, client.path()), "/dev/null"});
    QVERIFY(process.waitForFinished(60000));
    const QByteArray screen = process.readAllStandardOutput();
    QVERIFY2(screen.contains("\r\x1b[K0/2 0% 0:00 Alpha"), screen.constData());
    QVERIFY(screen.contains("\r\x1b[KRestructuring Alpha...")); // erased before the log is printed
}

void TestCli::progressWhereBothStreamsAreTheTerminal_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("redirection");
    QTest::addColumn<bool>("progress");

    QTest::newRow("both on the terminal") << ""
                                          << "" << true;
    QTest::newRow("log into a pager") << ""
                                      << "| cat" << false;
    QTest::newRow("log into a file") << ""
                                     << "> log.txt" << true;
    QTest::newRow("log into a file, refused") << "--no-progress"
                                              << "> log.txt" << false;
    QTest::newRow("asked for, log into a pager") << "--progress"
                                                 << "| cat" << true;
    QTest::newRow("asked for on a dumb terminal") << "--progress"
                                                  << "" << true;
    QTest::newRow("refused on the terminal") << "--no-progress"
                                             << "" << false;
    QTest::newRow("the last one wins: off") << "--progress --no-progress"
                                            << "" << false;
    QTest::newRow("the last one wins: on") << "--no-progress --progress"
                                           << "| cat" << true;
}

void TestCli::progressWhereBothStreamsAreTheTerminal()
{
    QFETCH(QString, options);
    QFETCH(QString, redirection);
    QFETCH(bool, progress);
    const QString script = QStandardPaths::findExecutable("script");
    if (script.isEmpty())
        QSKIP("needs script(1) to give the program a terminal");
    QTemporaryDir client;
    QVERIFY(
        TreeFixture::build(client.path(), {"base/characters/Alpha/x.png=1", "base/characters/Beta/y.png=2"}));
    const QString term = QString(QTest::currentDataTag()).contains("dumb") ? "dumb" : "xterm";
    QProcess process;
    process.setWorkingDirectory(client.path());
    process.start(script,
        {"-qefc",
            QString("env TERM=%1 %2 -q --color=never %3 . %4").arg(term, VELTRA_CLI, options, redirection),
            "/dev/null"});
    QVERIFY(process.waitForFinished(60000));
    const QByteArray screen = process.readAllStandardOutput();
    QCOMPARE(screen.contains("0/2 0% 0:00 Alpha"), progress);
    // The log reaches its reader whole either way.
    QFile file(client.filePath("log.txt"));
    const QByteArray log = file.open(QIODevice::ReadOnly) ? file.readAll() : screen;
    QVERIFY2(log.contains("Restructuring Beta..."), log.constData());
}

void TestCli::terminalConventions_data()
{
    QTest::addColumn<QString>("environment");
    QTest::addColumn<bool>("coloured");
    QTest::addColumn<bool>("progress");

    QTest::newRow("a terminal") << "" << true << true;
    QTest::newRow("empty NO_COLOR is no request") << "NO_COLOR=" << true << true;
    QTest::newRow("NO_COLOR") << "NO_COLOR=1" << false << true;
    QTest::newRow("dumb terminal") << "TERM=dumb" << false << false;
}

void TestCli::terminalConventions()
{
    QFETCH(QString, environment);
    QFETCH(bool, coloured);
    QFETCH(bool, progress);
    const QString script = QStandardPaths::findExecutable("script");
    if (script.isEmpty())
        QSKIP("needs script(1) to give the program a terminal");
    // A name that would turn the rest of its line around.
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(),
        {"base/characters/K\u202eit/char_icon.png=i", "base/characters/K\u202eit/actor.png=i"}));
    const QByteArray piped = runCli({"-n", "-q", client.path()}).out;
    QVERIFY2(piped.startsWith("Restructuring K\u202eit...\n"), piped.constData());
    QProcess process;
    process.start(script,
        {"-qefc", QString("env TERM=xterm %1 %2 -q %3").arg(environment, VELTRA_CLI, client.path()),
            "/dev/null"});
    QVERIFY(process.waitForFinished(60000));
    const QByteArray screen = process.readAllStandardOutput();
    QCOMPARE(screen.contains("\x1b[33m[WARNING]"), coloured);
    QCOMPARE(screen.contains("0/1 0% 0:00 K\\u202eit"), progress);
    QVERIFY2(
        screen.contains("Restructuring K\\u202eit...") && !screen.contains("\u202e"), screen.constData());
}

void TestCli::hintForAFolderOneLevelOff_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("base") << "base" << QStringList();
    QTest::newRow("characters") << "base/characters" << QStringList();
    QTest::newRow("a character") << "base/characters/Kit" << QStringList();
    QTest::newRow("undo in base") << "base" << QStringList{"--undo"};
    QTest::newRow("journals of a character") << "base/characters/Kit" << QStringList{"--journals"};
}

void TestCli::hintForAFolderOneLevelOff()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, options);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), {"base/characters/Kit/x.png=1"}));
    const CliRun run = runCli(options + QStringList{client.filePath(folder)});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith("veltra-cli: No character folders found in "), run.err.constData());
    QVERIFY2(run.err.contains(QByteArray("did you mean " + QDir(client.path()).canonicalPath().toUtf8()
                 + ", the folder that holds base?")),
        run.err.constData());
    QVERIFY(QFile::exists(client.filePath("base/characters/Kit/x.png")));
}

void TestCli::interruptFinishesTheCharacterInHand()
{
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), TreeFixture::manyCharacters(400)));
    const QStringList original = TreeFixture::describe(client.path());

    QProcess process;
    process.start(VELTRA_CLI, {"-q", client.path()});
    QVERIFY(process.waitForReadyRead(60000)); // the first character is done
    ::kill(pid_t(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 130);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY(process.readAllStandardError().contains("stopped after"));

    // Complete blocks, exactly for the characters migrated; nothing half moved.
    const int done = out.count("Restructuring ");
    QVERIFY(done > 0 && done < 400);
    QCOMPARE(out.count("Done!\n"), done);
    for (int i = 0; i < 400; ++i) {
        const QString character = client.filePath(TreeFixture::manyCharacterFolder(i));
        const bool migrated = QFile::exists(character + "actor.png");
        QCOMPARE(migrated, i < done);
        QCOMPARE(QFile::exists(character + "sprites/a.png"), migrated);
        QCOMPARE(QFile::exists(character + "resources/1.png"), migrated);
    }
    QCOMPARE(runCli({"--undo", "-q", client.path()}).exitCode, 0);
    QCOMPARE(TreeFixture::describe(client.path()), original);
}

void TestCli::closedOutputStopsBetweenCharacters()
{
    QTemporaryDir client;
    QStringList entries;
    for (int i = 0; i < 300; ++i)
        entries << QString("base/characters/C%1/char_icon.png=%1").arg(i)
                << QString("base/characters/C%1/x.png=x").arg(i);
    QVERIFY(TreeFixture::build(client.path(), entries));
    const QStringList before = TreeFixture::describe(client.path());

    // The reader of the pipe takes the first block and goes, as head does.
    QProcess shell;
    shell.start("bash",
        {"-c",
            QString("'%1' --color=never '%2' | head -c 20 >/dev/null; echo ${PIPESTATUS[0]}")
                .arg(VELTRA_CLI, client.path())});
    QVERIFY(shell.waitForFinished(120000));
    const QByteArray err = shell.readAllStandardError();
    QCOMPARE(shell.readAllStandardOutput().trimmed(), QByteArray("141"));
    QVERIFY2(err.contains("veltra-cli: stopped after"), err.constData());
    QVERIFY2(err.contains("characters done"), err.constData()); // the summary

    // Every character is whole, and the journal names every change: the undo gives all back.
    const CliRun undo = runCli({"--undo", "-q", client.path()});
    QCOMPARE(undo.exitCode, 0);
    QCOMPARE(TreeFixture::describe(client.path()), before);
}

void TestCli::jsonRecordsNameTheirPlaces_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("record");

    QTest::newRow("a duplicate")
        << QStringList{"base/characters/Kit/char_icon.png=i", "base/characters/Kit/actor.png=i"}
        << "{\"op\":\"warning\",\"text\":\"char_icon.png is a duplicate of actor.png, char_icon.png has been "
           "deleted\",\"character\":\"Kit\",\"from\":\"base/characters/Kit/char_icon.png\","
           "\"to\":\"base/characters/Kit/actor.png\"}\n"
           "{\"op\":\"delete\",\"path\":\"base/characters/Kit/char_icon.png\"";
    QTest::newRow("two different files")
        << QStringList{"base/characters/Kit/char_icon.png=i", "base/characters/Kit/actor.png=j"}
        << "{\"op\":\"error\",\"text\":\"unable to move char_icon.png to actor.png; files are different "
           "from each others\",\"character\":\"Kit\",\"from\":\"base/characters/Kit/char_icon.png\","
           "\"to\":\"base/characters/Kit/actor.png\"}\n";
    QTest::newRow("below a sub-folder, a name to escape")
        << QStringList{"base/characters/K \"1\"/shouts/holdit.png=a",
               "base/characters/K \"1\"/shouts/sprites/holdit.png=b"}
        << "\"character\":\"K \\\"1\\\"\",\"from\":\"base/characters/K \\\"1\\\"/shouts/holdit.png\","
           "\"to\":\"base/characters/K \\\"1\\\"/shouts/sprites/holdit.png\"}\n";
    QTest::newRow("a folder that cannot move")
        << QStringList{"base/characters/Kit/emotions/1.png=a", "base/characters/Kit/resources/"}
        << "\"character\":\"Kit\",\"from\":\"base/characters/Kit/emotions\","
           "\"to\":\"base/characters/Kit/resources\"}\n";
}

void TestCli::jsonRecordsNameTheirPlaces()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, record);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), entries));
    const QByteArray text = runCli({"-n", "-q", "--color=never", client.path()}).out;
    const CliRun run = runCli({"-n", "-q", "--json", client.path()});
    QVERIFY(run.finished);
    QVERIFY2(run.out.contains(record.toUtf8()), run.out.constData());
    // One record a warning or error line, and no line of text.
    const auto count = [](const QByteArray &bytes, const QByteArray &what) { return bytes.count(what); };
    QCOMPARE(count(run.out, "{\"op\":\"warning\""), count(text, "[WARNING]"));
    QCOMPARE(count(run.out, "{\"op\":\"error\""), count(text, "[ERROR]"));
    for (const QByteArray &line : run.out.split('\n'))
        QVERIFY2(line.isEmpty() || line.startsWith("{\"op\":"), line.constData());
}

void TestCli::jsonEndsWithASummary_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("summary"); // a pattern

    QTest::newRow("dry run")
        << QStringList{"-n"}
        << "^\\{\"op\":\"summary\",\"version\":1,\"characters\":\\{\"done\":2,\"total\":2\\},"
           "\"moves\":3,\"deletions\":1,\"documents\":0,\"folders\":1,\"errors\":1,"
           "\"journal\":null,\"stopped\":false,\"dry_run\":true,\"undo\":false\\}$";
    QTest::newRow("run")
        << QStringList{}
        << "^\\{\"op\":\"summary\",\"version\":1,\"characters\":\\{\"done\":2,\"total\":2\\},"
           "\"moves\":3,\"deletions\":1,\"documents\":0,\"folders\":1,\"errors\":1,"
           "\"journal\":\".*/veltra-journal/[0-9T]+Z\\.jsonl\",\"stopped\":false,"
           "\"dry_run\":false,\"undo\":false\\}$";
    QTest::newRow("undo")
        << QStringList{"--undo"}
        << "^\\{\"op\":\"summary\",\"version\":1,\"changes\":\\{\"done\":5,\"total\":5\\},"
           "\"moves\":3,\"deletions\":0,\"documents\":1,\"folders\":1,\"errors\":0,"
           "\"journal\":\".*\\.jsonl\",\"stopped\":false,\"dry_run\":false,\"undo\":true\\}$";
}

void TestCli::jsonEndsWithASummary()
{
    QFETCH(QStringList, options);
    QFETCH(QString, summary);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(),
        {"base/characters/Kit/char_icon.png=i", "base/characters/Kit/a.png=a", "base/characters/Kit/b.png=b",
            "base/characters/Kit/sprites/b.png=b", "base/characters/Lin/char_icon.png=i",
            "base/characters/Lin/actor.png=j", "base/characters/Lin/c.png=c"}));
    if (options.contains("--undo"))
        QCOMPARE(runCli({"-q", client.path()}).exitCode, 1);
    const CliRun run = runCli(options + QStringList{"-q", "--json", client.path()});
    QVERIFY(run.finished);
    QVERIFY(run.out.endsWith('\n'));
    const QString last = QString::fromUtf8(run.out).section('\n', -2, -2);
    QVERIFY2(QRegularExpression(summary).match(last).hasMatch(), qPrintable(last));
    QCOMPARE(run.out.count("\"op\":\"summary\""), 1);
}

void TestCli::undoLinesNamePathsFromTheTop()
{
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), {"base/characters/Kit/char_icon.png=i"}));
    QCOMPARE(runCli({"-q", client.path()}).exitCode, 0);
    const CliRun undo = runCli({"--undo", "-n", "-v", "-q", "--color=never", client.path()});
    QCOMPARE(undo.exitCode, 0);
    QVERIFY2(
        undo.out.contains("\n  moved base/characters/Kit/actor.png to base/characters/Kit/char_icon.png\n"),
        undo.out.constData());
}

void TestCli::stoppedRunEndsItsLog_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("ending"); // what the output ends with; %1 the characters done

    QTest::newRow("text") << QStringList{"--color=always"}
                          << "Done!\n\nStopped after %1 of 300 characters.\n";
    QTest::newRow("verbose html") << QStringList{"--html", "-v"}
                                  << "Done!<br /><br />Stopped after %1 of 300 characters.</body>\n</html>\n";
    QTest::newRow("json") << QStringList{"--json"}
                          << "{\"op\":\"summary\",\"version\":1,\"characters\":{\"done\":%1,\"total\":300},";
}

void TestCli::stoppedRunEndsItsLog()
{
    QFETCH(QStringList, options);
    QFETCH(QString, ending);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), TreeFixture::manyCharacters(300)));

    // The progress line, asked for on a pipe, says the walk has begun.
    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    process.start(VELTRA_CLI, QStringList{"-q", "--progress", client.path()} + options);
    QVERIFY(process.waitForReadyRead(60000));
    ::kill(pid_t(process.processId()), SIGTERM);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 143);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());

    // Every character migrated left its actor.png; the log counts exactly those.
    int done = 0;
    while (done < 300
        && QFile::exists(
            client.filePath(QString("base/characters/C%1/actor.png").arg(done, 3, 10, QChar('0')))))
        ++done;
    QVERIFY(done > 0 && done < 300);
    const QString expected = ending.arg(done);
    if (options.contains("--json")) {
        const QString last = out.section('\n', -2, -2);
        QVERIFY2(last.startsWith(expected), qPrintable(last));
        QVERIFY2(last.contains("\"stopped\":true,\"dry_run\":false,\"undo\":false}"), qPrintable(last));
        QVERIFY(!out.contains("Stopped after"));
    } else {
        QVERIFY2(out.endsWith(expected), qPrintable(out.right(200)));
        QCOMPARE(out.count("Stopped after"), 1);
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
