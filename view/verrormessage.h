#pragma once

#include <QDialog>
#include <QString>

#include <memory>

struct VErrorMessageData;

// The log window: a modeless dialog that shows one message at a time,
// rendered from ANSI-coloured text to HTML. Messages that arrive while one is
// on screen wait in a queue; each OK (or Esc, or close) moves on to the next
// one, and with the queue empty the dialog hides.
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

protected:
    void changeEvent(QEvent *event) override;
    void done(int result) override;

private:
    bool isMessageToBeShown(const QString &message, const QString &type) const;
    bool nextPending();
    void retranslate();

    const std::unique_ptr<VErrorMessageData> d;
};
