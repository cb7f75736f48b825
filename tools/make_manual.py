#!/usr/bin/env python3
"""Writes the manual page tollivane(1) from the README, so that the text lives in one place.

The page takes the README's opening paragraph and the sections named in SECTIONS, in plain
Markdown (paragraphs, "- " lists, `code`, [links](...) and ``` blocks). Run from the
repository root:  python3 tools/make_manual.py [OUTPUT]   (default resources/linux/tollivane.1)
"""
import re
import sys

SECTIONS = [("Using it", "USAGE"), ("Command line", "OPTIONS"),
            ("Start with the game", "START WITH THE GAME"), ("Where the settings go", "FILES"),
            ("Wayland", "WAYLAND")]
SUMMARY = "a stopwatch drawn onto the game in front, driven by global hotkeys"


def inline(text):
    text = text.replace("\\", "\\e")
    text = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", text)
    text = re.sub(r"`([^`]*)`", lambda m: "\\fB" + m.group(1).replace("-", "\\-") + "\\fR", text)
    return text


def line(text):
    # A line starting with a dot or quote would be read as a request.
    return "\\&" + text if text[:1] in (".", "'") else text


def roff(markdown_lines):
    out, paragraph, in_code, in_item = [], [], False, False

    def flush():
        nonlocal paragraph
        if paragraph:
            out.append(line(inline(" ".join(paragraph))))
            paragraph = []

    for raw in markdown_lines:
        text = raw.rstrip()
        if text.startswith("```"):
            flush()
            out.extend([".PP", ".RS 4", ".nf"] if not in_code else [".fi", ".RE"])
            in_code = not in_code
        elif in_code:
            out.append(line(text.replace("\\", "\\e")))
        elif not text:
            flush()
            in_item = False
        elif text.startswith("- "):
            flush()
            out.append(".IP \\(bu 2")
            paragraph.append(text[2:])
            in_item = True
        elif in_item and text.startswith("  "):
            paragraph.append(text.strip())
        else:
            if not paragraph and not in_item:
                out.append(".PP")
            paragraph.append(text.strip())
    flush()
    return out


def sections(readme):
    """The opening paragraph, and each "## " section's lines by heading."""
    found, current, opening = {}, None, []
    for text in readme.splitlines():
        if text.startswith("## "):
            current = text[3:].strip()
            found[current] = []
        elif current is not None:
            found[current].append(text)
        elif not text.startswith("# "):
            opening.append(text)
    return opening, found


def manual(readme, version):
    opening, found = sections(readme)
    out = ['.TH TOLLIVANE 1 "" "Tollivane %s" "User Commands"' % version,
           ".SH NAME", "tollivane \\- " + SUMMARY,
           ".SH SYNOPSIS", ".B tollivane",
           "[\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR | \\fB\\-\\-start\\fR | "
           "\\fB\\-\\-pause\\fR | \\fB\\-\\-stop\\fR]", ".br", ".B tollivane",
           "\\fB\\-\\-run\\fR [\\fB\\-\\-start\\fR] \\fB\\-\\-\\fR \\fIPROGRAM\\fR "
           "[\\fIARGUMENTS\\fR...]",
           ".SH DESCRIPTION"]
    out += roff(opening)
    for heading, name in SECTIONS:
        out.append(".SH " + name)
        out += roff(found[heading])
    return "\n".join(out) + "\n"


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "resources/linux/tollivane.1"
    with open("CMakeLists.txt", encoding="utf-8") as f:
        version = re.search(r"project\(Tollivane VERSION ([0-9.]+)", f.read()).group(1)
    with open("README.md", encoding="utf-8") as f:
        page = manual(f.read(), version)
    with open(output, "w", encoding="utf-8") as f:
        f.write(page)


if __name__ == "__main__":
    main()
