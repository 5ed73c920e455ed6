#include "view/errormessagetextview.h"

ErrorMessageTextView::ErrorMessageTextView(QWidget *parent)
    : QTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
}

QSize ErrorMessageTextView::sizeHint() const
{
    return QSize(640, 200);
}

QSize ErrorMessageTextView::minimumSizeHint() const
{
    return QSize(50, 50);
}
