#pragma once

#include <QApplication>

// The program's application object. Besides what QApplication does, it
// gives the application its identity (name, version, display name and
// window icon, from the version record and the resource bundle) and is the
// last resort for exceptions thrown while an event is delivered.
class CApplication : public QApplication
{
    Q_OBJECT

public:
    CApplication(int &argc, char **argv);

    // Delivers the event. An exception that escapes its handler is logged at
    // critical level ("EXCEPTION <what>" or "UNKNOWN EXCEPTION") and ends the
    // event loop with exit code 0; the event then counts as handled.
    bool notify(QObject *receiver, QEvent *event) override;
};
