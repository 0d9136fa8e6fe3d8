#pragma once

#include "appinfo.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <compare>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

class TestPinyinMatcher;

// The one app search: a query is looked for in an app's name, the extra names the caller supplies, its aliases and
// the pinyin of its name and aliases, and the matches come back best first. Never instantiated; pure functions, safe
// on any thread (each thread keeps its own ICU services and memo of the forms of names it met unprepared).
//
// Texts are compared as lowered (root locale), NFC-normalised sequences of grapheme clusters: canonically equivalent
// spellings match, a query never matches part of a cluster, and positions count clusters.
//
// Pinyin reads a Han character by every one of its modern readings (HanReadings), so a name's pinyin is a sequence
// of syllable alternatives: 音乐 reads "yin" then "yue" or "le", and "yinyue", "yinle", "yy" and "yl" all find it.
// The full pinyin contains the query when some choice of readings contains it (the position is the smallest over
// all choices), and the initials start with it when some choice's initials do. Matching walks the alternatives with
// a set of query offsets, so its cost grows with the name's length, never with the number of choices. A reading
// with ü is spelt both ways: 绿 matches "lu" and "lv". Other text reads as the platform transliterates it.
//
// The forms a search needs are worked out once per app by prepare(), off the main thread when the catalogue is
// published; a search only works out (and memoizes) those of apps that come without them.
class PinyinMatcher
{
public:
    PinyinMatcher() = delete;

    struct Pinyin
    {
        QString full;     // the lowered Latin transliteration with its spaces removed
        QString initials; // the first character of each space-separated word

        friend bool operator==(const Pinyin &, const Pinyin &) = default;
    };

    // Lower tier first, then lower position.
    struct MatchScore
    {
        int tier = 0;     // 0 name or extra name, 1 alias, 2 pinyin of the name or an alias
        int position = 0; // characters before the match; 0 for a match of the initials

        friend auto operator<=>(const MatchScore &, const MatchScore &) = default;
    };

    using ExtraNames = std::function<QStringList(const AppInfo &)>;

    // The usual reading: each Han character by its first reading, other text Any-Latin without combining marks,
    // lowered. 微信 gives ("weixin", "wx"), 音乐 ("yinle", "yl").
    [[nodiscard]] static Pinyin pinyin(const QString &text);

    // The search forms of an app's name and aliases, for AppInfo::searchForms. Any thread.
    [[nodiscard]] static std::shared_ptr<const AppSearchForms> searchForms(const QString &name,
                                                                         const QStringList &aliases);
    // Gives every app of the list its search forms.
    static void prepare(QList<AppInfo> &apps);
    // The memory the prepared forms of the list hold, each shared form counted once.
    [[nodiscard]] static size_t preparedBytes(const QList<AppInfo> &apps);

    // The apps matching `query`, by tier, then position, then input order. The query is trimmed of spaces (Unicode
    // space separators, the ideographic space among them) and tabs, not of line breaks, and lowered; a blank query
    // returns `apps` unchanged. `extraNames` gives an app's extra primary names (an empty function: none).
    [[nodiscard]] static QList<AppInfo> rankedFilter(const QList<AppInfo> &apps, const QString &query,
                                                     const ExtraNames &extraNames);

private:
    friend class ::TestPinyinMatcher;

    // `loweredQuery` is trimmed and lowered already and not empty.
    [[nodiscard]] static std::optional<MatchScore> match(const QString &name, const QStringList &aliases,
                                                         const QString &loweredQuery, const QStringList &extraNames);
};
