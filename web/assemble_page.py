#!/usr/bin/env python3
"""Assembles varnholt.html: the page template with its style, the WebAssembly
module's script (the module embedded), the pictures as data addresses and
the page's script (its ES modules, from main.mjs on, bundled into one), all inline, so that the one file opens from disk and loads
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


IMPORT = re.compile(r"^import \{([^}]*)\} from '\./([\w-]+)\.mjs';\n", re.M)
EXPORT = re.compile(r"^export (?:async )?(?:function|const|let|class) (\w+)", re.M)


def bundle(folder, entry):
    """The page's modules as one classic script: each module a function scope
    that returns its exports, in the order of their imports, the entry last.
    Only the forms the modules use are understood: `import {a, b} from
    './name.mjs';` and `export` before a declaration."""
    ordered, seen = [], set()

    def visit(name, path):
        if name in path:
            sys.exit("assemble_page.py: the modules import each other in a circle: " + " -> ".join(path + [name]))
        if name in seen:
            return
        text = (folder / (name + ".mjs")).read_text(encoding="utf-8")
        for match in IMPORT.finditer(text):
            visit(match.group(2), path + [name])
        seen.add(name)
        ordered.append((name, text))

    visit(entry, [])
    parts = ["'use strict';", "(() => {"]
    for name, text in ordered:
        names = EXPORT.findall(text)
        text = IMPORT.sub(lambda m: "const {%s} = module_%s;\n" % (m.group(1), m.group(2).replace("-", "_")), text)
        text = re.sub(r"^export (?=(?:async )?(?:function|const|let|class) )", "", text, flags=re.M)
        if re.search(r"^\s*(import|export)\b", text, re.M):
            sys.exit("assemble_page.py: %s.mjs has an import or export of a form the bundling does not know" % name)
        ending = "return {%s};" % ", ".join(names) if name != entry else ""
        parts.append("const module_%s = (() => {\n%s%s\n})();" % (name.replace("-", "_"), text, ending))
    parts.append("})();")
    return "\n".join(parts) + "\n"


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
    script = bundle(args.web, "main")
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
