#include "keptelements_p.h"

#include "keptxml_p.h"

#include <algorithm>

namespace Spreadsheet {

void KeptElements::add(int slot, const QByteArray &bytes, bool usesRelationships)
{
    // A file may hold known elements out of order; they keep theirs.
    int at = m_elements.size();
    while (at > 0 && m_elements.at(at - 1).slot > slot)
        --at;
    m_elements.insert(at, { slot, bytes, usesRelationships });
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
    for (const Element &element : m_elements) {
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
