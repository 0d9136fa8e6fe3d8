#include "portableiconsource.h"

#include "bundle.h"
#include "desktopentry.h"
#include "propertylist.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace {

const QString genericIconResource = u":/tarnwick/icons/generic-application.svg"_qs;

bool isScalable(const QByteArray &format)
{
    return format == "svg" || format == "svgz";
}

} // namespace

PortableIconSource::PortableIconSource(Options options)
    : m_options(std::move(options))
    , m_themes(m_options.baseFolders, m_options.themeName)
{
}

std::optional<QImage> PortableIconSource::iconForPath(const QString &path, int size) const
{
    const auto file = iconFile(path, size);
    if (!file)
        return std::nullopt;
    return readImage(*file, size);
}

std::optional<QString> PortableIconSource::locationOfApplication(const QString &bundleID) const
{
    if (!m_options.locateApplication)
        return std::nullopt;
    return m_options.locateApplication(bundleID);
}

QImage PortableIconSource::genericApplicationIcon(int size) const
{
    if (auto image = readImage(genericIconResource, size))
        return *image;
    QImage blank(size, size, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    return blank;
}

std::optional<QString> PortableIconSource::iconFile(const QString &path, int size) const
{
    if (path.endsWith(u".desktop"))
        return desktopEntryIconFile(path, size);
    if (QFileInfo(path).isDir())
        return appBundleIconFile(path);
    return std::nullopt;
}

QStringList PortableIconSource::defaultBaseFolders(const QProcessEnvironment &env)
{
    QStringList folders;
    const auto add = [&](const QString &folder) {
        if (QDir::isAbsolutePath(folder) && !folders.contains(QDir::cleanPath(folder)))
            folders.append(QDir::cleanPath(folder));
    };
    const QString home = env.value(u"HOME"_qs);
    if (!home.isEmpty())
        add(home + u"/.icons"_qs);
    QString dataHome = env.value(u"XDG_DATA_HOME"_qs);
    if (dataHome.isEmpty() && !home.isEmpty())
        dataHome = home + u"/.local/share"_qs;
    if (!dataHome.isEmpty())
        add(dataHome + u"/icons"_qs);
    QString dataDirs = env.value(u"XDG_DATA_DIRS"_qs);
    if (dataDirs.isEmpty())
        dataDirs = u"/usr/local/share:/usr/share"_qs;
    for (const auto &dir : dataDirs.split(u':', Qt::SkipEmptyParts))
        add(dir + u"/icons"_qs);
    add(u"/usr/share/pixmaps"_qs);
    return folders;
}

std::optional<QImage> PortableIconSource::readImage(const QString &file, int size)
{
    QImageReader reader(file);
    if (!reader.canRead())
        return std::nullopt;
    const QSize box(size, size);
    if (isScalable(reader.format())) {
        QSize natural = reader.size();
        if (!natural.isValid() || natural.isEmpty())
            natural = box;
        reader.setScaledSize(natural.scaled(box, Qt::KeepAspectRatio));
        QImage image = reader.read();
        if (image.isNull())
            return std::nullopt;
        return image;
    }

    // Of several images (ICNS, ICO) the smallest that covers the box, else the largest.
    QImage best;
    for (int index = 0; index < 64; ++index) {
        QImage image = reader.read();
        if (!image.isNull()) {
            const bool covers = image.width() >= size && image.height() >= size;
            const bool bestCovers = !best.isNull() && best.width() >= size && best.height() >= size;
            const qint64 area = qint64(image.width()) * image.height();
            const qint64 bestArea = qint64(best.width()) * best.height();
            if (best.isNull() || (covers && (!bestCovers || area < bestArea))
                || (!covers && !bestCovers && area > bestArea))
                best = std::move(image);
        }
        if (!reader.jumpToNextImage())
            break;
    }
    if (best.isNull())
        return std::nullopt;
    if (best.size() == box)
        return best;
    return best.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

std::optional<QString> PortableIconSource::desktopEntryIconFile(const QString &path, int size) const
{
    const auto entry = DesktopEntry::load(path);
    if (!entry)
        return std::nullopt;
    const QString icon = entry->icon().value_or(QString()).trimmed();
    if (icon.isEmpty())
        return std::nullopt;
    if (QDir::isAbsolutePath(icon)) {
        if (QFileInfo(icon).isFile())
            return icon;
        return std::nullopt;
    }
    QString name = icon;
    for (const auto suffix : {u".png", u".svg", u".xpm"}) {
        if (name.endsWith(QStringView(suffix))) {
            name.chop(4);
            break;
        }
    }
    return m_themes.find(name, size);
}

std::optional<QString> PortableIconSource::appBundleIconFile(const QString &path)
{
    const auto info = PropertyList::readXmlDictionary(path + u"/Contents/Info.plist"_qs);
    if (!info)
        return std::nullopt;
    const auto name = Bundle::stringValue(*info, u"CFBundleIconFile"_qs);
    if (!name || name->isEmpty())
        return std::nullopt;
    const QString base = path + u"/Contents/Resources/"_qs + *name;
    QStringList candidates;
    if (QFileInfo(*name).suffix().isEmpty())
        candidates = {base + u".icns"_qs, base + u".png"_qs};
    candidates.append(base);
    for (const auto &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return std::nullopt;
}
