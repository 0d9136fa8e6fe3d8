#pragma once

#include <QString>

#include <compare>

// The five kinds of records the store keeps, in schema order.
enum class RecordType { appMeta, appGroup, restrictionRule, quitPlan, adHocBlock };
inline constexpr int recordTypeCount = 5;

// The record type's name, which is also its table in the store file ("AppMeta", "AppGroup", ...).
[[nodiscard]] QString recordTypeName(RecordType type);

// A record's identifier in the store: its type and a number that the context gives it at insert, before any save.
// A number is never given to a second record of that type, not even after the first was deleted or its insert was
// taken back. The text form, "x-tarnwick://AppGroup/p12", is the same from insert to delete and across reopening
// the store: a group without a stable identifier is referred to by it. A plain value.
struct StoreID
{
    RecordType type = RecordType::appMeta;
    qint64 number = 0; // 0 for a record that was never inserted

    [[nodiscard]] bool isValid() const { return number > 0; }
    [[nodiscard]] QString text() const; // empty when not valid

    friend bool operator==(const StoreID &, const StoreID &) = default;
    friend auto operator<=>(const StoreID &, const StoreID &) = default;
};

size_t qHash(const StoreID &id, size_t seed = 0);
