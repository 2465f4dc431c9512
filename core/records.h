#pragma once
// The journal's in-memory records. Field names match the stored layouts so that the
// record codecs read as a plain field-by-field mapping.

#include <QSharedData>
#include <QSharedDataPointer>
#include <QString>
#include <QVector>
#include <array>
#include <deque>
#include <utility>
#include <vector>
#include <cstdint>

namespace qb {

using Flag = int16_t;          // -1 true, 0 false, as stored
constexpr Flag kTrue = -1;
constexpr Flag kFalse = 0;
inline Flag to_flag(bool b) { return b ? kTrue : kFalse; }

using Currency = int64_t;      // amount x 10000, never through double

constexpr int mode_new = 0;
constexpr int mode_edit = 1;

constexpr int kItemsPerChecklist = 30;
constexpr int kChecklistBlocks = 6;

enum answer : int16_t { answer_none = 0, answer_yes = 1, answer_no = 2, answer_unsure = 3 };

struct EntryChecklistItem {
    int16_t answer = 0;
    int32_t text_index = 0;
    QString text;
    int32_t comment_index = 0;
    QString comment;
    // Memory only: the stored chain could not be read; a save keeps it.
    bool text_unreadable = false;
    bool comment_unreadable = false;
};

// What a record of entries.dat holds of an item: its answer and the first records of
// its two texts.
struct StoredItem {
    int16_t answer = 0;
    int32_t text_index = 0;
    int32_t comment_index = 0;
};

// The stored items of the blocks of one load, in one store that the blocks share.
struct StoredItems : QSharedData {
    std::deque<StoredItem> items;
};

// The 30 items of a block. Copies share one store until one of them is written, and
// the store holds only the items up to the last one written: a table of thousands of
// entries then holds no blank items at all. A loaded block points into the load's
// stored items (a fifth of the size, and no allocation of its own) until its items
// are first read.
class ItemArray {
public:
    ItemArray() : d(blank_data()) {}
    EntryChecklistItem& operator[](int j) {
        expand();
        auto& items = d->items;  // detaches
        if (j >= int(items.size())) items.resize(size_t(j) + 1);
        return items[size_t(j)];
    }
    const EntryChecklistItem& operator[](int j) const { return at(j); }
    const EntryChecklistItem& at(int j) const {
        expand();
        const auto& items = std::as_const(d)->items;
        return j < int(items.size()) ? items[size_t(j)] : blank_item();
    }
    static constexpr int size() { return kItemsPerChecklist; }
    // Items 0..count-1 are store's items from first on, texts empty; the others blank.
    void assign_stored(const QExplicitlySharedDataPointer<StoredItems>& store, int32_t first, int count) {
        if (d.constData() != blank_data()) d = QSharedDataPointer<Data>(blank_data());
        stored_ = store;
        first_ = first;
        count_ = count;
    }

    EntryChecklistItem* begin() { (*this)[size() - 1]; return d->items.data(); }
    EntryChecklistItem* end() { (*this)[size() - 1]; return d->items.data() + size(); }
    class const_iterator {
    public:
        const_iterator(const ItemArray* a, int j) : a_(a), j_(j) {}
        const EntryChecklistItem& operator*() const { return a_->at(j_); }
        const_iterator& operator++() { ++j_; return *this; }
        bool operator!=(const const_iterator& o) const { return j_ != o.j_; }

    private:
        const ItemArray* a_;
        int j_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    struct Data : QSharedData {
        std::vector<EntryChecklistItem> items;
    };
    // The stored items written out in full on first use; the same items either way, so
    // a const reader may do it.
    void expand() const {
        if (!stored_) return;
        auto* x = new Data;
        x->items.resize(size_t(count_));
        for (int j = 0; j < count_; ++j) {
            const StoredItem& s = stored_->items[size_t(first_ + j)];
            x->items[size_t(j)].answer = s.answer;
            x->items[size_t(j)].text_index = s.text_index;
            x->items[size_t(j)].comment_index = s.comment_index;
        }
        d = QSharedDataPointer<Data>(x);
        stored_.reset();
        first_ = count_ = 0;
    }
    static Data* blank_data() {
        static Data* blank = [] { auto* b = new Data; b->ref.ref(); return b; }();
        return blank;
    }
    static const EntryChecklistItem& blank_item() {
        static const EntryChecklistItem blank;
        return blank;
    }
    mutable QSharedDataPointer<Data> d;
    mutable QExplicitlySharedDataPointer<StoredItems> stored_;
    mutable int32_t first_ = 0;
    mutable int32_t count_ = 0;
};

struct EntryChecklist {
    Flag Inuse = 0;
    Flag completed = 0;
    QString name;
    int16_t last_item_index = 0;
    ItemArray Item;
};

struct WebRef {
    Flag present = 0;
    QString address;
    QString reference_name;
};

struct FileRef {
    Flag present = 0;
    int16_t reserved = 0;
    QString path;
};

struct OtherText {
    Flag present = 0;
    int32_t Index_to_other = 0;
    QString text;
    // Memory only: the stored chain could not be read, so an empty text here means
    // "unknown", not "cleared"; a save then keeps the stored chain.
    bool text_unreadable = false;
};

struct SummaryEntry {
    int32_t file_idx = 0;
    uint8_t format_byte = 0;
    Flag Inuse = 0;
    Flag deleted = 0;
    double entry_date = 0;
    QString security;
    QString symbol;
    QString quote;             // never written
    QString transaction;
    Currency price = 0;
    WebRef web;
    FileRef file;
    OtherText other;
    std::array<EntryChecklist, kChecklistBlocks> checklist{};

    bool is_live() const { return Inuse == kTrue && deleted == 0; }
};

struct CurrentEntry {
    int32_t mode = mode_new;
    int32_t index = 0;
    SummaryEntry entry;
};

struct Checklist {
    int32_t file_idx = 0;
    int16_t ShowIt = 0;
    Flag Inuse = 0;
    Flag deleted = 0;
    int16_t Version = 0;
    QString Name;
    QString Author;
    QString Copyright;
    double Date = 0;
    QString BookRef;
    QString WebSite;
    QString WhyUse;
    int16_t TotalItems = 0;
    std::array<QString, kItemsPerChecklist> Item{};
};

} // namespace qb
