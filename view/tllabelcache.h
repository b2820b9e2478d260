#ifndef TLLABELCACHE_H
#define TLLABELCACHE_H

#include <QHash>
#include <QList>

#include <memory>

class QString;
class TLRichText;

// Laid-out item labels kept for drawing, by model row, the ones drawn
// longest ago given up first once more are kept than the chart last needed
// at a time. One more document, the scratch, serves every layout that is
// only measured.
class TLLabelCache
{
public:
    TLLabelCache();
    ~TLLabelCache();

    TLRichText *scratch();
    // The scratch document's current layout becomes the document of row.
    void keepScratch(int row);

    // The label of row laid out at width, from the cache or laid out now.
    TLRichText *document(int row, const QString &text, double width);

    // The rows' documents count as drawn now.
    void markUsed(const QList<int> &rows);

    void dropRows(int first, int last);
    void insertRows(int first, int last);
    void removeRows(int first, int last);
    void clear();

    // Gives up the documents drawn longest ago beyond the larger of a
    // floor and twice what one paint needed.
    void trim(int neededByOnePaint);

    int size() const { return int(documents.size()); }

private:
    struct Entry
    {
        std::shared_ptr<TLRichText> document;
        double width = 0.0;
        quint64 used = 0;
    };

    void keepRecent(int keep);
    void shiftRows(int from, int by);
    std::shared_ptr<TLRichText> takeSpare();

    std::shared_ptr<TLRichText> scratchDocument;
    QHash<int, Entry> documents;
    std::shared_ptr<TLRichText> spare;
    quint64 clock = 0;
};

#endif
