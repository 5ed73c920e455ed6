#include "view/errormessagetextview.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <memory>

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

void fitWidthToLog(QWidget *window, const ErrorMessageTextView *view)
{
    const std::unique_ptr<QTextDocument> unwrapped(view->document()->clone());
    unwrapped->setTextWidth(-1);
    const int text = int(std::ceil(unwrapped->size().width())) + 2 * view->frameWidth()
        + view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    // What the window holds beside the view: its margins, an icon column.
    const int around = window->sizeHint().width() - view->sizeHint().width();
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const int available = screen ? screen->availableGeometry().width() : text + around;
    const int wanted = std::max(window->sizeHint().width(), std::min(text + around, available));
    window->resize(wanted, window->isVisible() ? window->height() : window->sizeHint().height());
}
