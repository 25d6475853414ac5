#ifndef SPREADSHEET_KEPTELEMENTS_P_H
#define SPREADSHEET_KEPTELEMENTS_P_H

#include <QByteArray>
#include <QVector>

class QXmlStreamWriter;

namespace Spreadsheet {

// The elements of a loaded part that its model does not know, each kept as
// the bytes it was written in, with its place: the slot of the schema's
// element order it stands in. A known element of order n has slot 2n; an
// unknown one after it (an extension, a markup-compatibility block) slot
// 2n + 1. The part's writer, writing its own elements in the same order,
// writes before each the kept ones whose slots come first.
class KeptElements
{
public:
    struct Element
    {
        int slot;
        QByteArray bytes;
        bool usesRelationships;   // it points at relationships of its part
    };

    static constexpr int slotOf(int order) { return 2 * order; }
    static constexpr int slotAfter(int order) { return 2 * order + 1; }

    void add(int slot, const QByteArray &bytes, bool usesRelationships);
    // Forgets the elements kept in that slot (the model writes its own there).
    void removeSlot(int slot);
    bool isEmpty() const { return m_elements.isEmpty(); }
    // Gives every element's bytes to the change, which returns them as they
    // are to read after it.
    template <typename Change>
    void rewrite(Change change)
    {
        for (Element &element : m_elements)
            element.bytes = change(element.bytes);
    }
    // In the order of their slots, document order among equals.
    const QVector<Element> &elements() const;
    // The same without those that point at relationships: for a copy of the
    // part, which has no relationships of its own.
    KeptElements withoutRelationships() const;

    // Writing: a cursor runs through the kept elements in order.
    class Writer
    {
    public:
        Writer(const KeptElements &kept, QXmlStreamWriter &writer) : m_kept(kept), m_writer(writer) {}
        // The kept elements before the known element of that order.
        void before(int order);
        // Those that are left.
        void rest();

    private:
        const KeptElements &m_kept;
        QXmlStreamWriter &m_writer;
        int m_next = 0;
    };

private:
    mutable QVector<Element> m_elements;   // sorted by slot when m_sorted
    mutable bool m_sorted = true;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_KEPTELEMENTS_P_H
