#include "pinyinmatcher.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

// A lowered, NFC-normalised text and the offsets of its grapheme clusters: 0, each cluster start, and its length.
// Two such texts are compared cluster by cluster, which is how canonically equivalent text compares equal without
// a match ever starting or ending inside a cluster.
struct ClusterText
{
    QString text;
    std::vector<qsizetype> bounds{0};
};

struct NameForms
{
    ClusterText lowered;
    bool hasPinyin = false; // transliteration is the expensive part and only tier 2 needs it
    ClusterText full;
    ClusterText initials;
};

const char16_t *utf16(const QString &s)
{
    return reinterpret_cast<const char16_t *>(s.utf16());
}

QString toQString(const icu::UnicodeString &u)
{
    return QString(reinterpret_cast<const QChar *>(u.getBuffer()), u.length());
}

// The per-thread ICU services: none of them may be shared between threads while in use.
icu::BreakIterator *characterBreaks()
{
    thread_local const std::unique_ptr<icu::BreakIterator> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(),
                                                                                          status));
        return U_SUCCESS(status) ? std::move(it) : nullptr;
    }();
    return instance.get();
}

// Han to toneless pinyin (syllables separated by single spaces), kana and other scripts to Latin; Latin text keeps
// its letters (no ASCII folding of ß or full-width forms) but loses its combining marks.
icu::Transliterator *toLatin()
{
    thread_local const std::unique_ptr<icu::Transliterator> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(icu::Transliterator::createInstance(
            "Any-Latin; NFD; [:Nonspacing Mark:] Remove; NFC", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
    return instance.get();
}

QString normalizedNfc(icu::UnicodeString &&u)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return toQString(u);
    if (nfc->isNormalized(u, status) && U_SUCCESS(status))
        return toQString(u);
    status = U_ZERO_ERROR;
    icu::UnicodeString normalized = nfc->normalize(u, status);
    return U_SUCCESS(status) ? toQString(normalized) : toQString(u);
}

// Full lowercasing, the same in every locale.
QString lowered(const QString &s)
{
    icu::UnicodeString u(utf16(s), int32_t(s.size()));
    u.toLower(icu::Locale::getRoot());
    return normalizedNfc(std::move(u));
}

ClusterText clustered(QString text)
{
    ClusterText result;
    result.text = std::move(text);
    const qsizetype size = result.text.size();
    icu::BreakIterator *breaks = characterBreaks();
    UErrorCode status = U_ZERO_ERROR;
    UText ut = UTEXT_INITIALIZER;
    utext_openUChars(&ut, utf16(result.text), size, &status);
    if (breaks && U_SUCCESS(status))
        breaks->setText(&ut, status);
    if (!breaks || U_FAILURE(status)) {
        // Without break rules every code unit stands alone.
        for (qsizetype i = 1; i <= size; ++i)
            result.bounds.push_back(i);
    } else {
        for (int32_t b = breaks->next(); b != icu::BreakIterator::DONE; b = breaks->next())
            result.bounds.push_back(b);
    }
    utext_close(&ut);
    if (result.bounds.back() != size)
        result.bounds.push_back(size);
    return result;
}

// Whether `needle`'s clusters are those of `hay` from its cluster `first` on.
bool clustersAlign(const ClusterText &hay, size_t first, const ClusterText &needle)
{
    if (first + needle.bounds.size() > hay.bounds.size())
        return false;
    const qsizetype offset = hay.bounds[first];
    for (size_t j = 1; j < needle.bounds.size(); ++j) {
        if (hay.bounds[first + j] != offset + needle.bounds[j])
            return false;
    }
    return true;
}

// The number of clusters before the first occurrence of `needle`'s clusters in `hay`'s.
std::optional<int> clusterPosition(const ClusterText &hay, const ClusterText &needle)
{
    for (qsizetype from = 0; (from = hay.text.indexOf(needle.text, from)) >= 0; ++from) {
        const auto start = std::lower_bound(hay.bounds.begin(), hay.bounds.end(), from);
        if (start == hay.bounds.end() || *start != from)
            continue;
        const auto first = size_t(start - hay.bounds.begin());
        if (clustersAlign(hay, first, needle))
            return int(first);
    }
    return std::nullopt;
}

bool hasClusterPrefix(const ClusterText &hay, const ClusterText &needle)
{
    return hay.text.startsWith(needle.text) && clustersAlign(hay, 0, needle);
}

PinyinMatcher::Pinyin transliterated(const QString &text)
{
    icu::UnicodeString u(utf16(text), int32_t(text.size()));
    // The transform leaves ASCII as it is and costs tens of microseconds a name, so Latin names skip it.
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (icu::Transliterator *t = toLatin(); t && !ascii)
        t->transliterate(u);
    u.toLower(icu::Locale::getRoot());
    const QString latin = normalizedNfc(std::move(u));

    // Only U+0020 separates words: it is what the transform puts between syllables.
    QString full = latin;
    full.remove(u' ');
    QString initials;
    for (const QString &word : latin.split(u' ', Qt::SkipEmptyParts)) {
        const ClusterText clusters = clustered(word);
        initials += word.left(clusters.bounds[1]);
    }
    // Dropping spaces can bring a mark next to a new base; keep both forms normalised for the comparisons.
    return PinyinMatcher::Pinyin{normalizedNfc(icu::UnicodeString(utf16(full), int32_t(full.size()))),
                                 normalizedNfc(icu::UnicodeString(utf16(initials), int32_t(initials.size())))};
}

// A pure memo of the forms of every text seen on this thread; the same text always gives the same forms. Entries
// are only added (node-based, so a reference stays good) until `trim` empties the memo, which happens only on entry
// to a search.
class FormsMemo
{
public:
    const NameForms &lowered(const QString &text) { return entry(text); }

    const NameForms &withPinyin(const QString &text)
    {
        NameForms &forms = entry(text);
        if (!forms.hasPinyin) {
            PinyinMatcher::Pinyin p = transliterated(text);
            forms.full = clustered(std::move(p.full));
            forms.initials = clustered(std::move(p.initials));
            forms.hasPinyin = true;
        }
        return forms;
    }

    // Keeps the memo from growing without bound when names keep changing; far above any real catalogue.
    void trim()
    {
        if (m_forms.size() > 20000)
            m_forms.clear();
    }

private:
    NameForms &entry(const QString &text)
    {
        auto [it, added] = m_forms.try_emplace(text);
        if (added)
            it->second.lowered = clustered(::lowered(text));
        return it->second;
    }

    std::unordered_map<QString, NameForms> m_forms;
};

FormsMemo &memo()
{
    thread_local FormsMemo instance;
    return instance;
}

bool isTrimmedSpace(QChar c)
{
    // Every space separator lies in the BMP, so single code units suffice.
    return c == u'\t' || u_charType(c.unicode()) == U_SPACE_SEPARATOR;
}

QString trimmedQuery(const QString &query)
{
    qsizetype begin = 0;
    qsizetype end = query.size();
    while (begin < end && isTrimmedSpace(query[begin]))
        ++begin;
    while (end > begin && isTrimmedSpace(query[end - 1]))
        --end;
    return query.mid(begin, end - begin);
}

void notePosition(std::optional<int> &best, std::optional<int> position)
{
    if (position && (!best || *position < *best))
        best = position;
}

std::optional<PinyinMatcher::MatchScore> matchPrepared(const QString &name, const QStringList &aliases,
                                                       const ClusterText &q, const QStringList &extraNames)
{
    FormsMemo &forms = memo();

    std::optional<int> best = clusterPosition(forms.lowered(name).lowered, q);
    for (const QString &extra : extraNames)
        notePosition(best, clusterPosition(forms.lowered(extra).lowered, q));
    if (best)
        return PinyinMatcher::MatchScore{0, *best};

    for (const QString &alias : aliases)
        notePosition(best, clusterPosition(forms.lowered(alias).lowered, q));
    if (best)
        return PinyinMatcher::MatchScore{1, *best};

    // Extra names are what the user typed, in the user's own script; their pinyin is not searched.
    auto notePinyin = [&](const QString &text) {
        const NameForms &f = forms.withPinyin(text);
        if (std::optional<int> inFull = clusterPosition(f.full, q))
            notePosition(best, inFull);
        else if (hasClusterPrefix(f.initials, q))
            notePosition(best, 0);
    };
    notePinyin(name);
    for (const QString &alias : aliases)
        notePinyin(alias);
    if (best)
        return PinyinMatcher::MatchScore{2, *best};
    return std::nullopt;
}

} // namespace

PinyinMatcher::Pinyin PinyinMatcher::pinyin(const QString &text)
{
    memo().trim();
    const NameForms &forms = memo().withPinyin(text);
    return Pinyin{forms.full.text, forms.initials.text};
}

QList<AppInfo> PinyinMatcher::rankedFilter(const QList<AppInfo> &apps, const QString &query,
                                           const ExtraNames &extraNames)
{
    const QString trimmed = trimmedQuery(query);
    const ClusterText q = clustered(lowered(trimmed));
    if (q.text.isEmpty())
        return apps;

    memo().trim();
    struct Ranked
    {
        MatchScore score;
        qsizetype index;
    };
    std::vector<Ranked> kept;
    for (qsizetype i = 0; i < apps.size(); ++i) {
        const AppInfo &app = apps[i];
        const QStringList extras = extraNames ? extraNames(app) : QStringList();
        if (const std::optional<MatchScore> score = matchPrepared(app.name, app.aliases, q, extras))
            kept.push_back({*score, i});
    }
    std::stable_sort(kept.begin(), kept.end(), [](const Ranked &a, const Ranked &b) {
        if (a.score != b.score)
            return a.score < b.score;
        return a.index < b.index;
    });

    QList<AppInfo> ranked;
    ranked.reserve(qsizetype(kept.size()));
    for (const Ranked &r : kept)
        ranked.append(apps[r.index]);
    return ranked;
}

std::optional<PinyinMatcher::MatchScore> PinyinMatcher::match(const QString &name, const QStringList &aliases,
                                                              const QString &loweredQuery,
                                                              const QStringList &extraNames)
{
    const ClusterText q =
        clustered(normalizedNfc(icu::UnicodeString(utf16(loweredQuery), int32_t(loweredQuery.size()))));
    if (q.text.isEmpty())
        return std::nullopt;
    memo().trim();
    return matchPrepared(name, aliases, q, extraNames);
}
