#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

class Preferences;

// The search-page links of a few outside apps, and the user's choice of the apps whose launches open that page
// instead of the app's start screen. The tables are fixed; the choice lives in the preferences. Main thread; one
// instance owned by the state object, holding the preferences it reads and writes.
class AppSearchDeepLink
{
public:
    static constexpr QStringView enabledBundleIDsKey = u"searchPageEnabledBundleIDs";

    struct Link
    {
        QString bundleID;
        QString text; // scheme "://" path "?keyword=%20": an empty search
        bool offeredInLaunchPanel = false;
    };

    explicit AppSearchDeepLink(Preferences &preferences);

    // Every app with a search page, in table order; the context menu offers the choice for each of them.
    [[nodiscard]] static const QList<Link> &links();
    // The apps whose choice the supervision panel's launch tab offers.
    [[nodiscard]] static const QSet<QString> &launchPanelBundleIDs();
    // The link of that app as a URL, its "%20" kept as it is; none when the app has no search page.
    [[nodiscard]] static std::optional<QUrl> url(const QString &bundleID);

    [[nodiscard]] bool isEnabled(const QString &bundleID) const;
    // On: appends the app when it is not listed yet. Off: removes every entry of it. The list is written back either
    // way; a stored value that is not a list of texts counts as an empty list and is replaced.
    void setEnabled(bool enabled, const QString &bundleID);

private:
    Preferences &m_preferences;

    [[nodiscard]] QStringList enabledBundleIDs() const;
};
