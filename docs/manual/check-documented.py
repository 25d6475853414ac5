#!/usr/bin/env python3
"""Lists the public items of the reference manual that have no documentation
and that Doxygen itself lets pass: enumeration values, friend functions, and
headers without a \\file description (which leave the manual's file list).
Reads Doxygen's XML output; exits with 1 when it finds any. The places it
names are relative to Doxygen's STRIP_FROM_PATH, which ROOT puts back.

    check-documented.py XML_FOLDER [ROOT]
"""
import os
import sys
import xml.etree.ElementTree as ElementTree


def described(element):
    """Whether the element has a brief or a detailed description."""
    for tag in ('briefdescription', 'detaileddescription'):
        part = element.find(tag)
        if part is not None and ''.join(part.itertext()).strip():
            return True
    return False


def where(member, root):
    location = member.find('location')
    if location is None:
        return '?'
    return '%s:%s' % (os.path.join(root, location.get('file', '?')), location.get('line', '?'))


def main(folder, root=''):
    findings = []
    seen = set()
    for name in sorted(os.listdir(folder)):
        if not name.endswith('.xml') or name in ('index.xml', 'Doxyfile.xml'):
            continue
        compound = ElementTree.parse(os.path.join(folder, name)).getroot().find('compounddef')
        if compound is None or compound.get('kind') not in ('class', 'struct', 'namespace', 'file'):
            continue
        scope = compound.findtext('compoundname', '?')
        if compound.get('kind') == 'file' and scope.endswith('.h') and not described(compound):
            findings.append('%s:1: error: File %s has no \\file description.'
                            % (os.path.join(root, compound.find('location').get('file', scope)), scope))
        for member in compound.iter('memberdef'):
            if member.get('id') in seen or member.get('prot') not in ('public', 'protected'):
                continue
            seen.add(member.get('id'))
            kind = member.get('kind')
            if kind == 'enum':
                for value in member.findall('enumvalue'):
                    if not described(value):
                        findings.append('%s: error: Enumeration value %s of %s::%s is not documented.'
                                        % (where(member, root), value.findtext('name'), scope, member.findtext('name')))
            elif kind == 'friend':
                declared = member.findtext('type', '')
                if 'class' in declared.split() or 'struct' in declared.split():
                    continue   # a friend class is no part of the interface
                if not described(member):
                    findings.append('%s: error: Friend %s%s of %s is not documented.'
                                    % (where(member, root), member.findtext('name'), member.findtext('argsstring', ''), scope))
    for finding in findings:
        print(finding)
    return 1 if findings else 0


if __name__ == '__main__':
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
