#include "linux/desktopicontheme.h"

#include "linux/gnomefavouritesdockpinning.h"
#include "linux/x11display.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

namespace DesktopIconTheme {

namespace {

std::optional<QString> named(const std::optional<QString> &name)
{
    if (!name)
        return std::nullopt;
    const QString trimmed = name->trimmed();
    // A name is one folder below the base folders, never a path.
    if (trimmed.isEmpty() || trimmed.contains(u'/') || trimmed == u"." || trimmed == u"..")
        return std::nullopt;
    return trimmed;
}

bool isKde(const QStringList &desktops)
{
    return desktops.contains(u"KDE"_qs, Qt::CaseInsensitive);
}

// Reads the XSETTINGS wire format: a byte order, a serial, a count, then each setting as its type, name, the serial
// of its last change and its value, every field padded to four bytes.
class SettingsReader
{
public:
    explicit SettingsReader(const QByteArray &data)
        : m_data(data)
    {
    }

    bool skip(qsizetype count)
    {
        if (count < 0 || m_data.size() - m_at < count)
            return false;
        m_at += count;
        return true;
    }
    std::optional<quint32> card32()
    {
        if (m_data.size() - m_at < 4)
            return std::nullopt;
        const auto *p = reinterpret_cast<const uchar *>(m_data.constData() + m_at);
        m_at += 4;
        return m_bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
    }
    std::optional<quint16> card16()
    {
        if (m_data.size() - m_at < 2)
            return std::nullopt;
        const auto *p = reinterpret_cast<const uchar *>(m_data.constData() + m_at);
        m_at += 2;
        return m_bigEndian ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
    }
    std::optional<quint8> card8()
    {
        if (m_at >= m_data.size())
            return std::nullopt;
        return quint8(m_data.at(m_at++));
    }
    // `length` bytes, then the padding up to the next multiple of four.
    std::optional<QByteArray> padded(quint32 length)
    {
        const qsizetype whole = (qsizetype(length) + 3) / 4 * 4;
        if (m_data.size() - m_at < whole)
            return std::nullopt;
        QByteArray out = m_data.mid(m_at, qsizetype(length));
        m_at += whole;
        return out;
    }
    void setBigEndian(bool big) { m_bigEndian = big; }

private:
    const QByteArray &m_data;
    qsizetype m_at = 0;
    bool m_bigEndian = false;
};

} // namespace

QString choose(const Answers &answers)
{
    QList<std::optional<QString>> order;
    if (isKde(answers.desktops))
        order.append(answers.kdeGlobals);
    order.append(answers.xsettings);
    if (usesGnomeSettings(answers.desktops))
        order.append(answers.gnomeSettings);
    order.append(answers.platformTheme.isEmpty() ? std::nullopt : std::optional<QString>(answers.platformTheme));
    for (const auto &candidate : order) {
        if (const auto name = named(candidate); name && *name != u"hicolor")
            return *name;
    }
    return {};
}

bool usesGnomeSettings(const QStringList &desktops)
{
    static const QStringList gnomeFamily = {u"GNOME"_qs, u"Unity"_qs, u"Budgie"_qs, u"Pantheon"_qs,
                                            u"GNOME-Flashback"_qs, u"GNOME-Classic"_qs};
    for (const QString &desktop : desktops) {
        if (gnomeFamily.contains(desktop, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

std::optional<QString> kdeGlobalsTheme(const QByteArray &kdeglobals)
{
    bool inIcons = false;
    for (const QByteArray &raw : kdeglobals.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inIcons = line == "[Icons]";
            continue;
        }
        if (!inIcons)
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        // "Theme[$e]" and the like carry flags for KDE's own reader; the value is the same.
        QByteArray key = line.left(equals).trimmed();
        if (const qsizetype flags = key.indexOf('['); flags >= 0)
            key.truncate(flags);
        if (key == "Theme")
            return named(QString::fromUtf8(line.mid(equals + 1)));
    }
    return std::nullopt;
}

std::optional<QString> kdeGlobalsTheme(const QProcessEnvironment &env)
{
    QStringList folders;
    QString configHome = env.value(u"XDG_CONFIG_HOME"_qs);
    if (configHome.isEmpty() && !env.value(u"HOME"_qs).isEmpty())
        configHome = env.value(u"HOME"_qs) + u"/.config"_qs;
    if (!configHome.isEmpty())
        folders.append(configHome);
    QString configDirs = env.value(u"XDG_CONFIG_DIRS"_qs);
    if (configDirs.isEmpty())
        configDirs = u"/etc/xdg"_qs;
    folders.append(configDirs.split(u':', Qt::SkipEmptyParts));
    for (const QString &folder : folders) {
        QFile file(QDir(folder).filePath(u"kdeglobals"_qs));
        // A settings file is small; a larger one is not read whole.
        if (!file.open(QIODevice::ReadOnly))
            continue;
        if (const auto theme = kdeGlobalsTheme(file.read(1024 * 1024)))
            return theme;
    }
    return std::nullopt;
}

std::optional<QString> xsettingsIconTheme(const QByteArray &settings)
{
    SettingsReader reader(settings);
    const auto order = reader.card8();
    if (!order || *order > 1)
        return std::nullopt;
    reader.setBigEndian(*order == 1);
    if (!reader.skip(3) || !reader.card32()) // padding, serial
        return std::nullopt;
    const auto count = reader.card32();
    if (!count)
        return std::nullopt;
    for (quint32 i = 0; i < *count; ++i) {
        const auto type = reader.card8();
        if (!type || !reader.skip(1))
            return std::nullopt;
        const auto nameLength = reader.card16();
        if (!nameLength)
            return std::nullopt;
        const auto name = reader.padded(*nameLength);
        if (!name || !reader.card32()) // the serial of its last change
            return std::nullopt;
        switch (*type) {
        case 0: // integer
            if (!reader.card32())
                return std::nullopt;
            break;
        case 1: { // string
            const auto length = reader.card32();
            if (!length)
                return std::nullopt;
            const auto value = reader.padded(*length);
            if (!value)
                return std::nullopt;
            if (*name == "Net/IconThemeName")
                return named(QString::fromUtf8(*value));
            break;
        }
        case 2: // colour: four 16-bit channels
            if (!reader.skip(8))
                return std::nullopt;
            break;
        default:
            return std::nullopt;
        }
        if (*name == "Net/IconThemeName")
            return std::nullopt; // there, but not a string
    }
    return std::nullopt;
}

std::optional<QString> xsettingsIconTheme(X11Display &display)
{
    if (!display.isConnected())
        return std::nullopt;
    const quint32 owner = display.selectionOwner(display.atom("_XSETTINGS_S0"));
    if (owner == 0)
        return std::nullopt;
    const quint32 property = display.atom("_XSETTINGS_SETTINGS");
    const auto values = display.properties({owner}, property);
    if (values.isEmpty() || !values.first() || values.first()->format != 8)
        return std::nullopt;
    return xsettingsIconTheme(values.first()->data);
}

std::optional<QString> gsettingsString(const QByteArray &printed)
{
    // A single string prints as the one item of a list would.
    const auto items = GnomeFavouritesDockPinning::parseStringArray('[' + printed.trimmed() + ']');
    if (!items || items->size() != 1)
        return std::nullopt;
    return named(items->first());
}

std::optional<QByteArray> runProcess(const QString &program, const QStringList &arguments)
{
    const auto result = GnomeFavouritesDockPinning::runProcess(program, arguments);
    if (!result.finished || result.exitCode != 0)
        return std::nullopt;
    return result.standardOutput;
}

Answers gather(const QProcessEnvironment &env, const QStringList &desktops, X11Display *display,
               const CommandOutput &runCommand, const QString &platformTheme)
{
    Answers answers;
    answers.desktops = desktops;
    answers.platformTheme = platformTheme;
    if (isKde(desktops))
        answers.kdeGlobals = kdeGlobalsTheme(env);
    if (display)
        answers.xsettings = xsettingsIconTheme(*display);
    if (usesGnomeSettings(desktops) && runCommand) {
        if (const auto printed =
                runCommand(u"gsettings"_qs, {u"get"_qs, u"org.gnome.desktop.interface"_qs, u"icon-theme"_qs}))
            answers.gnomeSettings = gsettingsString(*printed);
    }
    return answers;
}

} // namespace DesktopIconTheme
