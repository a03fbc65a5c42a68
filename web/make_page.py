#!/usr/bin/env python3
"""Puts the page together into one self-contained file: the template with
its style, the page's script, and the worker's script (the WebAssembly
module, which carries its binary inside, followed by the worker's side)
as a string the page turns into a blob: worker.

    make_page.py PAGE_FOLDER MODULE_JS DEMO_PAL OUTPUT_HTML
"""
import base64
import json
import pathlib
import sys


def script_text(text):
    # Inside a <script> element only "</" can end it early; in a JSON
    # string "\/" reads as "/".
    return text.replace("</", "<\\/")


def main():
    page, module, palette, output = (pathlib.Path(arg) for arg in sys.argv[1:5])
    html = (page / "skarnel.html").read_text(encoding="utf-8")
    worker = module.read_text(encoding="utf-8") + "\n" + (page / "worker.js").read_text(encoding="utf-8")
    parts = {
        "/*STYLE*/": (page / "page.css").read_text(encoding="utf-8"),
        '/*WORKER_SOURCE*/""': script_text(json.dumps(worker)),
        "/*DEMO_PALETTE*/": base64.b64encode(palette.read_bytes()).decode("ascii"),
        "/*PAGE_SCRIPT*/": script_text((page / "page.js").read_text(encoding="utf-8")),
    }
    for marker, value in parts.items():
        if html.count(marker) != 1:
            sys.exit(f"make_page: {marker} must appear once in the template")
        html = html.replace(marker, value)
    output.parent.mkdir(parents=True, exist_ok=True)
    temporary = output.with_suffix(".tmp")
    temporary.write_text(html, encoding="utf-8")
    temporary.replace(output)


if __name__ == "__main__":
    main()
