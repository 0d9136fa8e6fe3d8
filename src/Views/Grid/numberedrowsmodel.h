#pragma once

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

// Rows 0 … count − 1 and nothing else, for a Repeater of a number of like items (page dots). Unlike a number as the
// model, a new count adds or removes rows at the end, so the items already made stay.
class NumberedRowsModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(int count READ count WRITE setCount NOTIFY countChanged)
public:
    explicit NumberedRowsModel(QObject *parent = nullptr);

    [[nodiscard]] int count() const { return m_count; }
    void setCount(int count);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void countChanged();

private:
    int m_count = 0;
};
