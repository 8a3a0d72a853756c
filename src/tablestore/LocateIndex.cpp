#include "tablestore/LocateIndex.h"

#include <QHashFunctions>

#include <cstring>

namespace puente {

namespace {

std::uint32_t HashOf(QStringView value) {
    const size_t h = qHash(value, qGlobalQHashSeed());
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

}  // namespace

bool LocateIndex::FitsInline(QStringView value) {
    if (value.size() > kInlineLength) return false;
    for (const QChar c : value)
        if (c.unicode() > 0xFF) return false;
    return true;
}

bool LocateIndex::Matches(const Slot& slot, std::uint32_t hash, QStringView value) const {
    if (slot.hash != hash || slot.length != std::uint32_t(value.size())) return false;
    if (slot.offset == UINT32_MAX) {  // kept inline
        for (qsizetype i = 0; i < value.size(); ++i)
            if (value[i].unicode() != static_cast<unsigned char>(slot.inline_[i])) return false;
        return true;
    }
    return QStringView(spill_).mid(slot.offset, slot.length) == value;
}

std::optional<qint64> LocateIndex::Find(QStringView value) const {
    if (slots_.isEmpty()) return std::nullopt;
    const std::uint32_t hash = HashOf(value);
    const qsizetype mask = slots_.size() - 1;
    for (qsizetype i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.recordPlusOne == 0) return std::nullopt;
        if (Matches(slot, hash, value)) return qint64(slot.recordPlusOne) - 1;
    }
}

void LocateIndex::Insert(QStringView value, qint64 record) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    const std::uint32_t hash = HashOf(value);
    const qsizetype mask = slots_.size() - 1;
    qsizetype i = hash & mask;
    for (;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.recordPlusOne == 0) break;
        if (Matches(slot, hash, value)) return;  // the first record stays
    }
    Slot& slot = slots_[i];
    slot.hash = hash;
    slot.recordPlusOne = static_cast<std::uint32_t>(record + 1);
    slot.length = static_cast<std::uint32_t>(value.size());
    if (FitsInline(value)) {
        slot.offset = UINT32_MAX;
        for (qsizetype k = 0; k < value.size(); ++k) slot.inline_[k] = static_cast<char>(value[k].unicode());
    } else {
        slot.offset = static_cast<std::uint32_t>(spill_.size());
        spill_.append(value);
    }
    ++count_;
}

void LocateIndex::Grow() {
    QList<Slot> old;
    old.swap(slots_);
    slots_.resize(old.isEmpty() ? 64 : old.size() * 2);
    const qsizetype mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.recordPlusOne == 0) continue;
        qsizetype i = slot.hash & mask;
        while (slots_[i].recordPlusOne != 0) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

}  // namespace puente
