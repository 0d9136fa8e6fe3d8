#pragma once

#include "appopener.h"

#include <QSet>
#include <QStringList>

// Records what it was asked to open, as "open <path>" and "open <url> with <path>" (the URL encoded); apps marked
// with refuse() are refused.
class FakeAppOpener : public AppOpener
{
public:
    OpenResult openApplication(const QString &appPath) override
    {
        m_requests.append(u"open "_qs + appPath);
        return m_refused.contains(appPath) ? OpenResult::refused : OpenResult::started;
    }
    OpenResult openURL(const QUrl &url, const QString &appPath) override
    {
        m_requests.append(u"open %1 with %2"_qs.arg(QString::fromLatin1(url.toEncoded()), appPath));
        return m_refused.contains(appPath) ? OpenResult::refused : OpenResult::started;
    }

    void refuse(const QString &appPath) { m_refused.insert(appPath); }
    [[nodiscard]] const QStringList &requests() const { return m_requests; }

private:
    QStringList m_requests;
    QSet<QString> m_refused;
};
