#pragma once

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

// The user's preferences: typed values under fixed keys. Values keep their type, so a reader of one type sees a value
// of another type as absent (a string stored where a Boolean belongs reads as no Boolean). Main thread only.
class Preferences : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] bool contains(const QString &key) const { return m_values.contains(key); }
    [[nodiscard]] std::optional<bool> boolValue(const QString &key) const;
    // A number without a fraction, within 64 bits.
    [[nodiscard]] std::optional<qint64> integerValue(const QString &key) const;
    [[nodiscard]] std::optional<double> doubleValue(const QString &key) const;
    [[nodiscard]] std::optional<QString> stringValue(const QString &key) const;
    // A list whose every element is a string; any other value is absent.
    [[nodiscard]] std::optional<QStringList> stringList(const QString &key) const;
    // A dictionary; entries whose value is not a number are left out.
    [[nodiscard]] std::optional<QHash<QString, double>> numberMap(const QString &key) const;
    [[nodiscard]] QJsonValue value(const QString &key) const { return m_values.value(key); }

    void setBool(const QString &key, bool value);
    void setInteger(const QString &key, qint64 value);
    void setDouble(const QString &key, double value);
    void setString(const QString &key, const QString &value);
    void setStringList(const QString &key, const QStringList &value);
    void setNumberMap(const QString &key, const QHash<QString, double> &value);
    // Any JSON value, also one of the "wrong" type (tests, and values kept as they were found).
    void setValue(const QString &key, const QJsonValue &value);
    void remove(const QString &key);

Q_SIGNALS:
    void valueChanged(const QString &key);

protected:
    // Called after every change with all values; a store that keeps them somewhere writes them here.
    virtual void persist(const QJsonObject &all) = 0;
    QJsonObject m_values;
};
