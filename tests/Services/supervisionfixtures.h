#pragma once

#include "supervisionexport.h"

#include <QFile>

#include <chrono>

// Shared fixtures of the rules-file tests: instants built from calendar parts, and the document that
// tests/data/supervision-rules.json holds.
namespace SupervisionFixtures {

inline Instant utc(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0, int micros = 0)
{
    using namespace std::chrono;
    return Instant{sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi} + seconds{s}
                   + microseconds{micros}};
}

inline const QString entertainmentID = QStringLiteral("9A1C6E2E-3F0B-4C1D-9E8F-0A1B2C3D4E5F");
inline const QString workID = QStringLiteral("0F6B2D4C-8E1A-4B3C-A5D7-9C2E4F6A8B10");

// The content of the golden file. Its dates carry fractions where the file has whole seconds, as a document built
// from the store does; `wholeSeconds` gives the dates as the file has them.
inline SupervisionExport goldenDocument(bool wholeSeconds = false)
{
    const int fraction = wholeSeconds ? 0 : 750000;
    SupervisionExport e;
    e.exportedAt = utc(2026, 3, 7, 10, 0, 0, fraction);
    e.blockedSlogan = QStringLiteral("先做完今天的事\n\"专注\"");
    e.groups = {
        {entertainmentID, QStringLiteral("娱乐"), 0,
         {QStringLiteral("com.example.video"), QStringLiteral("com.example.chat"), QStringLiteral("com.example.video")}},
        {workID, QStringLiteral("Work\ttools"), 3, {}},
    };
    e.restrictionRules = {
        {QStringLiteral("app"), QStringLiteral("com.example.video"), 1380, 420, {2, 3, 4, 5, 6}, true, std::nullopt,
         std::nullopt},
        {QStringLiteral("group"), workID, 540, 1080, {}, true, utc(2026, 3, 9, 5, 15),
         utc(2026, 3, 9, 4, 0, 0, wholeSeconds ? 0 : 999999)},
    };
    e.quitPlans = {
        {QStringLiteral("group"), entertainmentID, {}, 1380, {1, 2, 3, 4, 5, 6, 7}, QStringLiteral("minutes"), 90,
         420, true, std::nullopt},
        {QStringLiteral("apps"), QString(), {QStringLiteral("com.example.chat"), QStringLiteral("com.example.game")},
         1320, {6, 7}, QStringLiteral("until"), 0, 480, false, utc(2026, 3, 8, 6, 30)},
    };
    return e;
}

inline QByteArray goldenBytes()
{
    QFile f(QStringLiteral(TARNWICK_TEST_DATA_DIR "/supervision-rules.json"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace SupervisionFixtures
