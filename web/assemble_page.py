#!/usr/bin/env python3
"""Assembles varnholt.html: the page template with its style, the WebAssembly
module's script (the module embedded), the pictures as data addresses and
the page's script, all inline, so that the one file opens from disk and loads
nothing. The Content-Security-Policy names each inline script and the style
by its hash: nothing else may run, and nothing may connect anywhere.

Usage: assemble_page.py --module MODULE.js --wasm MODULE.wasm --web WEB_FOLDER --res RES_FOLDER
                        --output PAGE
"""

import argparse
import base64
import hashlib
import json
import re
import sys
from pathlib import Path

PICTURES = ["REFRESHU", "REFRESHD", "REFRESHF", "REFRESHX"]


def data_address(path, mime):
    return "data:%s;base64,%s" % (mime, base64.b64encode(path.read_bytes()).decode("ascii"))


def digest(text):
    return "'sha256-%s'" % base64.b64encode(hashlib.sha256(text.encode("utf-8")).digest()).decode()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--module", required=True, type=Path)
    parser.add_argument("--wasm", required=True, type=Path)
    parser.add_argument("--web", required=True, type=Path)
    parser.add_argument("--res", required=True, type=Path)
    parser.add_argument("--output", required=True, type=Path)
    args = parser.parse_args()

    template = (args.web / "page.html").read_text(encoding="utf-8")
    style = (args.web / "page.css").read_text(encoding="utf-8")
    script = (args.web / "page.js").read_text(encoding="utf-8")
    module = args.module.read_text(encoding="utf-8")
    pictures = {name: data_address(args.res / (name + ".bmp"), "image/bmp") for name in PICTURES}
    pictures_script = "var varnholtPictures = %s;" % json.dumps(pictures, sort_keys=True)
    icon = data_address(args.res / "varnholt.svg", "image/svg+xml")

    scripts = [module, pictures_script, script]
    for text in scripts + [style]:
        if "</script" in text.lower() or "</style" in text.lower():
            sys.exit("assemble_page.py: an inline part would end its element early")
    policy = "; ".join([
        "default-src 'none'",
        "script-src " + " ".join(digest(s) for s in scripts) + " 'wasm-unsafe-eval'",
        "style-src " + digest(style),
        "img-src data:",
        "connect-src 'none'",
        "base-uri 'none'",
        "form-action 'none'",
    ])
    # A data block, not a script: the page decodes it and hands it to the module.
    binary = base64.b64encode(args.wasm.read_bytes()).decode("ascii")
    values = {"WASM": binary, "CSP": policy, "ICON": icon, "STYLE": style, "MODULE": module,
              "PICTURES": pictures_script, "SCRIPT": script}
    missing = [name for name in values if "@%s@" % name not in template]
    if missing:
        sys.exit("assemble_page.py: the template lacks " + ", ".join(missing))
    # One pass over the template: no inserted text is searched again.
    page = re.sub(r"@(%s)@" % "|".join(values), lambda m: values[m.group(1)], template)
    temporary = args.output.with_name(args.output.name + ".new")
    temporary.write_text(page, encoding="utf-8")
    temporary.replace(args.output)


if __name__ == "__main__":
    main()
