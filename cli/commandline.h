#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

// The headless program's options and their help, in one place.
struct CommandLine
{
    CommandLine();

    QCommandLineParser parser;
    const QCommandLineOption help;
    const QCommandLineOption version;
    const QCommandLineOption color;
    const QCommandLineOption html;
    const QCommandLineOption dryRun;
    const QCommandLineOption verbose;
    const QCommandLineOption json;
    const QCommandLineOption quiet;
    const QCommandLineOption progress;
    const QCommandLineOption noProgress;
    const QCommandLineOption undo;
    const QCommandLineOption journals;
    const QCommandLineOption character;

    // The help text, with the exit status and examples after the options.
    QString helpText() const;
    // --progress and --no-progress: the last one given wins, so an alias can
    // be overridden on the command line.
    bool progressWanted() const;
};
