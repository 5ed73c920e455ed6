#include "view/vcharacterchoice.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

VCharacterChoice::VCharacterChoice(QWidget *parent)
    : QWidget(parent)
    , m_filter(new QLineEdit(this))
    , m_model(new QStandardItemModel(0, 2, this))
    , m_shown(new QSortFilterProxyModel(this))
    , m_list(new QTreeView(this))
    , m_count(new QLabel(this))
{
    m_model->setHorizontalHeaderLabels({tr("Character"), tr("State")});
    m_shown->setSourceModel(m_model);
    m_shown->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_shown->setFilterKeyColumn(0);
    m_list->setModel(m_shown);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true); // thousands of rows lay out at once
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_list->setMinimumHeight(m_list->fontMetrics().height() * 10);
    setFocusProxy(m_list);

    auto *filterLabel = new QLabel(tr("&Filter:"), this);
    filterLabel->setBuddy(m_filter);
    m_filter->setPlaceholderText(tr("part of a name"));
    m_filter->setClearButtonEnabled(true);
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_shown->setFilterFixedString(text);
        // The view makes a row current only the first time it takes the
        // focus: once the filter hid that row, Space in the list would
        // toggle nothing.
        if (!m_list->currentIndex().isValid() && m_shown->rowCount() > 0)
            m_list->setCurrentIndex(m_shown->index(0, 0));
    });

    auto *all = new QPushButton(tr("Select &all"), this);
    auto *none = new QPushButton(tr("Select &none"), this);
    // Not the dialog's default: Return still answers the question.
    all->setAutoDefault(false);
    none->setAutoDefault(false);
    all->setToolTip(tr("Checks the characters shown"));
    none->setToolTip(tr("Unchecks the characters shown"));
    connect(all, &QPushButton::clicked, this, [this] { checkShown(Qt::Checked); });
    connect(none, &QPushButton::clicked, this, [this] { checkShown(Qt::Unchecked); });
    connect(m_model, &QStandardItemModel::itemChanged, this, [this] {
        if (!m_bulk)
            recount();
    });

    auto *top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(m_filter, 1);
    top->addWidget(all);
    top->addWidget(none);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(m_list);
    layout->addWidget(m_count);
}

void VCharacterChoice::setCharacters(const QString &client, const QVector<Character> &characters)
{
    QSet<QString> unchecked;
    if (client == m_client) {
        for (int row = 0; row < m_model->rowCount(); ++row) {
            if (m_model->item(row)->checkState() != Qt::Checked)
                unchecked.insert(m_model->item(row)->text());
        }
    } else {
        m_filter->clear();
    }
    m_client = client;
    m_bulk = true;
    m_model->removeRows(0, m_model->rowCount());
    m_model->setRowCount(characters.size());
    for (int row = 0; row < characters.size(); ++row) {
        const Character &character = characters.at(row);
        auto *name = new QStandardItem(character.name);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        name->setCheckState(unchecked.contains(character.name) ? Qt::Unchecked : Qt::Checked);
        auto *state = new QStandardItem(character.migrated ? tr("migrated already") : QString());
        state->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_model->setItem(row, 0, name);
        m_model->setItem(row, 1, state);
    }
    m_bulk = false;
    recount();
}

int VCharacterChoice::count() const
{
    return m_model->rowCount();
}

int VCharacterChoice::checkedCount() const
{
    return m_checked;
}

QStringList VCharacterChoice::selection() const
{
    if (m_checked == count())
        return {};
    QStringList names;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->item(row)->checkState() == Qt::Checked)
            names.append(m_model->item(row)->text());
    }
    return names;
}

void VCharacterChoice::checkShown(Qt::CheckState state)
{
    m_bulk = true;
    for (int row = 0; row < m_shown->rowCount(); ++row)
        m_model->itemFromIndex(m_shown->mapToSource(m_shown->index(row, 0)))->setCheckState(state);
    m_bulk = false;
    recount();
}

void VCharacterChoice::recount()
{
    int checked = 0;
    for (int row = 0; row < m_model->rowCount(); ++row)
        checked += m_model->item(row)->checkState() == Qt::Checked;
    m_count->setText(tr("%1 of %2 checked").arg(checked).arg(count()));
    if (checked == m_checked)
        return;
    m_checked = checked;
    emit checkedCountChanged(checked);
}
