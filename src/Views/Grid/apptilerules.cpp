#include "apptilerules.h"

#include "symbols.h"
#include "theme.h"

#include <QUrlQuery>

QString AppTileRules::label(const QString &shownName, bool pinned)
{
    QString text = shownName.toHtmlEscaped();
    // Styled text folds runs of spaces like HTML; the name keeps the spaces it was given.
    text.replace(u"  "_qs, u" &nbsp;"_qs);
    if (!pinned)
        return text;
    const QString size = QString::number(pinGlyphSize);
    return text + QChar(0x2009) + u"<img src=\""_qs + Symbols::source(u"pin.fill"_qs, Theme::pinMark())
           + u"\" width=\""_qs + size + u"\" height=\""_qs + size + u"\" align=\"top\">"_qs;
}

bool AppTileRules::lifted(bool hovering, bool blocked, bool pageAnimating)
{
    return hovering && !blocked && !pageAnimating;
}

bool AppTileRules::latchedHover(bool current, bool live, bool pageAnimating)
{
    return pageAnimating ? current : live;
}

QString AppTileRules::iconSource(const AppInfo &app)
{
    QUrlQuery query;
    query.addQueryItem(u"path"_qs, QString::fromLatin1(QUrl::toPercentEncoding(app.path())));
    return u"image://appicon/"_qs + QString::fromLatin1(QUrl::toPercentEncoding(app.bundleID)) + u'?'
           + query.toString(QUrl::FullyEncoded);
}

QString AppTileRules::iconSourceFor(const QString &bundleID, const QString &path)
{
    AppInfo app;
    app.bundleID = bundleID;
    app.url = QUrl::fromLocalFile(path);
    return iconSource(app);
}

std::optional<AppInfo> AppTileRules::appOfIconId(const QString &id)
{
    const qsizetype mark = id.indexOf(u'?');
    // Qt may hand the id over with its non-ASCII characters already decoded.
    const QString key = QUrl::fromPercentEncoding((mark < 0 ? id : id.left(mark)).toUtf8());
    if (key.isEmpty())
        return std::nullopt;
    AppInfo app;
    app.bundleID = key;
    if (mark >= 0) {
        const QString path = QUrlQuery(id.mid(mark + 1)).queryItemValue(u"path"_qs, QUrl::FullyDecoded);
        if (!path.isEmpty())
            app.url = QUrl::fromLocalFile(path);
    }
    return app;
}
