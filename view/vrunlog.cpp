#include "view/vrunlog.h"

#include "log/terminaltext.h"
#include "view/ansihtmlconverter.h"
#include "view/changesmodel.h"
#include "view/errormessagetextview.h"
#include "view/htmldocument.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

namespace {

// As the seed's log window renders a log: names shown as a terminal shows
// them, so that none can turn a line around or hide in it.
QString renderedLog(const QString &log)
{
    const std::string html = ansiHtmlConverter().convert(log.toUtf8().toStdString());
    return terminalText(QString::fromUtf8(html.data(), int(html.size())), TerminalText::Shown);
}

} // namespace

VRunLog::VRunLog(QWidget *parent)
    : QDialog(parent)
{
    m_heading = new QLabel(this);
    m_heading->setTextFormat(Qt::PlainText);
    // Selectable, so it can be copied like the log.
    m_heading->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    m_log = new ErrorMessageTextView(this);
    m_model = new ChangesModel(this);
    m_filter = new ChangesFilter(this);
    m_filter->setSourceModel(m_model);

    auto *changes = new QWidget(this);
    auto *show = new QComboBox(changes);
    show->addItems({tr("All"), tr("Changes"), tr("Warnings and errors")});
    auto *search = new QLineEdit(changes);
    search->setPlaceholderText(tr("Character or name"));
    search->setClearButtonEnabled(true);
    auto *showLabel = new QLabel(tr("&Show:"), changes);
    showLabel->setBuddy(show);
    auto *searchLabel = new QLabel(tr("&Find:"), changes);
    searchLabel->setBuddy(search);
    m_table = new QTableView(changes);
    m_table->setModel(m_filter);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto *bar = new QHBoxLayout;
    bar->addWidget(showLabel);
    bar->addWidget(show);
    bar->addSpacing(12);
    bar->addWidget(searchLabel);
    bar->addWidget(search, 1);
    auto *changesLayout = new QVBoxLayout(changes);
    changesLayout->addLayout(bar);
    changesLayout->addWidget(m_table);
    connect(show, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int index) { m_filter->setShow(ChangesFilter::Show(index)); });
    connect(search, &QLineEdit::textChanged, m_filter, &ChangesFilter::setSearch);
    auto *copy = new QShortcut(QKeySequence::Copy, m_table, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, &VRunLog::copyRows);

    // The log first: it is what the seed's window showed.
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(m_log, tr("&Log"));
    m_tabs->addTab(changes, tr("C&hanges"));

    auto *saveButton = new QPushButton(tr("Sa&ve report..."), this);
    saveButton->setAutoDefault(false);
    m_undo = new QPushButton(tr("&Undo this run"), this);
    m_undo->setAutoDefault(false);
    m_ok = new QPushButton(tr("&OK"), this);
    m_ok->setDefault(true);
    connect(saveButton, &QPushButton::clicked, this, &VRunLog::save);
    connect(m_undo, &QPushButton::clicked, this, &VRunLog::undo);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(saveButton);
    buttons->addStretch();
    buttons->addWidget(m_undo);
    buttons->addWidget(m_ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
}

void VRunLog::showRun(const RunLogContent &content)
{
    m_content = content;
    setWindowTitle(runLogTitle(QCoreApplication::applicationName(), content.facts.kind));
    m_heading->setText(runLogHeading(content.facts));
    m_log->setHtml(renderedLog(content.log));
    m_model->setRecords(content.records, content.client);
    m_table->resizeColumnsToContents();
    m_undo->setVisible(!content.undoJournal.isEmpty());
    m_tabs->setCurrentIndex(0);
    fitWidthToLog(this, m_log);
    resize(width(), std::max(height(), 480));
    m_ok->setFocus(Qt::OtherFocusReason);
    show();
    raise();
}

void VRunLog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_content.atEnd)
        return;
    // The view lays its text out once it has its size: scroll after that.
    QTimer::singleShot(0, this, [this] {
        QScrollBar *bar = m_log->verticalScrollBar();
        bar->setValue(bar->maximum());
    });
}

bool VRunLog::saveReport(const QString &path, bool json) const
{
    QByteArray bytes = m_content.jsonLines;
    if (!json) {
        const QString title
            = QStringLiteral("Veltra log: %1, %2")
                  .arg(m_content.client, QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
        bytes = QByteArray::fromStdString(
            htmlLogDocument(title.toStdString(), m_content.verboseLog.toStdString()));
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

void VRunLog::save()
{
    const QString html = tr("HTML document (*.html)");
    const QString json = tr("JSON Lines (*.jsonl)");
    QString filter = html;
    QString path = QFileDialog::getSaveFileName(
        this, tr("Save report"), m_content.client, html + QStringLiteral(";;") + json, &filter);
    if (path.isEmpty())
        return;
    // A name's own suffix says what it is; without one, the type chosen does.
    const auto endsWith
        = [&path](const char *suffix) { return path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive); };
    const bool namedHtml = endsWith(".html") || endsWith(".htm");
    const bool namedJson = endsWith(".jsonl") || endsWith(".json");
    const bool asJson = namedJson || (!namedHtml && filter == json);
    if (!namedHtml && !namedJson)
        path += asJson ? QStringLiteral(".jsonl") : QStringLiteral(".html");
    if (!saveReport(path, asJson))
        m_heading->setText(runLogHeading(m_content.facts) + QLatin1Char('\n')
            + tr("The report could not be saved as %1.").arg(terminalText(path, TerminalText::Raw)));
}

void VRunLog::undo()
{
    const UndoQuestion question{m_content.undoJournal.section(QLatin1Char('/'), -1), m_content.undoStarted,
        m_content.facts.counts.moves + m_content.facts.counts.deletions + m_content.facts.counts.documents
            + m_content.facts.counts.folders};
    if (askUndo && !askUndo(this, question))
        return; // as it was
    emit undoRequested(m_content.undoJournal);
    accept();
}

void VRunLog::copyRows()
{
    QModelIndexList rows = m_table->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
        [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList lines;
    for (const QModelIndex &row : rows) {
        QStringList cells;
        for (int column = 0; column < m_filter->columnCount(); ++column)
            cells.append(m_filter->index(row.row(), column).data().toString());
        lines.append(cells.join(QLatin1Char('\t')));
    }
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}
