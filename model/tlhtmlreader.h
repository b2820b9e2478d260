#ifndef TLHTMLREADER_H
#define TLHTMLREADER_H

#include <QLatin1String>
#include <QString>
#include <QStringView>

// Reads the tags of a label as Qt's HTML parser does: where a tag ends,
// what its name is and how many attributes it has, quoted values and all;
// and what the parser makes of an element, as far as where it places it
// and whether it parts the text around it. Used to bound a label's HTML
// before the parser sees it, and to read its text without the parser.
class TLHtmlReader
{
public:
    // What the parser does with an element as it places it, as far as how
    // deep it holds elements open goes.
    enum class Tag : quint8 {
        Other,
        Empty, // holds nothing: br, hr, img, meta
        Paragraph,
        ListItem,
        DataCell,
        HeaderCell,
        Row,
        Table,
        Section, // thead, tbody, tfoot
        Caption,
        DefinitionList,
        DefinitionItem,
        Body,
        Head,
        Style,
    };

    struct Element
    {
        Tag tag = Tag::Other;
        bool block = false; // a block of its own rather than part of a line
    };

    enum Kind { Declaration, Opening, Closing };
    struct Token
    {
        Kind kind = Declaration;
        QStringView name;
        int attributes = 0;
        bool closed = false; // <name ... />
    };

    explicit TLHtmlReader(const QString &html);

    // The tag after the '<' just passed; the position moves past its '>'.
    Token tag();

    const QString &html() const { return text; }
    qsizetype size() const { return text.size(); }
    qsizetype position() const { return pos; }
    void setPosition(qsizetype position) { pos = position; }
    bool atEnd() const { return pos >= text.size(); }

    // Every name the parser does not know, and every inline element it
    // does, is an Other that is no block.
    static Element elementOf(QStringView name);
    // Whether a tag parts the text around it into lines or cells.
    static bool parts(QStringView name, const Element &element);
    // Whether the parser places an element in the one it is in, or moves
    // it up to where it may be.
    static bool allowedIn(Tag tag, Tag parent);
    static bool sameName(QStringView a, QStringView b);
    // The characters the entity of that name (without '&' and ';') stands
    // for: the common named ones and numeric ones; a null string for any
    // other.
    static QString entity(QStringView name);
    static bool sameName(QStringView a, QLatin1String b);

private:
    bool at(QChar c) const;
    void eatSpace();
    void skipPast(QChar c);
    QStringView word();
    int attributes();

    const QString &text;
    qsizetype pos = 0;
};

#endif
