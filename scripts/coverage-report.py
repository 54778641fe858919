#!/usr/bin/env python3
"""Reads the counters each test reached (scripts/coverage) and writes which tests reach library code
that no other test reaches; with --without FILE, lists the regions that the tests named in FILE alone
reach."""
import collections
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Functions with internal linkage carry their file's name before a colon.
FILE_PREFIX = re.compile(r'^(.*\.(?:cpp|h)):(.*)$')


def library_functions(names):
    """The names of the program's own functions, without those written in test files."""
    test_files = {f for _, _, files in os.walk(os.path.join(ROOT, 'tests')) for f in files}
    split = [FILE_PREFIX.match(n).groups() if FILE_PREFIX.match(n) else ('', n) for n in names]
    demangled = subprocess.run(['c++filt'], input='\n'.join(m for _, m in split), capture_output=True,
                               text=True, check=True).stdout.split('\n')
    keep = set()
    for name, (path, _), plain in zip(names, split, demangled):
        if os.path.basename(path) in test_files:
            continue
        if plain.startswith('pf::') and not plain.startswith('pf::test::') and '_Test::TestBody' not in plain:
            keep.add(name)
    return keep, dict(zip(names, demangled))


def read_hits(folder):
    tests = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), encoding='utf-8') as f:
            tests[name] = {(fn, int(i)) for fn, i in (line.rstrip('\n').rsplit(' ', 1) for line in f)}
    keep, plain = library_functions(sorted({fn for hits in tests.values() for fn, _ in hits}))
    return {t: {h for h in hits if h[0] in keep} for t, hits in tests.items()}, plain


def smallest_cover(tests, need):
    """Greedy: the tests that together reach every region in need, biggest gain first."""
    chosen, need, rest = [], set(need), dict(tests)
    while need and rest:
        best = max(rest, key=lambda t: len(rest[t] & need))
        gain = rest.pop(best) & need
        if not gain:
            break
        chosen.append((best, len(gain)))
        need -= gain
    return chosen


def report(out, tests):
    who = collections.Counter(h for hits in tests.values() for h in hits)
    own = {t: sum(1 for h in hits if who[h] == 1) for t, hits in tests.items()}
    cover = {t for t, _ in smallest_cover(tests, set(who))}
    with open(os.path.join(out, 'tests.txt'), 'w', encoding='utf-8') as f:
        f.write(f'{len(tests)} tests reach {len(who)} regions; {len(cover)} tests reach them all\n')
        for t in sorted(tests, key=lambda t: (own[t], t)):
            f.write(f'{own[t]:6d} {len(tests[t]):7d} {"C" if t in cover else "-"} {t}\n')
    with open(os.path.join(out, 'alone.txt'), 'w', encoding='utf-8') as f:
        for t in sorted(t for t in tests if own[t] == 0 and tests[t]):
            others = {u: hits for u, hits in tests.items() if u != t}
            found = smallest_cover(others, tests[t])
            f.write(f'{t} ({len(tests[t])}): ' + ', '.join(f'{u} +{n}' for u, n in found) + '\n')
    alone = sum(1 for t in tests if own[t] == 0)
    print(f'{len(tests)} tests, {len(who)} regions; {alone} tests reach nothing of their own; see {out}')


def without(tests, plain, listing):
    with open(listing, encoding='utf-8') as f:
        names = [line.strip().replace('/', '~') for line in f if line.strip()]
    gone = set()
    for name in names:
        # A parameterised test is named without its instance suffix and prefix.
        found = [t for t in tests if t == name or re.sub(r'__\w+~', '__', t).split('~')[0] == name]
        if not found:
            print('unknown test:', name)
        gone.update(found)
    left = set().union(*(hits for t, hits in tests.items() if t not in gone))
    lost = collections.Counter(fn for fn, _ in set().union(*(tests[t] for t in gone)) - left)
    print(f'{len(gone)} tests left out; regions no other test reaches: {sum(lost.values())}')
    for fn, n in sorted(lost.items(), key=lambda x: plain[x[0]]):
        print(f'  {n:4d}  {plain[fn][:150]}')


def main():
    out = sys.argv[1]
    tests, plain = read_hits(os.path.join(out, 'hits'))
    if len(sys.argv) > 3 and sys.argv[2] == '--without':
        without(tests, plain, sys.argv[3])
    else:
        report(out, tests)


if __name__ == '__main__':
    main()
