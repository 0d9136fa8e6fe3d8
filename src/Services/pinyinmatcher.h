#pragma once

#include "appinfo.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <compare>
#include <functional>
#include <optional>

class TestPinyinMatcher;

// The one app search: a query is looked for in an app's name, the extra names the caller supplies, its aliases and
// the pinyin of its name and aliases, and the matches come back best first. Never instantiated; pure functions, safe
// on any thread (each thread keeps its own ICU services and memo of transliterated names).
//
// Texts are compared as lowered (root locale), NFC-normalised sequences of grapheme clusters: canonically equivalent
// spellings match, a query never matches part of a cluster, and positions count clusters.
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

    // Any-Latin without combining marks, lowered. 微信 gives ("weixin", "wx").
    [[nodiscard]] static Pinyin pinyin(const QString &text);

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
