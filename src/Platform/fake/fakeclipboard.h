#pragma once

#include "clipboard.h"

#include <QStringList>

// Records the calls in order, as "clear" and "set <text>", and keeps the text a real clipboard would hold.
class FakeClipboard : public Clipboard
{
public:
    void clear() override
    {
        m_calls.append(QStringLiteral("clear"));
        m_text.clear();
    }
    void setText(const QString &text) override
    {
        m_calls.append(QStringLiteral("set ") + text);
        m_text = text;
    }

    [[nodiscard]] const QStringList &calls() const { return m_calls; }
    [[nodiscard]] const QString &text() const { return m_text; }

private:
    QStringList m_calls;
    QString m_text;
};
