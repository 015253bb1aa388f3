"""Builds the program's help file from its source under help/ and checks it against the program's texts.

The source format and the layout of the built file are described in help/FORMAT.md.

Commands:
    helpbuild.py compile HELPDIR OUT.hlp     build the help file (errors name file and line)
    helpbuild.py dump FILE.hlp               print a built file as text (topics, contents, keywords)
    helpbuild.py texts SRCDIR OUT.txt        collect the texts the program shows from its C++ sources
    helpbuild.py check TEXTS.txt FILE.hlp    every collected text must appear in some topic of the file
"""

import os
import re
import struct
import sys
import unicodedata
import zlib

MAGIC = b'VSSHELP\x1a'
VERSION = 1
HEADER_SIZE = 24

# Block kinds and run styles, as the viewer reads them.
BLOCK_PARAGRAPH, BLOCK_HEADING, BLOCK_SUBHEADING, BLOCK_BULLET, BLOCK_NUMBERED, BLOCK_DEFINITION, \
    BLOCK_PROGRAM_TEXT, BLOCK_NOTE, BLOCK_SEE_ALSO = range(1, 10)
STYLE_BOLD, STYLE_PROGRAM, STYLE_LINK = 1, 2, 4
ENTRY_BOOK, ENTRY_PAGE = 0, 1


class HelpError(Exception):
    pass


# ---------------------------------------------------------------- text helpers

_HALF_KANA = 'ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン'


def fold(text):
    """The form in which keywords are sorted and matched, character for character as the viewer folds:
    full-width ASCII as ASCII, half-width katakana as full-width, katakana as hiragana, lower case."""
    out = []
    for ch in text:
        code = ord(ch)
        if 0xFF01 <= code <= 0xFF5E:
            code -= 0xFEE0
        elif code == 0x3000:
            code = 0x20
        elif 0xFF66 <= code <= 0xFF9D:
            code = ord(_HALF_KANA[code - 0xFF66])
        if ord('A') <= code <= ord('Z'):
            code += 32
        if 0x30A1 <= code <= 0x30F6:
            code -= 0x60
        out.append(chr(code))
    return ''.join(out)


_VOICED = 'がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょゎゔ'
_PLAIN = 'かきくけこさしすせそたちつてとはひふへほはひふへほあいうえおつやゆよわう'


def sort_key(text):
    """The order of the index, as a Japanese index runs: folded, and voiced or small kana sorting with
    their plain kana (が as か, ょ as よ); the viewer computes the same key."""
    return ''.join(_PLAIN[_VOICED.index(ch)] if ch in _VOICED else ch for ch in fold(text))


def has_kanji(text):
    return any(0x4E00 <= ord(ch) <= 0x9FFF or 0x3400 <= ord(ch) <= 0x4DBF or ch == '々' for ch in text)


def join_lines(lines):
    """Lines of one paragraph joined: Japanese runs on without a blank, two Latin words keep one."""
    text = ''
    for line in lines:
        line = line.strip()
        if not line:
            continue
        if text and text[-1].isascii() and text[-1].isalnum() and line[0].isascii() and line[0].isalnum():
            text += ' '
        text += line
    return text


# ---------------------------------------------------------------- source parsing

class Run:
    def __init__(self, style, text, target=None):
        self.style, self.text, self.target = style, text, target  # target: a topic id until resolved


class Block:
    def __init__(self, kind, body, label=None):
        self.kind, self.body, self.label = kind, body, label or []


class Topic:
    def __init__(self, topic_id, where):
        self.id, self.where = topic_id, where
        self.title = None
        self.keywords = []  # (text, reading)
        self.blocks = []
        self.index = -1


def parse_inline(text, where):
    """Runs of one line of text: **bold**, `program text`, [[topic]] and [[topic|text]] links. A "\\"
    before "`", "[" or another "\\" takes that character literally; any other "\\" is itself (paths)."""
    runs = []
    style = 0
    buf = []

    def flush():
        if buf:
            runs.append(Run(style, ''.join(buf)))
            buf.clear()

    i = 0
    while i < len(text):
        ch = text[i]
        if ch == '\\' and i + 1 < len(text) and text[i + 1] in '`[\\':
            buf.append(text[i + 1])
            i += 2
            continue
        if text.startswith('**', i):
            flush()
            style ^= STYLE_BOLD
            i += 2
            continue
        if ch == '`':
            flush()
            style ^= STYLE_PROGRAM
            i += 1
            continue
        if text.startswith('[[', i):
            end = text.find(']]', i)
            if end < 0:
                raise HelpError(f'{where}: "[[" without "]]"')
            flush()
            inner = text[i + 2:end]
            target, _, label = inner.partition('|')
            target = target.strip()
            if not target:
                raise HelpError(f'{where}: a link without a topic')
            runs.append(Run(style | STYLE_LINK, label.strip(), target))
            i = end + 2
            continue
        buf.append(ch)
        i += 1
    flush()
    if style & STYLE_BOLD:
        raise HelpError(f'{where}: "**" left open')
    if style & STYLE_PROGRAM:
        raise HelpError(f'{where}: "`" left open')
    return runs


def parse_keywords(value, where):
    keywords = []
    for item in value.split(';'):
        item = item.strip()
        if not item:
            continue
        text, _, reading = item.partition('|')
        text, reading = text.strip(), reading.strip()
        if has_kanji(reading):
            raise HelpError(f'{where}: the reading of "{text}" has kanji')
        if has_kanji(text) and not reading:
            raise HelpError(f'{where}: keyword "{text}" has kanji: give its reading ("{text}|よみ")')
        keywords.append((text, reading))
    return keywords


def parse_topics(path):
    with open(path, encoding='utf-8') as f:
        lines = f.read().splitlines()
    name = os.path.basename(path)
    topics = []
    topic = None
    para = []           # lines of the open block
    para_kind = None    # kind of the open block
    para_label = None
    para_where = None

    def close():
        nonlocal para, para_kind, para_label
        if para_kind is None:
            return
        if para_kind == BLOCK_PROGRAM_TEXT:
            runs = []
            for n, line in enumerate(para):
                if n:
                    runs.append(Run(STYLE_PROGRAM, '\n'))
                runs.extend(parse_inline(line, para_where))
            # Program text is shown as the program shows it: one style over the whole block.
            for r in runs:
                r.style |= STYLE_PROGRAM
            topic.blocks.append(Block(para_kind, runs))
        else:
            body = parse_inline(join_lines(para), para_where)
            label = parse_inline(para_label, para_where) if para_label is not None else None
            topic.blocks.append(Block(para_kind, body, label))
        para, para_kind, para_label = [], None, None

    def open_block(kind, first, where, label=None):
        nonlocal para, para_kind, para_label, para_where
        close()
        para, para_kind, para_label, para_where = [first], kind, label, where

    for number, raw in enumerate(lines, 1):
        where = f'{name}:{number}'
        line = raw.rstrip()
        if line.startswith('//'):
            continue
        if line.startswith('@'):
            directive, _, value = line[1:].partition(' ')
            value = value.strip()
            if directive == 'topic':
                close()
                if not re.fullmatch(r'[a-z0-9][a-z0-9-]*', value):
                    raise HelpError(f'{where}: topic name "{value}" must be lower-case letters, digits and "-"')
                topic = Topic(value, where)
                topics.append(topic)
                continue
            if topic is None:
                raise HelpError(f'{where}: "@{directive}" before the first "@topic"')
            if directive == 'title':
                topic.title = value
            elif directive == 'keywords':
                topic.keywords.extend(parse_keywords(value, where))
            elif directive == 'see':
                close()
                runs = []
                for n, target in enumerate(t.strip() for t in value.split(',') if t.strip()):
                    runs.append(Run(STYLE_LINK, '', target))
                topic.blocks.append(Block(BLOCK_SEE_ALSO, runs))
            else:
                raise HelpError(f'{where}: unknown directive "@{directive}"')
            continue
        if topic is None:
            if line.strip():
                raise HelpError(f'{where}: text before the first "@topic"')
            continue
        stripped = line.strip()
        if not stripped:
            close()
            continue
        if line.startswith('=== '):
            open_block(BLOCK_SUBHEADING, line[4:], where)
            close()
        elif line.startswith('== '):
            open_block(BLOCK_HEADING, line[3:], where)
            close()
        elif line.startswith('- '):
            open_block(BLOCK_BULLET, line[2:], where)
        elif re.match(r'\d+\. ', line):
            number_text, _, rest = line.partition('. ')
            open_block(BLOCK_NUMBERED, rest, where, number_text + '.')
        elif line.startswith(': '):
            term, sep, rest = line[2:].partition(' :: ')
            if not sep:
                raise HelpError(f'{where}: a definition needs " :: " between term and text')
            open_block(BLOCK_DEFINITION, rest, where, term)
        elif line.startswith('>'):
            text = line[2:] if line.startswith('> ') else line[1:]
            if para_kind == BLOCK_PROGRAM_TEXT:
                para.append(text)
            else:
                open_block(BLOCK_PROGRAM_TEXT, text, where)
        elif line.startswith('! '):
            open_block(BLOCK_NOTE, line[2:], where)
        elif line.startswith('  ') and para_kind in (BLOCK_BULLET, BLOCK_NUMBERED, BLOCK_DEFINITION, BLOCK_NOTE):
            para.append(stripped)
        elif para_kind == BLOCK_PARAGRAPH or para_kind == BLOCK_NOTE:
            para.append(stripped)
        else:
            open_block(BLOCK_PARAGRAPH, stripped, where)
    close()
    for t in topics:
        if not t.title:
            raise HelpError(f'{t.where}: topic "{t.id}" has no "@title"')
    return topics


class ContentsEntry:
    def __init__(self, depth, kind, title, topic_id, where):
        self.depth, self.kind, self.title, self.topic_id, self.where = depth, kind, title, topic_id, where


def parse_contents(path):
    with open(path, encoding='utf-8') as f:
        lines = f.read().splitlines()
    name = os.path.basename(path)
    title, home = None, None
    entries = []
    for number, raw in enumerate(lines, 1):
        where = f'{name}:{number}'
        line = raw.rstrip()
        if not line.strip() or line.startswith('//'):
            continue
        if line.startswith('@title '):
            title = line[7:].strip()
            continue
        if line.startswith('@home '):
            home = line[6:].strip()
            continue
        indent = len(line) - len(line.lstrip(' '))
        if indent % 2:
            raise HelpError(f'{where}: indent by two spaces a level')
        depth = indent // 2
        previous = entries[-1] if entries else None
        if depth > (previous.depth + 1 if previous else 0):
            raise HelpError(f'{where}: indented more than one level below the line before')
        if previous and depth > previous.depth and previous.kind != ENTRY_BOOK:
            raise HelpError(f'{where}: only a book ("+ title") holds entries')
        body = line.strip()
        if body.startswith('+ '):
            entries.append(ContentsEntry(depth, ENTRY_BOOK, body[2:].strip(), None, where))
        else:
            entries.append(ContentsEntry(depth, ENTRY_PAGE, None, body, where))
    if not title:
        raise HelpError(f'{name}: no "@title"')
    if not entries:
        raise HelpError(f'{name}: the contents are empty')
    return title, home, entries


# ---------------------------------------------------------------- compiling

class Help:
    def __init__(self, title, home, topics, contents, keywords):
        self.title, self.home, self.topics, self.contents, self.keywords = title, home, topics, contents, keywords


def load_source(helpdir):
    title, home, contents = parse_contents(os.path.join(helpdir, 'contents.txt'))
    topics = []
    topic_dir = os.path.join(helpdir, 'topics')
    for name in sorted(os.listdir(topic_dir)):
        if name.endswith('.txt'):
            topics.extend(parse_topics(os.path.join(topic_dir, name)))
    by_id = {}
    for t in topics:
        if t.id in by_id:
            raise HelpError(f'{t.where}: topic "{t.id}" is already defined at {by_id[t.id].where}')
        by_id[t.id] = t

    # Topics in the order of the contents: the order of search results and of the file.
    ordered, seen = [], set()
    for e in contents:
        if e.kind != ENTRY_PAGE:
            continue
        if e.topic_id not in by_id:
            raise HelpError(f'{e.where}: no topic "{e.topic_id}"')
        if e.topic_id in seen:
            raise HelpError(f'{e.where}: topic "{e.topic_id}" is in the contents twice')
        seen.add(e.topic_id)
        ordered.append(by_id[e.topic_id])
        e.title = by_id[e.topic_id].title
    for t in topics:
        if t.id not in seen:
            raise HelpError(f'{t.where}: topic "{t.id}" is not in the contents')
    for i, t in enumerate(ordered):
        t.index = i
    if home is None:
        home = ordered[0].id
    if home not in by_id:
        raise HelpError(f'contents.txt: the home topic "{home}" does not exist')

    # Links name existing topics; an empty link text becomes the target's title.
    for t in ordered:
        for b in t.blocks:
            for r in b.label + b.body:
                if r.style & STYLE_LINK:
                    if r.target not in by_id:
                        raise HelpError(f'{t.where}: topic "{t.id}" links to the missing topic "{r.target}"')
                    if not r.text:
                        r.text = by_id[r.target].title

    # Keywords: one entry per text, with every topic that names it, sorted by their reading.
    keywords = {}
    for t in ordered:
        if not t.keywords:
            raise HelpError(f'{t.where}: topic "{t.id}" has no keywords')
        for text, reading in t.keywords:
            entry = keywords.setdefault(text, [reading, []])
            if reading and entry[0] and reading != entry[0]:
                raise HelpError(f'{t.where}: keyword "{text}" read as "{reading}" here and "{entry[0]}" before')
            entry[0] = entry[0] or reading
            if t.index not in entry[1]:
                entry[1].append(t.index)
    keyword_list = sorted(((text, reading, topics_) for text, (reading, topics_) in keywords.items()),
                          key=lambda k: (sort_key(k[1] or k[0]), fold(k[1] or k[0]), fold(k[0])))
    return Help(title, by_id[home].index, ordered, contents, keyword_list)


def _str(text):
    data = text.encode('utf-16-le')
    return struct.pack('<I', len(data) // 2) + data


def _runs(runs, by_id):
    out = [struct.pack('<I', len(runs))]
    for r in runs:
        target = by_id[r.target].index if r.style & STYLE_LINK else -1
        out.append(struct.pack('<Bi', r.style, target) + _str(r.text))
    return b''.join(out)


def _section(tag, payload):
    return tag + struct.pack('<I', len(payload)) + payload


def encode(help_):
    by_id = {t.id: t for t in help_.topics}
    head = _str(help_.title) + struct.pack('<I', help_.home)
    topics = [struct.pack('<I', len(help_.topics))]
    for t in help_.topics:
        topics.append(_str(t.id) + _str(t.title) + struct.pack('<I', len(t.blocks)))
        for b in t.blocks:
            topics.append(struct.pack('<B', b.kind) + _runs(b.label, by_id) + _runs(b.body, by_id))
    contents = [struct.pack('<I', len(help_.contents))]
    for e in help_.contents:
        topic = by_id[e.topic_id].index if e.kind == ENTRY_PAGE else -1
        contents.append(struct.pack('<BB', e.depth, e.kind) + _str(e.title) + struct.pack('<i', topic))
    keywords = [struct.pack('<I', len(help_.keywords))]
    for text, reading, topic_indexes in help_.keywords:
        keywords.append(_str(text) + _str(reading) + struct.pack('<I', len(topic_indexes)) +
                        b''.join(struct.pack('<I', i) for i in topic_indexes))
    body = (_section(b'HEAD', head) + _section(b'TOPC', b''.join(topics)) +
            _section(b'CONT', b''.join(contents)) + _section(b'KEYW', b''.join(keywords)))
    header = MAGIC + struct.pack('<HHIII', VERSION, 0, HEADER_SIZE + len(body), zlib.crc32(body), 4)
    return header + body


def compile_help(helpdir, out):
    data = encode(load_source(helpdir))
    tmp = out + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(data)
    os.replace(tmp, out)


# ---------------------------------------------------------------- reading a built file

class Reader:
    def __init__(self, data):
        self.data, self.pos = data, 0

    def take(self, n):
        if self.pos + n > len(self.data):
            raise HelpError('the file ends too early')
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def u8(self):
        return self.take(1)[0]

    def u32(self):
        return struct.unpack('<I', self.take(4))[0]

    def i32(self):
        return struct.unpack('<i', self.take(4))[0]

    def str(self):
        return self.take(self.u32() * 2).decode('utf-16-le')

    def runs(self):
        return [(self.u8(), self.i32(), self.str()) for _ in range(self.u32())]


def read_help(path):
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != MAGIC:
        raise HelpError(f'{path}: not a help file')
    version, _, length, crc, count = struct.unpack('<HHIII', data[8:24])
    if length != len(data) or zlib.crc32(data[24:]) != crc:
        raise HelpError(f'{path}: damaged')
    r = Reader(data[24:])
    sections = {}
    for _ in range(count):
        tag = r.take(4)
        sections[tag] = Reader(r.take(r.u32()))
    head, tp, ct, kw = sections[b'HEAD'], sections[b'TOPC'], sections[b'CONT'], sections[b'KEYW']
    result = {'title': head.str(), 'home': head.u32(), 'topics': [], 'contents': [], 'keywords': []}
    for _ in range(tp.u32()):
        topic = {'id': tp.str(), 'title': tp.str(), 'blocks': []}
        for _ in range(tp.u32()):
            topic['blocks'].append((tp.u8(), tp.runs(), tp.runs()))
        result['topics'].append(topic)
    for _ in range(ct.u32()):
        depth, kind = ct.u8(), ct.u8()
        result['contents'].append((depth, kind, ct.str(), ct.i32()))
    for _ in range(kw.u32()):
        text, reading = kw.str(), kw.str()
        result['keywords'].append((text, reading, [kw.u32() for _ in range(kw.u32())]))
    return result


def topic_text(topic):
    """The plain text of a topic as the viewer shows it: title, then every block, one per line."""
    lines = [topic['title']]
    for _, label, body in topic['blocks']:
        lines.append(''.join(t for _, _, t in label) + ' ' + ''.join(t for _, _, t in body))
    return '\n'.join(lines)


def dump(path):
    h = read_help(path)
    print(f'title: {h["title"]}  home: {h["topics"][h["home"]]["id"]}')
    print('contents:')
    for depth, kind, title, topic in h['contents']:
        print('  ' * (depth + 1) + ('+ ' if kind == ENTRY_BOOK else '') + title +
              (f'  [{h["topics"][topic]["id"]}]' if topic >= 0 else ''))
    print('keywords:')
    for text, reading, topics in h['keywords']:
        print(f'  {text} ({reading}): ' + ', '.join(h['topics'][i]['id'] for i in topics))
    for t in h['topics']:
        print(f'--- {t["id"]}')
        print(topic_text(t))


# ---------------------------------------------------------------- the program's texts

_LITERAL = re.compile(r'L"((?:[^"\\\n]|\\.)*)"')
_ESCAPES = {'r': '\r', 'n': '\n', 't': '\t', '\\': '\\', '"': '"', "'": "'", '0': '\0'}
# Texts that are names, not messages: fonts of the windows.
_NOT_SHOWN = {'ＭＳ Ｐゴシック', 'ＭＳ ゴシック'}
# Messages in Latin letters only; every other text the program shows has Japanese in it.
_LATIN_MESSAGES = re.compile(r'is invalid\.|can not create')


def _strip_comments(code):
    """C++ source without its comments; string and character literals are kept as they stand."""
    out, i, n = [], 0, len(code)
    while i < n:
        ch = code[i]
        if ch in '"\'':
            j = i + 1
            while j < n and code[j] != ch:
                j += 2 if code[j] == '\\' else 1
            out.append(code[i:j + 1])
            i = j + 1
        elif code.startswith('//', i):
            j = code.find('\n', i)
            i = n if j < 0 else j
        elif code.startswith('/*', i):
            j = code.find('*/', i + 2)
            j = n if j < 0 else j + 2
            out.append('\n' * code.count('\n', i, j))  # keeps the line numbers
            i = j
        else:
            out.append(ch)
            i += 1
    return ''.join(out)


def _unescape(text):
    return re.sub(r'\\(.)', lambda m: _ESCAPES.get(m.group(1), m.group(1)), text)


def shown_form(text):
    """A caption as the user sees it: "&X" is an underlined X, "&&" an ampersand."""
    return re.sub(r'&(.)', r'\1', text)


def text_pieces(text):
    """The parts of a literal that stand in the help: split where the program breaks the line, tabs
    or the hint's "|"; pieces without a letter (punctuation, blanks) are left out."""
    pieces = []
    for piece in re.split(r'[\r\n\t|]', shown_form(text)):
        piece = piece.strip(' ')
        if any(unicodedata.category(ch).startswith('L') for ch in piece):
            pieces.append(piece)
    return pieces


def collect_texts(srcdir):
    texts = []
    for folder, _, files in sorted(os.walk(srcdir)):
        for name in sorted(files):
            if not name.endswith(('.cpp', '.h')):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding='utf-8') as f:
                raw = f.read()
            # A table of characters rather than a text, marked so on its line.
            hidden = {n for n, line in enumerate(raw.splitlines(), 1) if line.rstrip().endswith('// not shown')}
            code = _strip_comments(raw)
            rel = os.path.relpath(path, srcdir).replace(os.sep, '/')
            for m in _LITERAL.finditer(code):
                literal = _unescape(m.group(1))
                if literal in _NOT_SHOWN:
                    continue
                if literal.isascii() and not _LATIN_MESSAGES.search(literal):
                    continue
                line = code.count('\n', 0, m.start()) + 1
                if line in hidden:
                    continue
                for piece in text_pieces(literal):
                    texts.append((f'{rel}:{line}', piece))
    return texts


def write_texts(srcdir, out):
    texts = collect_texts(srcdir)
    tmp = out + '.tmp'
    with open(tmp, 'w', encoding='utf-8') as f:
        for where, text in texts:
            f.write(f'{where}\t{text}\n')
    os.replace(tmp, out)


def check(texts_path, help_path):
    h = read_help(help_path)
    # Blanks are not significant between the help and the program (a program text may be wrapped).
    corpus = re.sub(r'\s+', '', '\n'.join(topic_text(t) for t in h['topics']))
    missing = []
    with open(texts_path, encoding='utf-8') as f:
        for line in f:
            where, _, text = line.rstrip('\n').partition('\t')
            if re.sub(r'\s+', '', text) not in corpus:
                missing.append((where, text))
    for where, text in missing:
        print(f'{where}: not in the help: "{text}"')
    if missing:
        print(f'{len(missing)} of the program\'s texts are missing from the help')
        return 1
    return 0


def main(argv):
    try:
        if len(argv) == 4 and argv[1] == 'compile':
            compile_help(argv[2], argv[3])
        elif len(argv) == 3 and argv[1] == 'dump':
            dump(argv[2])
        elif len(argv) == 4 and argv[1] == 'texts':
            write_texts(argv[2], argv[3])
        elif len(argv) == 4 and argv[1] == 'check':
            return check(argv[2], argv[3])
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except HelpError as e:
        print(f'helpbuild: {e}', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
