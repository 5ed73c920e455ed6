#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

struct VErrorMessageData;

// The log window: a modeless dialog that shows one message at a time,
// rendered from ANSI-coloured text to HTML. Messages that arrive while one is
// on screen wait in a queue; each OK (or Esc, or close) moves on to the next
// one, and with the queue empty the dialog hides.
//
// A run's log may come with the journal of that run: then the window offers
// "Undo this run" beside OK for as long as that log is on screen.
class VErrorMessage : public QDialog
{
    Q_OBJECT

public:
    explicit VErrorMessage(QWidget *parent = nullptr);
    ~VErrorMessage() override;

    // The process's log window, created hidden on first use and titled with
    // the application name; deleted when the application object goes.
    static VErrorMessage *instance();

public slots:
    void showMessage(const QString &message);
    void showMessage(const QString &message, const QString &type);
    // A run's log. With `undoJournal` set, the window offers to undo that
    // run; with `atEnd`, it opens scrolled to the log's last line.
    void showLog(const QString &log, const QString &undoJournal, bool atEnd);

public:
    // Asked when "Undo this run" is pressed, with the run's journal: false
    // leaves the log on screen as it was. Unset, the undo goes ahead.
    std::function<bool(const QString &journal)> confirmUndo;

signals:
    // "Undo this run" was pressed for the run of `journal`; the log it
    // belonged to is closed as OK closes it.
    void undoRequested(const QString &journal);

protected:
    void changeEvent(QEvent *event) override;
    void done(int result) override;
    void showEvent(QShowEvent *event) override;

private:
    bool isMessageToBeShown(const QString &message, const QString &type) const;
    bool nextPending();
    void offerUndo(const QString &journal);
    void scrollIfAsked();
    void retranslate();

    const std::unique_ptr<VErrorMessageData> d;
};
