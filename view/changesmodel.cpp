#include "view/changesmodel.h"

#include "log/terminaltext.h"

#include <QDir>

namespace {

QString kindName(const LogRecord &record)
{
    switch (record.kind) {
    case LogRecord::Kind::Warning:
        return ChangesModel::tr("warning");
    case LogRecord::Kind::Error:
        return ChangesModel::tr("error");
    default:
        break;
    }
    switch (record.change.kind) {
    case Change::Move:
        return ChangesModel::tr("moved");
    case Change::Delete:
        return ChangesModel::tr("deleted");
    case Change::Write:
        return ChangesModel::tr("wrote");
    case Change::MakeFolder:
        return ChangesModel::tr("created folder");
    case Change::RemoveFolder:
        return ChangesModel::tr("removed folder");
    }
    return QString();
}

} // namespace

ChangesModel::ChangesModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ChangesModel::setRecords(const QVector<LogRecord> &records, const QString &client)
{
    beginResetModel();
    m_records.clear();
    for (const LogRecord &record : records) {
        if (record.kind != LogRecord::Kind::Text)
            m_records.append(record);
    }
    m_client = client;
    endResetModel();
}

int ChangesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_records.size();
}

int ChangesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ChangesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_records.size())
        return QVariant();
    const LogRecord &record = m_records.at(index.row());
    if (role == KindRole)
        return int(record.kind);
    if (role == Qt::DisplayRole)
        return cell(record, index.column());
    // A problem's line, whichever cell the pointer rests on.
    if (role == Qt::ToolTipRole && record.kind != LogRecord::Kind::Change)
        return cell(record, LineColumn);
    return QVariant();
}

QString ChangesModel::cell(const LogRecord &record, int column) const
{
    const bool change = record.kind == LogRecord::Kind::Change;
    switch (column) {
    case KindColumn:
        return kindName(record);
    case PathColumn:
        return shown(change ? record.change.path
                            : (record.subject.path.isEmpty() ? record.subject.from : record.subject.path));
    case OtherColumn:
        return shown(change ? record.change.other : record.subject.to);
    case CharacterColumn:
        return terminalText(record.character, TerminalText::Raw);
    case LineColumn:
        return change ? QString() : terminalText(record.text, TerminalText::Shown);
    }
    return QString();
}

// A path as it came from the disk or a journal, made safe as the log shows
// names: no name can turn a row around or hide in it. A line's text went
// through displayName already.
QString ChangesModel::shown(const QString &path) const
{
    if (path.isEmpty())
        return QString();
    const QString relative = m_client.isEmpty() ? path : QDir(m_client).relativeFilePath(path);
    return terminalText(relative, TerminalText::Raw);
}

QVariant ChangesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case KindColumn:
        return tr("Kind");
    case PathColumn:
        return tr("Path");
    case OtherColumn:
        return tr("New place or twin");
    case CharacterColumn:
        return tr("Character");
    case LineColumn:
        return tr("Line");
    }
    return QVariant();
}

ChangesFilter::ChangesFilter(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void ChangesFilter::setShow(Show show)
{
    m_show = show;
    invalidateFilter();
}

void ChangesFilter::setSearch(const QString &text)
{
    m_search = text;
    invalidateFilter();
}

bool ChangesFilter::filterAcceptsRow(int row, const QModelIndex &parent) const
{
    const QAbstractItemModel *model = sourceModel();
    const auto kind = LogRecord::Kind(model->index(row, 0, parent).data(ChangesModel::KindRole).toInt());
    if (m_show == Show::Changes && kind != LogRecord::Kind::Change)
        return false;
    if (m_show == Show::Problems && kind == LogRecord::Kind::Change)
        return false;
    if (m_search.isEmpty())
        return true;
    for (const int column :
        {ChangesModel::PathColumn, ChangesModel::OtherColumn, ChangesModel::CharacterColumn}) {
        if (model->index(row, column, parent).data().toString().contains(m_search, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
