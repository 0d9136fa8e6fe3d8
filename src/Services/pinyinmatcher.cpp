#include "pinyinmatcher.h"

#include "hanreadings.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utext.h>

#include <QSet>

#include <algorithm>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace {

// A lowered, NFC-normalised text and the offsets of its grapheme clusters: 0, each cluster start, and its length;
// no offsets at all when every code unit is a cluster of its own (the common case, kept small). Two such texts are
// compared cluster by cluster, which is how canonically equivalent text compares equal without a match ever
// starting or ending inside a cluster.
struct ClusterText
{
    QString text;
    std::vector<qsizetype> bounds;

    [[nodiscard]] bool simple() const { return bounds.empty(); }
    [[nodiscard]] size_t clusterCount() const { return simple() ? size_t(text.size()) : bounds.size() - 1; }
    [[nodiscard]] qsizetype bound(size_t i) const { return simple() ? qsizetype(i) : bounds[i]; }
    [[nodiscard]] bool isBoundary(qsizetype offset) const
    {
        return simple() ? offset >= 0 && offset <= text.size()
                        : std::binary_search(bounds.begin(), bounds.end(), offset);
    }
    [[nodiscard]] size_t bytes() const
    {
        return size_t(text.capacity()) * sizeof(QChar) + bounds.capacity() * sizeof(qsizetype);
    }
};

// Which characters a text holds, folded into 64 bits: a text cannot contain a query whose bits it lacks.
uint64_t characterMask(QStringView text)
{
    uint64_t mask = 0;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= u'a' && c <= u'z')
            mask |= uint64_t(1) << (c - u'a');
        else if (c >= u'0' && c <= u'9')
            mask |= uint64_t(1) << (26 + c - u'0');
        else
            mask |= uint64_t(1) << (36 + c % 28);
    }
    return mask;
}

// One bit for a pair of adjacent code units, so that a text's pairs fold into 64 bits like its characters.
uint64_t pairBit(char16_t first, char16_t second)
{
    const uint32_t h = uint32_t(first) * 0x9e3779b1U ^ uint32_t(second) * 0x85ebca77U;
    return uint64_t(1) << (h >> 26);
}

uint64_t pairMask(QStringView text)
{
    uint64_t mask = 0;
    for (qsizetype i = 1; i < text.size(); ++i)
        mask |= pairBit(text[i - 1].unicode(), text[i].unicode());
    return mask;
}

// A name's pinyin as a sequence of tokens, each with one or more spellings (a Han character: its readings; other
// text: its transliteration, split into words at spaces). A token that starts a word gives the initials their
// next letter; text that directly follows a Han character belongs to its word, as the transform writes "lèQQ".
struct PinyinForms
{
    struct Spelling
    {
        uint16_t begin = 0; // in `chars`
        uint16_t length = 0;
    };
    struct Token
    {
        uint16_t firstSpelling = 0;
        uint16_t spellingCount = 0;
        uint16_t minClustersBefore = 0; // the fewest clusters the tokens before it can take
        bool startsWord = false;
    };

    QString chars;                 // every spelling, one after another
    std::vector<Spelling> spellings;
    std::vector<Token> tokens;
    std::vector<uint16_t> bounds;  // cluster starts in `chars` plus its length; empty when every unit is a cluster
    uint64_t mask = 0;
    // The pairs of adjacent units of every choice's full pinyin: those inside a spelling and those where a spelling
    // of one token meets a spelling of the next. A query with a pair outside it is not in the full pinyin.
    uint64_t pairs = 0;
    // The characters that can begin a word, the only ones the initials are made of.
    uint64_t initialsMask = 0;
    uint16_t words = 0;

    [[nodiscard]] bool isBoundary(qsizetype offset) const
    {
        return bounds.empty() || std::binary_search(bounds.begin(), bounds.end(), uint16_t(offset));
    }
    [[nodiscard]] qsizetype clustersBetween(qsizetype from, qsizetype to) const
    {
        if (bounds.empty())
            return to - from;
        return std::lower_bound(bounds.begin(), bounds.end(), uint16_t(to))
            - std::lower_bound(bounds.begin(), bounds.end(), uint16_t(from));
    }
    [[nodiscard]] qsizetype firstClusterEnd(const Spelling &s) const
    {
        if (bounds.empty())
            return s.begin + 1;
        return *std::upper_bound(bounds.begin(), bounds.end(), s.begin);
    }
    [[nodiscard]] std::span<const Spelling> spellingsOf(const Token &t) const
    {
        return {spellings.data() + t.firstSpelling, t.spellingCount};
    }
    [[nodiscard]] QStringView text(const Spelling &s) const { return QStringView(chars).sliced(s.begin, s.length); }
    [[nodiscard]] size_t bytes() const
    {
        return size_t(chars.capacity()) * sizeof(QChar) + spellings.capacity() * sizeof(Spelling)
            + tokens.capacity() * sizeof(Token) + bounds.capacity() * sizeof(uint16_t);
    }
};

struct NameForms
{
    ClusterText lowered;
    uint64_t loweredMask = 0;
    uint64_t loweredPairs = 0;
    bool hasPinyin = false; // the memo of unprepared names works the pinyin out only when tier 2 needs it
    PinyinForms pinyin;

    [[nodiscard]] size_t bytes() const { return sizeof(NameForms) + lowered.bytes() + pinyin.bytes(); }
};

} // namespace

// What PinyinMatcher::prepare gives an app: the forms of its name, then of each alias, and the texts they were made
// from (shared with the app's own, so they cost nothing), to notice an app whose names changed since. The forms of
// one prepare() lie side by side in one PreparedForms block, in the order of the list, so that a search walks them
// front to back as it walks the apps: most apps are passed over on their masks alone, and a search that touches
// them for the first time (right after a publish, made on another thread) streams through them instead of jumping
// between scattered allocations.
class alignas(64) AppSearchForms // two whole cache lines
{
public:
    // The characters and adjacent pairs of the lowered name, of the lowered aliases and of the full pinyin, and the
    // characters the initials can hold (all forms together), so that most apps are passed over without a look at
    // their forms. Next to the texts that fits() compares.
    uint64_t nameMask = 0;
    uint64_t namePairs = 0;
    uint64_t aliasMask = 0;
    uint64_t aliasPairs = 0;
    uint64_t pinyinMask = 0;
    uint64_t pinyinPairs = 0;
    uint64_t initialsMask = 0;
    QString name;
    QStringList aliases;
    const NameForms *forms = nullptr; // 1 + aliases.size() of them, in the block that holds this object
    size_t formCount = 0;
    const uint8_t *letters = nullptr; // the kept scores of the one-letter queries, in the same block

    [[nodiscard]] bool fits(const AppInfo &app) const
    {
        // Copies of the app share the texts the forms were made from, which settles it without comparing them.
        const bool sameName = app.name.constData() == name.constData() && app.name.size() == name.size();
        const bool sameAliases = app.aliases.constData() == aliases.constData() && app.aliases.size() == aliases.size();
        return (sameName || app.name == name) && (sameAliases || app.aliases == aliases);
    }
};

namespace {

// The forms of every app that one prepare() call worked out; each app's searchForms points into it and keeps the
// whole block alive.
struct PreparedForms
{
    std::vector<NameForms> names;
    std::vector<AppSearchForms> apps;
    std::vector<uint8_t> letters;
};

} // namespace

namespace {

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

// Kana and other scripts to Latin (Han characters without a reading too); Latin text keeps its letters (no ASCII
// folding of ß or full-width forms) but loses its combining marks.
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

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Printable ASCII and unified Han characters: no case but ASCII's, nothing to compose, and a cluster boundary
// between any two of them. Most names are made of nothing else.
bool isPlainText(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar qc) {
        const char16_t c = qc.unicode();
        return (c >= 0x20 && c < 0x7f) || (c >= 0x4e00 && c <= 0x9fff) || (c >= 0x3400 && c <= 0x4dbf);
    });
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
    if (isPlainText(s))
        return s.toLower();
    icu::UnicodeString u(utf16(s), int32_t(s.size()));
    u.toLower(icu::Locale::getRoot());
    return normalizedNfc(std::move(u));
}

// The cluster starts of `text` and its length; empty when every code unit is a cluster of its own.
std::vector<qsizetype> clusterBounds(const QString &text)
{
    const qsizetype size = text.size();
    if (isPlainText(text))
        return {};
    std::vector<qsizetype> bounds{0};
    icu::BreakIterator *breaks = characterBreaks();
    UErrorCode status = U_ZERO_ERROR;
    UText ut = UTEXT_INITIALIZER;
    utext_openUChars(&ut, utf16(text), size, &status);
    if (breaks && U_SUCCESS(status))
        breaks->setText(&ut, status);
    if (!breaks || U_FAILURE(status)) {
        // Without break rules every code unit stands alone.
        utext_close(&ut);
        return {};
    }
    for (int32_t b = breaks->next(); b != icu::BreakIterator::DONE; b = breaks->next())
        bounds.push_back(b);
    utext_close(&ut);
    if (bounds.back() != size)
        bounds.push_back(size);
    if (bounds.size() == size_t(size) + 1)
        return {};
    return bounds;
}

ClusterText clustered(QString text)
{
    ClusterText result;
    result.text = std::move(text);
    result.bounds = clusterBounds(result.text);
    return result;
}

// The number of clusters before the first occurrence of `needle`'s clusters in `hay`'s.
std::optional<int> clusterPosition(const ClusterText &hay, const ClusterText &needle)
{
    for (qsizetype from = 0; (from = hay.text.indexOf(needle.text, from)) >= 0; ++from) {
        if (hay.simple() && needle.simple())
            return int(from);
        if (!hay.isBoundary(from))
            continue;
        const auto first = hay.simple() ? size_t(from)
                                        : size_t(std::lower_bound(hay.bounds.begin(), hay.bounds.end(), from)
                                                 - hay.bounds.begin());
        if (first + needle.clusterCount() > hay.clusterCount())
            continue;
        bool aligned = true;
        for (size_t j = 1; j <= needle.clusterCount() && aligned; ++j)
            aligned = hay.bound(first + j) == from + needle.bound(j);
        if (aligned)
            return int(first);
    }
    return std::nullopt;
}

class PinyinBuilder
{
public:
    PinyinForms build(const QString &text)
    {
        QString run;
        for (qsizetype i = 0; i < text.size(); ++i) {
            char32_t c = text[i].unicode();
            qsizetype units = 1;
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(text[i], text[i + 1]);
                units = 2;
            }
            const std::span<const uint16_t> readings = HanReadings::of(c);
            if (readings.empty()) {
                run += QStringView(text).sliced(i, units);
            } else {
                addRun(run);
                run.clear();
                // The transform sets a syllable apart only from a letter before it: "a wēi", "1wēi", "(wēi)".
                beginToken(m_forms.tokens.empty() || m_last == u' ' || m_last.isLetter());
                for (uint16_t r : readings)
                    addSpelling(HanReadings::syllable(r));
                m_last = u'n';
            }
            i += units - 1;
        }
        addRun(run);
        finish();
        return std::move(m_forms);
    }

private:
    PinyinForms m_forms;
    std::vector<qsizetype> m_bounds;
    bool m_complex = false;
    QChar m_last; // the last character written so far

    void beginToken(bool startsWord)
    {
        PinyinForms::Token token;
        token.firstSpelling = uint16_t(m_forms.spellings.size());
        token.startsWord = startsWord;
        m_forms.tokens.push_back(token);
        if (startsWord)
            ++m_forms.words;
    }

    void addSpelling(QLatin1StringView syllable)
    {
        const qsizetype begin = m_forms.chars.size();
        m_forms.chars += syllable;
        for (qsizetype i = begin; i < m_forms.chars.size(); ++i)
            m_bounds.push_back(i);
        pushSpelling(begin);
    }

    void addSpelling(const QString &word)
    {
        const qsizetype begin = m_forms.chars.size();
        m_forms.chars += word;
        const std::vector<qsizetype> bounds = clusterBounds(word);
        if (bounds.empty()) {
            for (qsizetype i = 0; i < word.size(); ++i)
                m_bounds.push_back(begin + i);
        } else {
            m_complex = true;
            for (size_t i = 0; i + 1 < bounds.size(); ++i)
                m_bounds.push_back(begin + bounds[i]);
        }
        pushSpelling(begin);
    }

    void pushSpelling(qsizetype begin)
    {
        m_forms.spellings.push_back({uint16_t(begin), uint16_t(m_forms.chars.size() - begin)});
        ++m_forms.tokens.back().spellingCount;
    }

    // Text between Han characters, transliterated as a whole; its first word continues the word before it unless
    // a space comes first (the transform writes "lèQQ").
    void addRun(const QString &run)
    {
        if (run.isEmpty())
            return;
        icu::UnicodeString u(utf16(run), int32_t(run.size()));
        // The transform leaves ASCII as it is and costs tens of microseconds a name, so Latin text skips it; so does
        // making it, which costs tens of milliseconds and holds up the first scan when no name needs it.
        if (!isAscii(run)) {
            if (icu::Transliterator *t = toLatin())
                t->transliterate(u);
        }
        u.toLower(icu::Locale::getRoot());
        const QString latin = normalizedNfc(std::move(u));
        if (!latin.isEmpty())
            m_last = latin.back();
        bool first = true;
        // Only U+0020 separates words: it is what the transform puts between syllables.
        for (const QString &word : latin.split(u' ', Qt::SkipEmptyParts)) {
            const bool continues = first && !m_forms.tokens.empty() && !latin.startsWith(u' ');
            first = false;
            beginToken(!continues);
            // Dropping spaces can bring a mark next to a new base; keep every piece normalised on its own.
            addSpelling(normalizedNfc(icu::UnicodeString(utf16(word), int32_t(word.size()))));
        }
    }

    void finish()
    {
        if (m_complex) {
            m_bounds.push_back(m_forms.chars.size());
            m_forms.bounds.assign(m_bounds.begin(), m_bounds.end());
        }
        uint16_t before = 0;
        for (auto &token : m_forms.tokens) {
            token.minClustersBefore = before;
            qsizetype fewest = -1;
            for (const auto &s : m_forms.spellingsOf(token)) {
                const qsizetype n = m_forms.clustersBetween(s.begin, s.begin + s.length);
                if (fewest < 0 || n < fewest)
                    fewest = n;
            }
            before = uint16_t(before + std::max<qsizetype>(fewest, 0));
        }
        m_forms.mask = characterMask(m_forms.chars);
        for (size_t t = 0; t < m_forms.tokens.size(); ++t) {
            const PinyinForms::Token &token = m_forms.tokens[t];
            for (const auto &s : m_forms.spellingsOf(token)) {
                const QStringView text = m_forms.text(s);
                if (text.isEmpty()) {
                    m_forms.pairs = ~uint64_t(0); // an empty spelling would join the tokens around it
                    continue;
                }
                m_forms.pairs |= pairMask(text);
                if (t + 1 < m_forms.tokens.size()) {
                    for (const auto &next : m_forms.spellingsOf(m_forms.tokens[t + 1])) {
                        if (next.length > 0)
                            m_forms.pairs |= pairBit(text.back().unicode(), m_forms.chars[next.begin].unicode());
                    }
                }
                if (token.startsWord)
                    m_forms.initialsMask |= characterMask(QStringView(m_forms.chars).sliced(
                        s.begin, m_forms.firstClusterEnd(s) - s.begin));
            }
        }
        m_forms.chars.squeeze();
        m_forms.spellings.shrink_to_fit();
        m_forms.tokens.shrink_to_fit();
    }
};

// Names so long that the 16-bit offsets of their pinyin could overflow are cut; no app has such a name.
constexpr qsizetype longestPinyinSource = 1000;

NameForms formsOf(const QString &text, bool withPinyin)
{
    NameForms forms;
    forms.lowered = clustered(lowered(text));
    forms.loweredMask = characterMask(forms.lowered.text);
    forms.loweredPairs = pairMask(forms.lowered.text);
    if (withPinyin) {
        forms.pinyin = PinyinBuilder().build(text.left(longestPinyinSource));
        forms.hasPinyin = true;
    }
    return forms;
}

// The first keystroke is nearly always one letter, which matches a great many apps, each by a look at several of
// its forms. Preparing an app also keeps its score for each query of one ASCII letter or digit, in a byte: the tier
// times 64 plus the position, or that it does not match, or (for a position of 64 or more) that it is not kept.
constexpr size_t oneLetterCount = 36;
constexpr uint8_t letterNoMatch = 0xfe;
constexpr uint8_t letterNotKept = 0xff;

int oneLetterSlot(QStringView text)
{
    if (text.size() != 1)
        return -1;
    const char16_t c = text.front().unicode();
    if (c >= u'a' && c <= u'z')
        return c - u'a';
    if (c >= u'0' && c <= u'9')
        return 26 + (c - u'0');
    return -1;
}

QChar oneLetterOfSlot(size_t slot)
{
    return slot < 26 ? QChar(char16_t(u'a' + slot)) : QChar(char16_t(u'0' + (slot - 26)));
}

uint8_t keptLetterScore(std::optional<PinyinMatcher::MatchScore> score)
{
    if (!score)
        return letterNoMatch;
    if (score->position >= 64 || score->tier < 0 || score->tier > 2)
        return letterNotKept;
    return uint8_t(score->tier * 64 + score->position);
}

// A query: its cluster text and the mask of its characters.
struct Query
{
    ClusterText q;
    uint64_t mask = 0;
    uint64_t pairs = 0;
    int letter = -1; // which one-letter query it is, if it is one
};

bool sameUnits(QStringView a, QStringView b)
{
    return a == b;
}

// Whether the query, from its offset `done` on, continues through the tokens after `token` in some choice of
// spellings. The set of offsets reached stays at most as large as the query, whatever the number of choices.
bool continuesAfter(const PinyinForms &p, size_t token, qsizetype done, const ClusterText &q)
{
    std::vector<qsizetype> states{done};
    std::vector<qsizetype> next;
    for (size_t t = token + 1; t < p.tokens.size() && !states.empty(); ++t) {
        next.clear();
        for (qsizetype s : states) {
            const QStringView rest = QStringView(q.text).sliced(s);
            for (const auto &spelling : p.spellingsOf(p.tokens[t])) {
                const QStringView text = p.text(spelling);
                if (rest.size() <= text.size()) {
                    if (sameUnits(text.first(rest.size()), rest) && p.isBoundary(spelling.begin + rest.size()))
                        return true;
                } else if (sameUnits(rest.first(text.size()), text) && q.isBoundary(s + text.size())
                           && std::find(next.begin(), next.end(), s + text.size()) == next.end()) {
                    next.push_back(s + text.size());
                }
            }
        }
        std::swap(states, next);
    }
    return false;
}

// The smallest number of clusters before an occurrence of the query in the full pinyin of some choice.
std::optional<int> positionInFull(const PinyinForms &p, const ClusterText &q)
{
    const QChar head = q.text.front();
    std::optional<int> best;
    for (size_t t = 0; t < p.tokens.size(); ++t) {
        const PinyinForms::Token &token = p.tokens[t];
        if (best && token.minClustersBefore >= *best)
            break;
        for (const auto &spelling : p.spellingsOf(token)) {
            const QStringView text = p.text(spelling);
            for (qsizetype o = 0; o < text.size(); ++o) {
                if (text[o] != head || !p.isBoundary(spelling.begin + o))
                    continue;
                const QStringView tail = text.sliced(o);
                bool found = false;
                if (q.text.size() <= tail.size()) {
                    found = sameUnits(tail.first(q.text.size()), q.text)
                        && p.isBoundary(spelling.begin + o + q.text.size());
                } else {
                    found = sameUnits(tail, QStringView(q.text).first(tail.size())) && q.isBoundary(tail.size())
                        && continuesAfter(p, t, tail.size(), q);
                }
                if (found) {
                    const int position = int(token.minClustersBefore + p.clustersBetween(spelling.begin,
                                                                                         spelling.begin + o));
                    if (!best || position < *best)
                        best = position;
                    break; // later offsets of this spelling lie further on
                }
            }
        }
    }
    return best;
}

// Whether the initials of some choice start with the query: its n-th cluster is the first cluster of some
// spelling of the n-th word.
bool initialsStartWith(const PinyinForms &p, const ClusterText &q)
{
    if (q.clusterCount() > p.words)
        return false;
    size_t cluster = 0;
    for (const auto &token : p.tokens) {
        if (cluster == q.clusterCount())
            return true;
        if (!token.startsWord)
            continue;
        const QStringView wanted = QStringView(q.text).sliced(q.bound(cluster), q.bound(cluster + 1) - q.bound(cluster));
        bool any = false;
        for (const auto &spelling : p.spellingsOf(token)) {
            const QStringView first = QStringView(p.chars).sliced(spelling.begin, p.firstClusterEnd(spelling) - spelling.begin);
            if (first == wanted) {
                any = true;
                break;
            }
        }
        if (!any)
            return false;
        ++cluster;
    }
    return cluster == q.clusterCount();
}

void notePosition(std::optional<int> &best, std::optional<int> position)
{
    if (position && (!best || *position < *best))
        best = position;
}

std::optional<int> loweredPosition(const NameForms &forms, const Query &query)
{
    if ((query.mask & ~forms.loweredMask) || (query.pairs & ~forms.loweredPairs))
        return std::nullopt;
    return clusterPosition(forms.lowered, query.q);
}

std::optional<int> pinyinPosition(const NameForms &forms, const Query &query)
{
    const PinyinForms &p = forms.pinyin;
    if (!(query.mask & ~p.mask) && !(query.pairs & ~p.pairs)) {
        if (std::optional<int> inFull = positionInFull(p, query.q))
            return inFull;
    }
    if (!(query.mask & ~p.initialsMask) && initialsStartWith(p, query.q))
        return 0;
    return std::nullopt;
}

// A pure memo of the forms of every text met unprepared on this thread; the same text always gives the same forms.
// Entries are only added (node-based, so a reference stays good) until `trim` empties the memo, which happens only
// on entry to a search.
class FormsMemo
{
public:
    const NameForms &lowered(const QString &text)
    {
        auto [it, added] = m_forms.try_emplace(text);
        if (added)
            it->second = formsOf(text, false);
        return it->second;
    }

    const NameForms &withPinyin(const QString &text)
    {
        auto [it, added] = m_forms.try_emplace(text);
        if (!it->second.hasPinyin)
            it->second = formsOf(text, true);
        return it->second;
    }

    // Keeps the memo from growing without bound when names keep changing; far above any real catalogue.
    void trim()
    {
        if (m_forms.size() > 20000)
            m_forms.clear();
    }

private:
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

Query makeQuery(QString loweredText)
{
    Query query;
    query.q = clustered(std::move(loweredText));
    query.mask = characterMask(query.q.text);
    query.pairs = pairMask(query.q.text);
    query.letter = oneLetterSlot(query.q.text);
    return query;
}

// Extra names come with each search, so they are not prepared. Plain text is lowered on the spot (cheaper than a
// memo), anything else goes through the memo of this thread.
std::optional<int> extraPosition(const QString &extra, const Query &query)
{
    if (!isPlainText(extra))
        return loweredPosition(memo().lowered(extra), query);
    // Every code unit of plain text is a cluster, so its offsets are positions.
    const qsizetype at = extra.toLower().indexOf(query.q.text);
    return at < 0 ? std::nullopt : std::optional<int>(int(at));
}

// `nameAt(0)` is the name's forms, `nameAt(i)` for 1 <= i <= aliasCount those of alias i - 1, all with pinyin.
template <typename NameAt>
std::optional<PinyinMatcher::MatchScore> matchForms(qsizetype aliasCount, const NameAt &nameAt,
                                                    const QStringList &extraNames, const Query &query)
{
    std::optional<int> best = loweredPosition(nameAt(0), query);
    for (const QString &extra : extraNames)
        notePosition(best, extraPosition(extra, query));
    if (best)
        return PinyinMatcher::MatchScore{0, *best};

    for (qsizetype i = 1; i <= aliasCount; ++i)
        notePosition(best, loweredPosition(nameAt(i), query));
    if (best)
        return PinyinMatcher::MatchScore{1, *best};

    // Extra names are what the user typed, in the user's own script; their pinyin is not searched.
    for (qsizetype i = 0; i <= aliasCount; ++i)
        notePosition(best, pinyinPosition(nameAt(i), query));
    if (best)
        return PinyinMatcher::MatchScore{2, *best};
    return std::nullopt;
}

std::optional<PinyinMatcher::MatchScore> matchUnprepared(const QString &name, const QStringList &aliases,
                                                         const QStringList &extraNames, const Query &query)
{
    FormsMemo &forms = memo();
    const auto nameAt = [&](qsizetype i) -> const NameForms & {
        return forms.withPinyin(i == 0 ? name : aliases[i - 1]);
    };
    return matchForms(aliases.size(), nameAt, extraNames, query);
}

std::optional<PinyinMatcher::MatchScore> matchApp(const AppInfo &app, const QStringList &extraNames,
                                                  const Query &query)
{
    const AppSearchForms *prepared = app.searchForms.get();
    if (!prepared || !prepared->fits(app))
        return matchUnprepared(app.name, app.aliases, extraNames, query);
    if (query.letter >= 0) {
        if (const uint8_t kept = prepared->letters[query.letter]; kept != letterNotKept) {
            std::optional<PinyinMatcher::MatchScore> own;
            if (kept != letterNoMatch)
                own = PinyinMatcher::MatchScore{kept / 64, kept % 64};
            // Extra names take part in the first tier only.
            std::optional<int> extra;
            for (const QString &name : extraNames)
                notePosition(extra, extraPosition(name, query));
            if (!extra)
                return own;
            if (own && own->tier == 0)
                return PinyinMatcher::MatchScore{0, std::min(own->position, *extra)};
            return PinyinMatcher::MatchScore{0, *extra};
        }
    }
    const uint64_t m = query.mask;
    const bool inFullPinyin = !(m & ~prepared->pinyinMask) && !(query.pairs & ~prepared->pinyinPairs);
    const bool inName = !(m & ~prepared->nameMask) && !(query.pairs & ~prepared->namePairs);
    const bool inAlias = !(m & ~prepared->aliasMask) && !(query.pairs & ~prepared->aliasPairs);
    if (extraNames.isEmpty() && !inName && !inAlias && !inFullPinyin && (m & ~prepared->initialsMask))
        return std::nullopt;
    const auto nameAt = [prepared](qsizetype i) -> const NameForms & { return prepared->forms[size_t(i)]; };
    return matchForms(app.aliases.size(), nameAt, extraNames, query);
}

// A published catalogue was made on another thread, so the first search after it finds none of it in this core's
// caches, and each app would wait on memory in turn: for its entry in the list, for its identifier, which every
// caller's extra names are keyed by, and for its prepared forms. Asking for them ahead lets those waits overlap: the
// entries further ahead, as the identifier and forms are found through them. (Written out in the loop: GCC takes a
// function that does nothing but prefetch for one without effect and drops its calls.)
constexpr qsizetype prefetchDistance = 8;

} // namespace

PinyinMatcher::Pinyin PinyinMatcher::pinyin(const QString &text)
{
    memo().trim();
    const PinyinForms &p = memo().withPinyin(text).pinyin;
    Pinyin result;
    for (const auto &token : p.tokens) {
        const PinyinForms::Spelling &usual = p.spellings[token.firstSpelling];
        result.full += p.text(usual);
        if (token.startsWord)
            result.initials += QStringView(p.chars).sliced(usual.begin, p.firstClusterEnd(usual) - usual.begin);
    }
    return result;
}

namespace {

// Works out the forms of the apps at `indices` into one block and hands each of them its share of it.
void prepareInOneBlock(QList<AppInfo> &apps, const std::vector<qsizetype> &indices)
{
    if (indices.empty())
        return;
    auto block = std::make_shared<PreparedForms>();
    size_t nameCount = 0;
    for (qsizetype i : indices)
        nameCount += 1 + size_t(apps[i].aliases.size());
    // Reserved in full, so that the forms' addresses stay put while the block fills.
    block->names.reserve(nameCount);
    block->apps.reserve(indices.size());
    block->letters.resize(indices.size() * oneLetterCount);
    std::vector<Query> letterQueries;
    for (size_t slot = 0; slot < oneLetterCount; ++slot)
        letterQueries.push_back(makeQuery(QString(oneLetterOfSlot(slot))));
    for (qsizetype i : indices) {
        const AppInfo &app = apps[i];
        AppSearchForms &forms = block->apps.emplace_back();
        forms.name = app.name;
        forms.aliases = app.aliases;
        forms.forms = block->names.data() + block->names.size();
        forms.formCount = 1 + size_t(app.aliases.size());
        block->names.push_back(formsOf(app.name, true));
        forms.nameMask = block->names.back().loweredMask;
        forms.namePairs = block->names.back().loweredPairs;
        forms.pinyinMask = block->names.back().pinyin.mask;
        forms.pinyinPairs = block->names.back().pinyin.pairs;
        forms.initialsMask = block->names.back().pinyin.initialsMask;
        for (const QString &alias : app.aliases) {
            block->names.push_back(formsOf(alias, true));
            forms.aliasMask |= block->names.back().loweredMask;
            forms.aliasPairs |= block->names.back().loweredPairs;
            forms.pinyinMask |= block->names.back().pinyin.mask;
            forms.pinyinPairs |= block->names.back().pinyin.pairs;
            forms.initialsMask |= block->names.back().pinyin.initialsMask;
        }
        uint8_t *letters = block->letters.data() + (block->apps.size() - 1) * oneLetterCount;
        forms.letters = letters;
        const uint64_t anywhere = forms.nameMask | forms.aliasMask | forms.pinyinMask;
        const auto nameAt = [&forms](qsizetype n) -> const NameForms & { return forms.forms[size_t(n)]; };
        for (size_t slot = 0; slot < oneLetterCount; ++slot) {
            const Query &letter = letterQueries[slot];
            letters[slot] = (letter.mask & ~anywhere)
                ? letterNoMatch
                : keptLetterScore(matchForms(app.aliases.size(), nameAt, QStringList(), letter));
        }
    }
    for (size_t k = 0; k < indices.size(); ++k)
        apps[indices[k]].searchForms = std::shared_ptr<const AppSearchForms>(block, &block->apps[k]);
}

} // namespace

std::shared_ptr<const AppSearchForms> PinyinMatcher::searchForms(const QString &name, const QStringList &aliases)
{
    QList<AppInfo> one{AppInfo{{}, name, {}, std::nullopt, aliases}};
    prepareInOneBlock(one, {0});
    return one.front().searchForms;
}

void PinyinMatcher::prepare(QList<AppInfo> &apps)
{
    std::vector<qsizetype> missing;
    for (qsizetype i = 0; i < apps.size(); ++i) {
        const AppInfo &app = apps[i];
        if (!app.searchForms || !app.searchForms->fits(app))
            missing.push_back(i);
    }
    prepareInOneBlock(apps, missing);
}

size_t PinyinMatcher::preparedBytes(const QList<AppInfo> &apps)
{
    QSet<const AppSearchForms *> counted;
    size_t bytes = 0;
    for (const AppInfo &app : apps) {
        const AppSearchForms *forms = app.searchForms.get();
        if (!forms || counted.contains(forms))
            continue;
        counted.insert(forms);
        // Its place in the block; the name and aliases are the app's own.
        bytes += sizeof(AppSearchForms) + oneLetterCount;
        for (size_t i = 0; i < forms->formCount; ++i)
            bytes += forms->forms[i].bytes();
    }
    return bytes;
}

QList<AppInfo> PinyinMatcher::rankedFilter(const QList<AppInfo> &apps, const QString &query,
                                           const ExtraNames &extraNames)
{
    const Query q = makeQuery(lowered(trimmedQuery(query)));
    if (q.q.text.isEmpty())
        return apps;

    memo().trim();
    struct Ranked
    {
        MatchScore score;
        qsizetype index;
    };
    std::vector<Ranked> kept;
    kept.reserve(size_t(apps.size()));
    for (qsizetype i = 0; i < apps.size(); ++i) {
        const AppInfo &app = apps[i];
        if (i + 2 * prefetchDistance < apps.size()) {
            const char *entry = reinterpret_cast<const char *>(&apps[i + 2 * prefetchDistance]);
            __builtin_prefetch(entry);
            __builtin_prefetch(entry + sizeof(AppInfo) - 1);
        }
        if (i + prefetchDistance < apps.size()) {
            const AppInfo &ahead = apps[i + prefetchDistance];
            __builtin_prefetch(ahead.bundleID.constData());
            __builtin_prefetch(ahead.bundleID.constData() + ahead.bundleID.size());
            const char *forms = reinterpret_cast<const char *>(ahead.searchForms.get());
            __builtin_prefetch(forms);
            __builtin_prefetch(forms + sizeof(AppSearchForms) - 1);
        }
        const QStringList extras = extraNames ? extraNames(app) : QStringList();
        if (const std::optional<MatchScore> score = matchApp(app, extras, q))
            kept.push_back({*score, i});
    }
    // The entries are kept in input order, so placing them stably by score alone leaves ties in that order. Scores
    // are few and small (three tiers, positions within a name): a count of each places them in one pass.
    std::vector<qsizetype> order(kept.size());
    int widest = 0;
    for (const Ranked &r : kept)
        widest = std::max(widest, r.score.position);
    const size_t perTier = size_t(widest) + 1;
    constexpr size_t mostBuckets = 4096;
    if (3 * perTier <= mostBuckets) {
        const auto bucket = [perTier](const Ranked &r) {
            return size_t(r.score.tier) * perTier + size_t(r.score.position);
        };
        std::vector<uint32_t> starts(3 * perTier + 1, 0);
        for (const Ranked &r : kept)
            ++starts[bucket(r) + 1];
        for (size_t b = 1; b < starts.size(); ++b)
            starts[b] += starts[b - 1];
        for (const Ranked &r : kept)
            order[starts[bucket(r)]++] = r.index;
    } else {
        // The index makes every key distinct, so a plain sort keeps ties in input order.
        std::sort(kept.begin(), kept.end(), [](const Ranked &a, const Ranked &b) {
            if (a.score != b.score)
                return a.score < b.score;
            return a.index < b.index;
        });
        for (size_t k = 0; k < kept.size(); ++k)
            order[k] = kept[k].index;
    }

    // Each copy counts one more user of the app's texts; after a publish those counts are not in this core's caches
    // either, so they are asked for a few matches ahead, for writing (each lies just before the text it counts).
    const auto headerOf = [](const void *data) -> const void * {
        return data ? static_cast<const char *>(data) - sizeof(QArrayData) : nullptr; // an empty list has no data
    };
    QList<AppInfo> ranked;
    ranked.reserve(qsizetype(order.size()));
    for (size_t k = 0; k < order.size(); ++k) {
        if (k + prefetchDistance < order.size()) {
            const AppInfo &ahead = apps[order[k + prefetchDistance]];
            __builtin_prefetch(headerOf(ahead.bundleID.constData()), 1);
            __builtin_prefetch(headerOf(ahead.name.constData()), 1);
            __builtin_prefetch(headerOf(ahead.aliases.constData()), 1);
        }
        ranked.append(apps[order[k]]);
    }
    return ranked;
}

std::optional<PinyinMatcher::MatchScore> PinyinMatcher::match(const QString &name, const QStringList &aliases,
                                                              const QString &loweredQuery,
                                                              const QStringList &extraNames)
{
    const Query q = makeQuery(normalizedNfc(icu::UnicodeString(utf16(loweredQuery), int32_t(loweredQuery.size()))));
    if (q.q.text.isEmpty())
        return std::nullopt;
    memo().trim();
    return matchUnprepared(name, aliases, extraNames, q);
}
