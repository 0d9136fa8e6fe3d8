#include "linux/gnomefavouritesdockpinning.h"

#include <QProcess>

namespace {

const QString schema = u"org.gnome.shell"_qs;
const QString key = u"favorite-apps"_qs;

class ArrayReader
{
public:
    explicit ArrayReader(const QString &text)
        : m_text(text)
    {
    }

    std::optional<QStringList> read()
    {
        skipBlanks();
        if (m_text.mid(m_at).startsWith(u"@as")) {
            m_at += 3;
            skipBlanks();
        }
        if (!take(u'['))
            return std::nullopt;
        QStringList items;
        skipBlanks();
        if (!take(u']')) {
            while (true) {
                skipBlanks();
                auto item = readString();
                if (!item)
                    return std::nullopt;
                items.append(*item);
                skipBlanks();
                if (take(u']'))
                    break;
                if (!take(u','))
                    return std::nullopt;
            }
        }
        skipBlanks();
        if (m_at != m_text.size())
            return std::nullopt;
        return items;
    }

private:
    const QString &m_text;
    qsizetype m_at = 0;

    void skipBlanks()
    {
        while (m_at < m_text.size() && m_text[m_at].isSpace())
            ++m_at;
    }

    bool take(QChar c)
    {
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    std::optional<QString> readString()
    {
        if (m_at >= m_text.size() || (m_text[m_at] != u'\'' && m_text[m_at] != u'"'))
            return std::nullopt;
        const QChar quote = m_text[m_at++];
        QString out;
        while (m_at < m_text.size()) {
            const QChar c = m_text[m_at++];
            if (c == quote)
                return out;
            if (c != u'\\') {
                out.append(c);
                continue;
            }
            if (m_at >= m_text.size())
                return std::nullopt;
            const QChar e = m_text[m_at++];
            switch (e.unicode()) {
            case u'n': out.append(u'\n'); break;
            case u't': out.append(u'\t'); break;
            case u'r': out.append(u'\r'); break;
            case u'b': out.append(u'\b'); break;
            case u'f': out.append(u'\f'); break;
            case u'v': out.append(u'\v'); break;
            case u'a': out.append(u'\a'); break;
            case u'u':
            case u'U': {
                const int digits = e == u'u' ? 4 : 8;
                bool ok = false;
                const uint code = m_text.mid(m_at, digits).toUInt(&ok, 16);
                if (!ok || m_text.mid(m_at, digits).size() != digits || code > 0x10FFFF)
                    return std::nullopt;
                m_at += digits;
                const char32_t c32 = code;
                out.append(QString::fromUcs4(&c32, 1));
                break;
            }
            default:
                // \\ \' \" and any other character stand for themselves.
                out.append(e);
                break;
            }
        }
        return std::nullopt;
    }
};

} // namespace

GnomeFavouritesDockPinning::GnomeFavouritesDockPinning(QStringList currentDesktops, CommandRunner runCommand)
    : m_hasFavourites(currentDesktops.contains(u"GNOME"_qs))
    , m_runCommand(std::move(runCommand))
{
}

bool GnomeFavouritesDockPinning::isInDock(const AppInfo &app) const
{
    const auto id = favouriteID(app);
    if (!id || !m_hasFavourites)
        return false;
    const auto list = favourites();
    return list && list->contains(*id);
}

bool GnomeFavouritesDockPinning::addToDock(const AppInfo &app)
{
    const auto id = favouriteID(app);
    if (!id || !m_hasFavourites)
        return false;
    auto list = favourites();
    if (!list || list->contains(*id))
        return false;
    list->append(*id);
    const auto result = m_runCommand(u"gsettings"_qs, {u"set"_qs, schema, key, formatStringArray(*list)});
    return result.finished && result.exitCode == 0;
}

std::optional<QStringList> GnomeFavouritesDockPinning::parseStringArray(const QByteArray &text)
{
    const QString decoded = QString::fromUtf8(text);
    return ArrayReader(decoded).read();
}

QString GnomeFavouritesDockPinning::formatStringArray(const QStringList &items)
{
    QStringList quoted;
    for (QString item : items) {
        item.replace(u"\\"_qs, u"\\\\"_qs);
        item.replace(u"'"_qs, u"\\'"_qs);
        quoted.append(u'\'' + item + u'\'');
    }
    return u'[' + quoted.join(u", "_qs) + u']';
}

GnomeFavouritesDockPinning::CommandResult GnomeFavouritesDockPinning::runProcess(const QString &program,
                                                                                const QStringList &arguments)
{
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(5000))
        return {};
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    CommandResult result;
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.standardOutput = process.readAllStandardOutput();
    return result;
}

std::optional<QStringList> GnomeFavouritesDockPinning::favourites() const
{
    const auto result = m_runCommand(u"gsettings"_qs, {u"get"_qs, schema, key});
    if (!result.finished || result.exitCode != 0)
        return std::nullopt;
    return parseStringArray(result.standardOutput);
}

std::optional<QString> GnomeFavouritesDockPinning::favouriteID(const AppInfo &app)
{
    if (app.bundleID.isEmpty() || !app.path().endsWith(u".desktop"))
        return std::nullopt;
    return app.bundleID + u".desktop"_qs;
}
