#!/usr/bin/env python3
"""Writes the one-file page to stdout: the site's index.html (argument 1: the site's folder) with
its style, icon and script written into it, the one-file program (argument 2: the .js that holds
the wasm and the font) in place of the site's, without the site's service worker, preload links
and manifest, and each licence it links to appended as a text that its link shows (CSS :target),
so the page needs nothing beside it, not even a network."""
import base64
import html
import pathlib
import re
import sys


def replace_once(page, old, new):
    if page.count(old) != 1:
        sys.exit(f"Couldn't make the one-file page: index.html has not exactly one {old!r}")
    return page.replace(old, new)


def inline_script(code):
    # Inside <script>, "</script" would end it and "<!--" would change how it is read; in the
    # program's code they can only be in strings, where "<\/" and "<\!" mean the same.
    return "<script>" + re.sub(r"<(/script|!--)", r"<\\\1", code, flags=re.I) + "</script>"


def main():
    site = pathlib.Path(sys.argv[1])
    program = pathlib.Path(sys.argv[2]).read_text(encoding="utf-8")
    page = (site / "index.html").read_text(encoding="utf-8")
    # No preloads (all is inside), no manifest or home-screen icon (an app is the site's).
    page, links = re.subn(r'<link rel="(preload|manifest|apple-touch-icon)" [^>]*>\n', "", page)
    if links < 4:
        sys.exit("Couldn't make the one-file page: index.html lacks one of the links it left out")
    icon = base64.b64encode((site / "triangles.svg").read_bytes()).decode("ascii")
    page = replace_once(page, 'href="icon-192.png" sizes="192x192" type="image/png"',
                        f'href="data:image/svg+xml;base64,{icon}" type="image/svg+xml"')
    style = (site / "page.css").read_text(encoding="utf-8")
    page = replace_once(page, '<link rel="stylesheet" href="page.css">', f"<style>{style}</style>")
    script = (site / "page.js").read_text(encoding="utf-8")
    page = replace_once(page, '<script src="page.js" data-font="times.ttf" '
                              'data-worker="service-worker.js"></script>',
                        inline_script(script))
    page = replace_once(page, '<script src="triangles.js"></script>', inline_script(program))
    texts = []
    for name in sorted(set(re.findall(r'href="(licenses/[^"]+)"', page))):
        text = html.escape((site / name).read_text(encoding="utf-8"))
        texts.append(f'<pre id="{name}" class="licence-text">{text}</pre>')
        page = page.replace(f'href="{name}"', f'href="#{name}"')
    page = replace_once(page, "</footer>", "\n".join(texts) + "\n</footer>")
    sys.stdout.write(page)


main()
