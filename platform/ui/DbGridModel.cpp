#include "ui/DbGridModel.h"

#include "SqlText.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace kv::db {

TDbGridModel::TDbGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void TDbGridModel::setQuery(TDbQuery *query)
{
    beginResetModel();
    if (m_query) {
        disconnect(m_dataConn);
        disconnect(m_rowConn);
        disconnect(m_aboutConn);
        disconnect(m_fetchedConn);
    }
    m_query = query;
    if (query) {
        m_dataConn = connect(query, &TDbQuery::dataChanged, this, &TDbGridModel::refresh);
        m_rowConn = connect(query, &TDbQuery::currentRowChanged, this, &TDbGridModel::currentRowChanged);
        m_aboutConn = connect(query, &TDbQuery::rowsAboutToBeFetched, this,
                              [this](int first, int last) { beginInsertRows({}, first, last); });
        m_fetchedConn = connect(query, &TDbQuery::rowsFetched, this, [this] { endInsertRows(); });
    }
    endResetModel();
}

bool TDbGridModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_query && m_query->canFetchMore();
}

void TDbGridModel::fetchMore(const QModelIndex &parent)
{
    if (!parent.isValid() && m_query)
        m_query->fetchMore();
}

int TDbGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_query ? 0 : m_query->recordCount();
}

int TDbGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_query ? 0 : m_query->fieldCount();
}

QVariant TDbGridModel::data(const QModelIndex &index, int role) const
{
    if (!m_query || !index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QVariant v = m_query->valueAt(index.row(), index.column());
        if (v.isNull())
            return QString();
        // The same text a field reads as (whole numbers without ".0").
        if (v.typeId() == QMetaType::Double) {
            const double d = v.toDouble();
            if (d == qint64(d) && qAbs(d) < 1e15)
                return QString::number(qint64(d));
            return kv::SqlNum(d);
        }
        return v.toString();
    }
    if (role == Qt::EditRole)
        return m_query->valueAt(index.row(), index.column());
    return {};
}

QVariant TDbGridModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole || !m_query)
        return {};
    if (o == Qt::Horizontal)
        return m_query->fieldNames().value(section);
    return section + 1;
}

void TDbGridModel::refresh()
{
    beginResetModel();
    endResetModel();
}

void TDbGridModel::setCurrentRow(int row)
{
    if (!m_query || row < 0 || row >= m_query->recordCount() || row == m_query->recNo())
        return;
    m_query->moveTo(row);
}

void TDbGridModel::bindView(QAbstractItemView *view)
{
    view->setModel(this);
    auto follow = [this, view](int row) {
        if (m_following || row < 0 || row >= rowCount())
            return;
        m_following = true;
        const QModelIndex cur = view->currentIndex();
        view->setCurrentIndex(index(row, cur.isValid() ? cur.column() : 0));
        m_following = false;
    };
    connect(this, &TDbGridModel::currentRowChanged, view, follow);
    connect(this, &QAbstractItemModel::modelReset, view, [this, follow] {
        if (m_query)
            follow(m_query->recNo());
    });
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_following || !current.isValid())
                    return;
                m_following = true;
                setCurrentRow(current.row());
                m_following = false;
            });
}

} // namespace kv::db
