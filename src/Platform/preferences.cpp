#include "preferences.h"

#include <QJsonArray>

#include <cmath>

std::optional<bool> Preferences::boolValue(const QString &key) const
{
    const auto v = m_values.value(key);
    if (!v.isBool())
        return std::nullopt;
    return v.toBool();
}

std::optional<qint64> Preferences::integerValue(const QString &key) const
{
    const auto v = m_values.value(key);
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 9.2e18)
        return std::nullopt;
    return qint64(d);
}

std::optional<double> Preferences::doubleValue(const QString &key) const
{
    const auto v = m_values.value(key);
    if (!v.isDouble())
        return std::nullopt;
    return v.toDouble();
}

std::optional<QString> Preferences::stringValue(const QString &key) const
{
    const auto v = m_values.value(key);
    if (!v.isString())
        return std::nullopt;
    return v.toString();
}

std::optional<QStringList> Preferences::stringList(const QString &key) const
{
    const auto v = m_values.value(key);
    if (!v.isArray())
        return std::nullopt;
    QStringList out;
    for (const auto &e : v.toArray()) {
        if (!e.isString())
            return std::nullopt;
        out.append(e.toString());
    }
    return out;
}

std::optional<QHash<QString, double>> Preferences::numberMap(const QString &key) const
{
    const auto v = m_values.value(key);
    if (!v.isObject())
        return std::nullopt;
    QHash<QString, double> out;
    const auto obj = v.toObject();
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        if (it.value().isDouble())
            out.insert(it.key(), it.value().toDouble());
    }
    return out;
}

void Preferences::setBool(const QString &key, bool value)
{
    setValue(key, value);
}

void Preferences::setInteger(const QString &key, qint64 value)
{
    setValue(key, double(value));
}

void Preferences::setDouble(const QString &key, double value)
{
    setValue(key, value);
}

void Preferences::setString(const QString &key, const QString &value)
{
    setValue(key, value);
}

void Preferences::setStringList(const QString &key, const QStringList &value)
{
    setValue(key, QJsonArray::fromStringList(value));
}

void Preferences::setNumberMap(const QString &key, const QHash<QString, double> &value)
{
    QJsonObject obj;
    for (auto it = value.begin(); it != value.end(); ++it)
        obj.insert(it.key(), it.value());
    setValue(key, obj);
}

void Preferences::setValue(const QString &key, const QJsonValue &value)
{
    if (value.isUndefined()) {
        remove(key);
        return;
    }
    if (m_values.contains(key) && m_values.value(key) == value)
        return;
    m_values.insert(key, value);
    persist(m_values);
    Q_EMIT valueChanged(key);
}

void Preferences::remove(const QString &key)
{
    if (!m_values.contains(key))
        return;
    m_values.remove(key);
    persist(m_values);
    Q_EMIT valueChanged(key);
}
