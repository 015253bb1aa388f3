"""The help compiler and the check of the program's texts (tools/helpbuild.py), on small sources."""

import contextlib
import io
import os
import sys
import tempfile
import textwrap
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools'))
import helpbuild  # noqa: E402


def write(root, relative, text):
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)
    return path


CONTENTS = textwrap.dedent("""\
    @title テスト
    + 本
      b
      a
    """)

TOPICS = textwrap.dedent("""\
    // a comment
    @topic a
    @title 見出しA
    @keywords 書く|かく; 開始|かいし; 概要|がいよう

    本文は [[b]] と [[b|こちら]] へ。
    続きの行。

    : `項目(&X)` :: 説明
    > 一行目
    > 二行目

    @topic b
    @title 見出しB
    @keywords 開始|かいし; Esc
    - 箇条書き
      の続き
    1. 手順
    @see a
    """)


class CompileTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        write(self.root, 'contents.txt', CONTENTS)
        write(self.root, 'topics/t.txt', TOPICS)

    def tearDown(self):
        self.dir.cleanup()

    def build(self):
        out = os.path.join(self.root, 'out.hlp')
        helpbuild.compile_help(self.root, out)
        return helpbuild.read_help(out)

    def test_the_built_file_holds_the_source_in_contents_order(self):
        h = self.build()
        self.assertEqual([t['id'] for t in h['topics']], ['b', 'a'])  # the contents decide the order
        self.assertEqual(h['home'], 0)
        self.assertEqual(h['contents'], [(0, 0, '本', -1), (1, 1, '見出しB', 0), (1, 1, '見出しA', 1)])
        a = h['topics'][1]
        kind, _, body = a['blocks'][0]
        self.assertEqual(kind, helpbuild.BLOCK_PARAGRAPH)
        # A link without a text shows the title; lines of a paragraph run on without a blank.
        self.assertEqual([(s, t, x) for s, t, x in body if s & helpbuild.STYLE_LINK],
                         [(helpbuild.STYLE_LINK, 0, '見出しB'), (helpbuild.STYLE_LINK, 0, 'こちら')])
        self.assertEqual(''.join(x for _, _, x in body), '本文は 見出しB と こちら へ。続きの行。')
        kind, label, body = a['blocks'][1]
        self.assertEqual((kind, label), (helpbuild.BLOCK_DEFINITION, [(helpbuild.STYLE_PROGRAM, -1, '項目(&X)')]))
        kind, _, body = a['blocks'][2]
        self.assertEqual((kind, ''.join(x for _, _, x in body)), (helpbuild.BLOCK_PROGRAM_TEXT, '一行目\n二行目'))
        b = h['topics'][0]
        self.assertEqual([k for k, _, _ in b['blocks']],
                         [helpbuild.BLOCK_BULLET, helpbuild.BLOCK_NUMBERED, helpbuild.BLOCK_SEE_ALSO])
        self.assertEqual(''.join(x for _, _, x in b['blocks'][0][2]), '箇条書きの続き')
        # The index: Latin first, then by reading, が with か; a keyword of two topics lists both.
        self.assertEqual([(t, topics) for t, _, topics in h['keywords']],
                         [('Esc', [0]), ('開始', [0, 1]), ('概要', [1]), ('書く', [1])])

    def test_faults_of_the_source_are_refused_with_their_place(self):
        faults = {
            'a link to a missing topic': ('topics/t.txt', TOPICS.replace('[[b|こちら]]', '[[c|こちら]]'), 'missing topic "c"'),
            'a topic not in the contents': ('contents.txt', CONTENTS.replace('  a\n', ''), 'not in the contents'),
            'a topic twice in the contents': ('contents.txt', CONTENTS + '  a\n', 'twice'),
            'a page in the contents without its topic': ('contents.txt', CONTENTS + '  z\n', 'no topic "z"'),
            'kanji without a reading': ('topics/t.txt', TOPICS.replace('書く|かく', '書く'), 'give its reading'),
            'an emphasis left open': ('topics/t.txt', TOPICS.replace('続きの行。', '**続きの行。'), 't.txt:6'),
            'a level skipped': ('contents.txt', CONTENTS.replace('  b', '    b'), 'contents.txt:3'),
            'an unknown directive': ('topics/t.txt', TOPICS + '@author x\n', 'unknown directive'),
            'a topic without keywords': ('topics/t.txt', TOPICS.replace('@keywords 開始|かいし; Esc\n', ''), 'no keywords'),
        }
        for name, (relative, text, expected) in faults.items():
            with self.subTest(name):
                write(self.root, 'contents.txt', CONTENTS)
                write(self.root, 'topics/t.txt', TOPICS)
                write(self.root, relative, text)
                with self.assertRaises(helpbuild.HelpError) as raised:
                    self.build()
                self.assertIn(expected, str(raised.exception))


class ProgramTextsTest(unittest.TestCase):
    def test_texts_are_collected_as_shown_and_checked_against_the_help(self):
        with tempfile.TemporaryDirectory() as root:
            write(root, 'src/a/Window.cpp', textwrap.dedent("""\
                // L"コメントの中は集めない"
                /* a block
                   comment */ const wchar_t* a = L"開始(&S)";
                const wchar_t* b = L"一行目\\r二行目|";  const wchar_t* c = L"Left";
                const wchar_t* d = L"can not create Inifile object.";
                const wchar_t kTable[] = L"アイウ";  // not shown
                auto e = std::wstring(L"ファイル ") + path + L" を作成できません";
                """))
            texts = helpbuild.collect_texts(os.path.join(root, 'src'))
            self.assertEqual(texts, [('a/Window.cpp:3', '開始(S)'), ('a/Window.cpp:4', '一行目'),
                                     ('a/Window.cpp:4', '二行目'), ('a/Window.cpp:5', 'can not create Inifile object.'),
                                     ('a/Window.cpp:7', 'ファイル'), ('a/Window.cpp:7', 'を作成できません')])
            helpbuild.write_texts(os.path.join(root, 'src'), os.path.join(root, 'texts.txt'))

            write(root, 'help/contents.txt', '@title t\n+ 本\n  a\n')
            topic = ('@topic a\n@title a\n@keywords 開始|かいし\n`開始(S)` を押す。\n> 一行目\n> 二行目\n'
                     'can not create\n  Inifile object. ファイル (名前) を作成できません\n')
            write(root, 'help/topics/a.txt', topic)
            helpbuild.compile_help(os.path.join(root, 'help'), os.path.join(root, 'a.hlp'))
            with contextlib.redirect_stdout(io.StringIO()):
                self.assertEqual(helpbuild.check(os.path.join(root, 'texts.txt'), os.path.join(root, 'a.hlp')), 0)
            write(root, 'help/topics/a.txt', topic.replace('> 二行目\n', ''))
            helpbuild.compile_help(os.path.join(root, 'help'), os.path.join(root, 'a.hlp'))
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                self.assertEqual(helpbuild.check(os.path.join(root, 'texts.txt'), os.path.join(root, 'a.hlp')), 1)
            self.assertIn('a/Window.cpp:4: not in the help: "二行目"', out.getvalue())


if __name__ == '__main__':
    unittest.main()
