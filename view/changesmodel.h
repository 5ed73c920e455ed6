#pragma once

#include "run/logrecord.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QVector>

// The Changes view's rows: every record of a run that is a change, a warning
// or an error, in run order, with its paths shown from the client's top
// folder and made safe as the log shows names.
class ChangesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { KindColumn, PathColumn, OtherColumn, CharacterColumn, LineColumn, ColumnCount };
    // The row's kind, for the filter: LogRecord::Kind as an int.
    static constexpr int KindRole = Qt::UserRole;

    explicit ChangesModel(QObject *parent = nullptr);

    void setRecords(const QVector<LogRecord> &records, const QString &client);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString cell(const LogRecord &record, int column) const;
    QString shown(const QString &path) const;

    QVector<LogRecord> m_records;
    QString m_client;
};

// Which rows the Changes view lets through: by kind, and by a text the
// character or one of the row's names holds (case aside).
class ChangesFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    enum class Show { All, Changes, Problems };

    explicit ChangesFilter(QObject *parent = nullptr);

    void setShow(Show show);
    void setSearch(const QString &text);

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override;

private:
    Show m_show = Show::All;
    QString m_search;
};
