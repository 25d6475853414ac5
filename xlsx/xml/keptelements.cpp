#include "keptelements_p.h"

#include "keptxml_p.h"

#include <algorithm>

namespace Spreadsheet {

void KeptElements::add(int slot, const QByteArray &bytes, bool usesRelationships)
{
    // A file may hold known elements out of order; they keep theirs, and
    // are sorted when they are asked for.
    m_sorted &= m_elements.isEmpty() || m_elements.last().slot <= slot;
    m_elements.append({ slot, bytes, usesRelationships });
}

const QVector<KeptElements::Element> &KeptElements::elements() const
{
    if (!m_sorted) {
        std::stable_sort(m_elements.begin(), m_elements.end(),
                         [](const Element &a, const Element &b) { return a.slot < b.slot; });
        m_sorted = true;
    }
    return m_elements;
}

void KeptElements::removeSlot(int slot)
{
    m_elements.erase(std::remove_if(m_elements.begin(), m_elements.end(),
                                    [slot](const Element &element) { return element.slot == slot; }),
                     m_elements.end());
}

KeptElements KeptElements::withoutRelationships() const
{
    KeptElements kept;
    for (const Element &element : elements()) {
        if (!element.usesRelationships)
            kept.m_elements.append(element);
    }
    return kept;
}

void KeptElements::Writer::before(int order)
{
    const QVector<Element> &elements = m_kept.elements();
    while (m_next < elements.size() && elements.at(m_next).slot < slotOf(order))
        KeptXml::writeRaw(m_writer, elements.at(m_next++).bytes);
}

void KeptElements::Writer::rest()
{
    const QVector<Element> &elements = m_kept.elements();
    while (m_next < elements.size())
        KeptXml::writeRaw(m_writer, elements.at(m_next++).bytes);
}

} // namespace Spreadsheet
