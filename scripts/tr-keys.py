#!/usr/bin/env python3
"""Lists the texts the program passes to Tr that have no entry in a language file.

    scripts/tr-keys.py <language file> [source folder ...]   (default folder: app)

Keys are the wide literals inside a Tr(...) call, and for a call whose argument is a name:
  - the literals of an array of that name (Tr(labels[i])),
  - the returned literals of a function of that name (Tr(GuardText(g))),
  - the literals assigned to a variable of that name in the same file (key = L"..."), or that
    initialise it from a function (reason = BusyReason(...)),
  - the literals that the callers pass for a parameter of that name, for lambdas of the same file
    and for functions anywhere (ShowMessage(L"...")),
  - the literals handed to the functions that relay a text to a later Tr (PostMessageBox).
Exits 1 when a key has no entry.
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

LIT = r'L"((?:[^"\\]|\\.)*)"'
IDENT = r'[A-Za-z_]\w*'


def unescape(text):
    simple = {'n': '\n', 't': '\t', 'r': '\r', '"': '"', '\\': '\\', "'": "'", '0': '\0'}
    return re.sub(r'\\(u[0-9a-fA-F]{4}|x[0-9a-fA-F]+|.)',
                  lambda m: chr(int(m.group(1)[1:], 16)) if m.group(1)[0] in 'ux' and len(m.group(1)) > 1
                  else simple.get(m.group(1), m.group(1)), text)


def literals(text):
    # Adjacent literals (L"a" L"b", across lines) are one text, as the compiler joins them.
    joined = re.sub(r'"\s*L"', '', text)
    return [unescape(m) for m in re.findall(LIT, joined)]


def balanced(text, start):
    """The text between the bracket at start and its partner."""
    pairs = {'(': ')', '[': ']', '{': '}'}
    close = pairs[text[start]]
    depth, i = 0, start
    while i < len(text):
        c = text[i]
        if c == '"':
            i += 1
            while i < len(text) and text[i] != '"':
                i += 2 if text[i] == '\\' else 1
        elif c == text[start]:
            depth += 1
        elif c == close:
            depth -= 1
            if depth == 0:
                return text[start + 1:i]
        i += 1
    return text[start + 1:]


def strip_comments(text):
    return re.sub(r'//[^\n]*|/\*.*?\*/', lambda m: '' if m.group(0).startswith('/') and '"' not in m.group(0)
                  else re.sub(r'[^\n]', ' ', m.group(0)), text, flags=re.S)


def call_args(args):
    """Splits an argument list at its top-level commas."""
    parts, depth, cur, i = [], 0, '', 0
    while i < len(args):
        c = args[i]
        if c == '"':
            j = i + 1
            while j < len(args) and args[j] != '"':
                j += 2 if args[j] == '\\' else 1
            cur += args[i:j + 1]
            i = j + 1
            continue
        if c in '([{':
            depth += 1
        elif c in ')]}':
            depth -= 1
        if c == ',' and depth == 0:
            parts.append(cur)
            cur = ''
        else:
            cur += c
        i += 1
    parts.append(cur)
    return parts


def main():
    lang = sys.argv[1]
    roots = sys.argv[2:] or ['app']
    files = {}
    for root in roots:
        for folder, _, names in os.walk(root):
            for name in names:
                if name.endswith(('.cpp', '.h')):
                    path = os.path.join(folder, name)
                    with open(path, encoding='utf-8', errors='replace') as f:
                        files[path] = f.read()
    everything = '\n'.join(files.values())
    keys = {}

    found = []

    def add(key, where):
        found.append(key)
        if key:
            keys.setdefault(key, where)

    def returned(fn):
        found = []
        for m in re.finditer(r'\b' + fn + r'\s*\([^;{)]*\)\s*(?:const\s*)?\{', everything):
            body = balanced(everything, m.end() - 1)
            for r in re.finditer(r'return\s+([^;]*);', body):
                found += literals(r.group(1))
        return found

    for path, raw in files.items():
        text = strip_comments(raw)
        for m in re.finditer(r'(?<![\w.>:])Tr\s*\(', text):
            arg = balanced(text, m.end() - 1)
            where = '%s:%d' % (path, text.count('\n', 0, m.start()) + 1)
            for lit in literals(arg):
                add(lit, where)
            # Otherwise a name, an element of it, or the value of a function.
            name = re.fullmatch(r'\s*(' + IDENT + r')\s*(\[.*\]|\(.*\)|\.c_str\(\))?\s*', arg, re.S)
            if not name or 'L"' in arg or name.group(1) in ('const', 'std'):
                continue
            ident, after = name.group(1), (name.group(2) or ' ')[0]
            found.clear()
            if after == '(':
                for lit in returned(ident):
                    add(lit, where)
                if not found and os.environ.get('TR_KEYS_VERBOSE'):
                    print('unresolved: %s Tr(%s)' % (where, arg.strip()), file=sys.stderr)
                continue
            # An array of that name in the file.
            for d in re.finditer(r'\b' + ident + r'\s*\[[^\]]*\]\s*=\s*\{', text):
                for lit in literals(balanced(text, d.end() - 1)):
                    add(lit, where)
            # Assigned literals and values of functions in the file.
            for a in re.finditer(r'\b' + ident + r'\s*=\s*(?!=)([^;]*);', text):
                value = a.group(1)
                for lit in literals(value):
                    add(lit, where)
                fn = re.match(r'\s*(' + IDENT + r')\s*\(', value)
                if fn:
                    for lit in returned(fn.group(1)):
                        add(lit, where)
            # A parameter of the nearest lambda or function above the call that takes one of that name.
            nearest = None
            for p in re.finditer(r'(?:auto\s+(' + IDENT + r')\s*=\s*\[[^\]]*\]|(?:\b|::)(' + IDENT +
                                 r'))\s*\(([^()]*\b' + ident + r'\b[^()]*)\)\s*(?:const\s*)?(?:override\s*)?(?:->[^{]*)?\{',
                                 text[:m.start()]):
                fn = p.group(1) or p.group(2)
                params = call_args(p.group(3))
                index = [i for i, q in enumerate(params) if re.search(r'\b' + ident + r'\s*$', q.strip())]
                if index and fn not in ('if', 'for', 'while', 'switch', 'Tr'):
                    nearest = (fn, index[0], bool(p.group(1)))
            if nearest:
                fn, index, local = nearest
                scope = text if local else everything
                for c in re.finditer(r'(?<![\w])' + fn + r'\s*\(', scope):
                    args = call_args(balanced(scope, c.end() - 1))
                    if index < len(args):
                        for lit in literals(args[index]):
                            add(lit, where)
            if not found and os.environ.get('TR_KEYS_VERBOSE'):
                print('unresolved: %s Tr(%s)' % (where, arg.strip()), file=sys.stderr)

    # Functions that carry a text to a later Tr on another thread: argument positions.
    relays = {'PostMessageBox': (0, 1), 'MainFrame_PostMessageBox': (0, 1)}
    for path, raw in files.items():
        text = strip_comments(raw)
        for fn, positions in relays.items():
            for c in re.finditer(r'(?<![\w])' + fn + r'\s*\(', text):
                args = call_args(balanced(text, c.end() - 1))
                for i in positions:
                    if i < len(args) and re.fullmatch(r'\s*' + LIT + r'\s*', args[i]):
                        add(literals(args[i])[0], '%s:%d' % (path, text.count('\n', 0, c.start()) + 1))

    translated = set()
    for element in ET.parse(lang).getroot():
        if element.get('name') is not None and element.get('value') is not None:
            translated.add(element.get('name'))
    missing = sorted(k for k in keys if k not in translated)
    for key in missing:
        print('missing: "%s" (%s)' % (key, keys[key]))
    print('%d keys, %d missing' % (len(keys), len(missing)), file=sys.stderr)
    return 1 if missing else 0


if __name__ == '__main__':
    sys.exit(main())
