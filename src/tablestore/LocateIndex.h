// The index that Locate keeps for one field: each value, as text, to the
// first record holding it.
//
// Lookups are what the return run does millions of times, so the index is
// laid out for few cache misses: one flat, open-addressed array of slots, a
// value of up to kInlineLength characters of at most U+00FF (every code of
// the Horalis tables) kept in its slot, longer ones in one shared buffer.
// Values compare exactly (letter case and spaces included).
#pragma once

#include <QString>
#include <QStringView>
#include <QList>

#include <cstdint>
#include <optional>

namespace puente {

class LocateIndex {
public:
    // Enters `value` for `record` unless it is already there (the first
    // record in stored order stays). Records are below 0xFFFFFFFF.
    void Insert(QStringView value, qint64 record);
    // The record entered for `value`, if any.
    std::optional<qint64> Find(QStringView value) const;
    qsizetype size() const { return count_; }

private:
    static constexpr int kInlineLength = 16;
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t recordPlusOne = 0;  // 0: empty
        std::uint32_t length = 0;
        std::uint32_t offset = 0;  // in spill_, for a value not kept inline
        char inline_[kInlineLength] = {};
    };

    static bool FitsInline(QStringView value);
    bool Matches(const Slot& slot, std::uint32_t hash, QStringView value) const;
    void Grow();

    QList<Slot> slots_;
    QString spill_;
    qsizetype count_ = 0;
};

}  // namespace puente
