#pragma once

#include <QTextEdit>

// The read-only rich-text view of the log window, sized for a log.
class ErrorMessageTextView : public QTextEdit
{
    Q_OBJECT

public:
    explicit ErrorMessageTextView(QWidget *parent);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

// Makes `window` wide enough for the longest line `view` holds unwrapped, up
// to the screen's available width; never narrower than it asks to be.
void fitWidthToLog(QWidget *window, const ErrorMessageTextView *view);
