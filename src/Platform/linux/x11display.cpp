#include "linux/x11display.h"

#include <cstring>

std::optional<QList<quint32>> X11Property::words(quint32 expectedType) const
{
    if (type != expectedType || format != 32 || data.size() % 4 != 0)
        return std::nullopt;
    QList<quint32> out(data.size() / 4);
    if (!out.isEmpty())
        std::memcpy(out.data(), data.constData(), size_t(data.size()));
    return out;
}

std::optional<QByteArray> X11Property::text(quint32 expectedType) const
{
    if (type != expectedType || format != 8)
        return std::nullopt;
    return data;
}
