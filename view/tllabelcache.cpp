#include "view/tllabelcache.h"

#include "model/tlrichtext.h"
#include "view/tllabellayout.h"

#include <QList>
#include <QString>

#include <algorithm>

namespace {

// A laid-out label of a few lines, with its shaped glyphs, takes some 20 KB.
// The floor holds a view's labels and those laid out ahead of a scroll.
const int minimumKept = 2048;
const int maximumKept = 4096;

}

TLLabelCache::TLLabelCache()
    : scratchDocument(std::make_shared<TLRichText>())
{
}

TLLabelCache::~TLLabelCache() = default;

TLRichText *TLLabelCache::scratch()
{
    return scratchDocument.get();
}

void TLLabelCache::keepScratch(int row)
{
    // A paint that measures a great many labels to find the few it draws
    // keeps the most recent of them.
    if (documents.size() >= maximumKept)
        keepRecent(maximumKept / 2);
    Entry &entry = documents[row];
    entry.document = scratchDocument;
    entry.width = scratchDocument->textWidth();
    entry.used = ++clock;
    scratchDocument = takeSpare();
}

std::shared_ptr<TLRichText> TLLabelCache::takeSpare()
{
    if (spare)
        return std::exchange(spare, nullptr);
    return std::make_shared<TLRichText>();
}

TLRichText *TLLabelCache::document(int row, const QString &text, double width)
{
    auto it = documents.find(row);
    if (it == documents.end())
        it = documents.insert(row, Entry { takeSpare(), -1.0, 0 });
    if (it->width != width) {
        TLLabelLayout::layOutAt(it->document.get(), text, width);
        it->width = width;
    }
    it->used = ++clock;
    return it->document.get();
}

void TLLabelCache::markUsed(const QList<int> &rows)
{
    for (int row : rows) {
        if (auto it = documents.find(row); it != documents.end())
            it->used = ++clock;
    }
}

void TLLabelCache::dropRows(int first, int last)
{
    if (last - first + 1 >= documents.size()) {
        for (auto it = documents.begin(); it != documents.end();) {
            if (it.key() >= first && it.key() <= last)
                it = documents.erase(it);
            else
                ++it;
        }
        return;
    }
    for (int row = first; row <= last; ++row)
        documents.remove(row);
}

void TLLabelCache::shiftRows(int from, int by)
{
    QHash<int, Entry> shifted;
    shifted.reserve(documents.size());
    for (auto it = documents.cbegin(); it != documents.cend(); ++it)
        shifted.insert(it.key() >= from ? it.key() + by : it.key(), it.value());
    documents.swap(shifted);
}

void TLLabelCache::insertRows(int first, int last)
{
    shiftRows(first, last - first + 1);
}

void TLLabelCache::removeRows(int first, int last)
{
    dropRows(first, last);
    shiftRows(last + 1, -(last - first + 1));
}

void TLLabelCache::clear()
{
    documents.clear();
}

void TLLabelCache::trim(int neededByOnePaint)
{
    keepRecent(std::clamp(2 * neededByOnePaint, minimumKept, maximumKept));
}

void TLLabelCache::keepRecent(int keep)
{
    if (documents.size() <= keep)
        return;
    if (keep <= 0) {
        documents.clear();
        return;
    }
    QList<quint64> uses;
    uses.reserve(documents.size());
    for (const Entry &entry : std::as_const(documents))
        uses.append(entry.used);
    auto cut = uses.begin() + (uses.size() - keep);
    std::nth_element(uses.begin(), cut, uses.end());
    const quint64 oldestKept = *cut;
    for (auto it = documents.begin(); it != documents.end();) {
        if (it->used < oldestKept) {
            if (!spare && it->document.use_count() == 1)
                spare = it->document;
            it = documents.erase(it);
        } else {
            ++it;
        }
    }
}
