#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

// The character folders a run is to take: a list with a check box each, all
// checked at first, those that look migrated already marked so. A filter box
// narrows the list on clients of thousands, and "Select all" and "Select
// none" check or uncheck the characters the filter shows (all of them while
// it is empty), so a few can be picked by name and the rest left alone.
class VCharacterChoice : public QWidget
{
    Q_OBJECT

public:
    struct Character
    {
        QString name; // as listed in base/characters
        bool migrated = false;
    };

    explicit VCharacterChoice(QWidget *parent = nullptr);

    // Lists the characters of `client`. Asked again about the same client
    // (after a preview), it keeps the user's checks and filter: only names
    // new to the list come checked.
    void setCharacters(const QString &client, const QVector<Character> &characters);

    int count() const;
    int checkedCount() const;
    // The checked names in list order; empty when every one is checked, the
    // run's word for all of them.
    QStringList selection() const;

signals:
    void checkedCountChanged(int checked);

private:
    void checkShown(Qt::CheckState state);
    void recount();

    QLineEdit *m_filter = nullptr;
    QStandardItemModel *m_model = nullptr;
    QSortFilterProxyModel *m_shown = nullptr;
    QTreeView *m_list = nullptr;
    QLabel *m_count = nullptr;
    QString m_client;
    int m_checked = 0;
    bool m_bulk = false; // one recount after many checks, not one per check
};
