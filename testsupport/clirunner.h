#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the headless program once and keeps what it printed.
struct CliRun
{
    QByteArray out;
    QByteArray err;
    int exitCode = -1;
    bool finished = false;
};

// Runs `program` (the headless program, or a tool that starts it) once.
inline CliRun runProgram(const QString &program, const QStringList &arguments,
    const QString &workingFolder = QString(), const QStringList &environment = QStringList())
{
    QProcess process;
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    if (!environment.isEmpty())
        process.setEnvironment(QProcess::systemEnvironment() + environment);
    process.start(program, arguments);
    CliRun run;
    run.finished = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    run.exitCode = process.exitCode();
    return run;
}

// The program whose path the test's build defines as VELTRA_CLI.
inline CliRun runCli(const QStringList &arguments, const QString &workingFolder = QString(),
    const QStringList &environment = QStringList())
{
    return runProgram(QStringLiteral(VELTRA_CLI), arguments, workingFolder, environment);
}
