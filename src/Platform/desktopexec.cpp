#include "desktopexec.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

QStringList localFiles(const QList<QUrl> &urls)
{
    QStringList out;
    for (const auto &url : urls) {
        if (url.isLocalFile())
            out.append(url.toLocalFile());
    }
    return out;
}

QStringList encodedURLs(const QList<QUrl> &urls)
{
    QStringList out;
    for (const auto &url : urls)
        out.append(QString::fromLatin1(url.toEncoded()));
    return out;
}

class Splitter
{
public:
    Splitter(const QString &exec, const DesktopExec::Inputs &inputs)
        : m_exec(exec)
        , m_inputs(inputs)
    {
    }

    std::optional<QStringList> run()
    {
        enum class Quote { none, doubleQuote, singleQuote };
        Quote quote = Quote::none;
        for (qsizetype i = 0; i < m_exec.size(); ++i) {
            const QChar c = m_exec[i];
            if (c == u'%') {
                if (!fieldCode(i, quote != Quote::none))
                    return std::nullopt;
                ++i;
                continue;
            }
            switch (quote) {
            case Quote::singleQuote:
                if (c == u'\'')
                    quote = Quote::none;
                else
                    m_word.append(c);
                break;
            case Quote::doubleQuote:
                if (c == u'"') {
                    quote = Quote::none;
                } else if (c == u'\\' && i + 1 < m_exec.size()
                           && QStringView(u"\"`$\\").contains(m_exec[i + 1])) {
                    m_word.append(m_exec[++i]);
                } else {
                    m_word.append(c);
                }
                break;
            case Quote::none:
                if (isBlank(c)) {
                    endWord();
                } else if (c == u'"' || c == u'\'') {
                    quote = c == u'"' ? Quote::doubleQuote : Quote::singleQuote;
                    m_wordPresent = true;
                } else if (c == u'\\') {
                    if (i + 1 >= m_exec.size())
                        return std::nullopt;
                    m_word.append(m_exec[++i]);
                    m_wordPresent = true;
                } else {
                    m_word.append(c);
                    m_wordPresent = true;
                }
                break;
            }
        }
        if (quote != Quote::none)
            return std::nullopt;
        endWord();
        if (m_words.isEmpty() || m_words.first().isEmpty())
            return std::nullopt;
        return m_words;
    }

private:
    const QString &m_exec;
    const DesktopExec::Inputs &m_inputs;
    QStringList m_words;
    QString m_word;
    bool m_wordPresent = false; // the word has a character or a quote of its own, so it stays even when empty

    void endWord()
    {
        if (m_wordPresent || !m_word.isEmpty())
            m_words.append(m_word);
        m_word.clear();
        m_wordPresent = false;
    }

    // The code at m_exec[at + 1]; false when it makes the value unusable.
    bool fieldCode(qsizetype at, bool quoted)
    {
        if (at + 1 >= m_exec.size())
            return false;
        const QChar code = m_exec[at + 1];
        switch (code.unicode()) {
        case u'%':
            m_word.append(u'%');
            m_wordPresent = true;
            return true;
        case u'f': {
            const auto files = localFiles(m_inputs.urls);
            if (!files.isEmpty())
                m_word.append(files.first());
            return true;
        }
        case u'u':
            if (!m_inputs.urls.isEmpty())
                m_word.append(QString::fromLatin1(m_inputs.urls.first().toEncoded()));
            return true;
        case u'c':
            m_word.append(m_inputs.name);
            return true;
        case u'k':
            m_word.append(m_inputs.desktopFile);
            return true;
        case u'F':
        case u'U':
        case u'i': {
            const bool standsAlone = !quoted && m_word.isEmpty() && !m_wordPresent
                                     && (at + 2 >= m_exec.size() || isBlank(m_exec[at + 2]));
            if (!standsAlone)
                return false;
            if (code == u'F')
                m_words.append(localFiles(m_inputs.urls));
            else if (code == u'U')
                m_words.append(encodedURLs(m_inputs.urls));
            else if (!m_inputs.icon.isEmpty())
                m_words.append({u"--icon"_qs, m_inputs.icon});
            return true;
        }
        case u'd':
        case u'D':
        case u'n':
        case u'N':
        case u'v':
        case u'm':
            return true;
        default:
            return false;
        }
    }
};

} // namespace

std::optional<QStringList> DesktopExec::expand(const QString &exec, const Inputs &inputs)
{
    return Splitter(exec, inputs).run();
}
