#pragma once
// The data source that binds a query's result set to grids and data-aware
// boxes: columns under the result's alias names, the grid's current row
// following the query's and the other way round.
#include "ui/ExportUi.h"
#include "db/DbEngine.h"

#include <QAbstractTableModel>
#include <QPointer>

class QAbstractItemView;

namespace kv::db {

class KVPLATFORM_UI_EXPORT TDbGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDbGridModel(QObject *parent = nullptr);
    void setQuery(TDbQuery *query);
    TDbQuery *query() const { return m_query; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    // A query reading on demand gives its rows as the view scrolls to them.
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // Shows this model in the view and keeps the view's current row and the
    // query's current row in step, both ways.
    void bindView(QAbstractItemView *view);

public slots:
    void refresh();
    // Moves the query to the row (a grid click); ignored when out of range.
    void setCurrentRow(int row);

signals:
    void currentRowChanged(int row);

private:
    QPointer<TDbQuery> m_query;
    QMetaObject::Connection m_dataConn;
    QMetaObject::Connection m_rowConn;
    QMetaObject::Connection m_aboutConn;
    QMetaObject::Connection m_fetchedConn;
    bool m_following = false;
};

} // namespace kv::db
