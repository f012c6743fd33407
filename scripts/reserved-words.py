#!/usr/bin/env python3
"""Writes the reserved-word lists that wired-host checks table names against.

Fetches three Debian packages with `apt-get download` (nothing is
installed), unpacks them with `dpkg -x` in a temporary folder and writes one
list per word list into tools/wired-host/words/, each starting with the
package, its version, the file the words come from and its licence:

  postgresql  postgresql-server-dev-15, server/parser/kwlist.h: the key words
              of the categories RESERVED_KEYWORD and TYPE_FUNC_NAME_KEYWORD
              (neither can be an unquoted table name)
  sql2016     postgresql-doc-15, html/sql-keywords-appendix.html: the words
              the SQL:2016 column marks reserved
  oracle, sqlserver, db2, mysql, mariadb, sqlite
              php-doctrine-dbal, Platforms/Keywords/*Keywords.php: the list of
              each platform's newest class; a class that extends another and
              asks for its parent's words adds to them, one that has no list
              of its own takes its parent's

Only the words are taken. The build compiles the lists into wired-host
(cmake/EmbedWordLists.cmake); nothing reads them at run time. Run this after
`apt-get update` to refresh the lists, then review the diff and commit it.
"""
import argparse
import fnmatch
import glob
import html
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tools", "wired-host", "words")

PG_DEV = "postgresql-server-dev-15"
PG_DOC = "postgresql-doc-15"
DOCTRINE = "php-doctrine-dbal"

# Each platform's newest Doctrine class (the deprecated aliases
# SQLServer2012Keywords and MariaDb102Keywords add nothing).
DOCTRINE_LISTS = {
    "oracle": "OracleKeywords",
    "sqlserver": "SQLServerKeywords",
    "db2": "DB2Keywords",
    "mysql": "MySQL80Keywords",
    "mariadb": "MariaDBKeywords",
    "sqlite": "SQLiteKeywords",
}

WORD = re.compile(r"^[A-Z_][A-Z0-9_$#-]*$")


def fetch(packages, work):
    """Downloads and unpacks the packages; their versions by name."""
    subprocess.run(["apt-get", "download", "-q"] + packages, cwd=work, check=True, stdout=subprocess.DEVNULL)
    versions = {}
    for package in packages:
        deb = glob.glob(os.path.join(work, package + "_*.deb"))
        if len(deb) != 1:
            raise SystemExit(f"reserved-words: apt-get download left no single .deb of {package}")
        versions[package] = subprocess.run(["dpkg-deb", "-f", deb[0], "Version"], check=True, capture_output=True,
                                           text=True).stdout.strip()
        subprocess.run(["dpkg", "-x", deb[0], os.path.join(work, package)], check=True)
    return versions


def licence(tree, package, path):
    """The licence the package's copyright file gives the file (the last
    matching Files stanza wins; upstream paths are matched by their tail)."""
    with open(os.path.join(tree, "usr/share/doc", package, "copyright"), encoding="utf-8") as f:
        stanzas = f.read().split("\n\n")
    found = None
    for stanza in stanzas:
        files = re.search(r"^Files:(.*(?:\n[ \t].*)*)", stanza, re.M)
        licence_ = re.search(r"^License: *(.+)$", stanza, re.M)
        if not files or not licence_:
            continue
        for pattern in files.group(1).split():
            tail = pattern.split("/", 1)[-1]
            if pattern == "*" or fnmatch.fnmatch(path, "*/" + tail):
                found = licence_.group(1).strip()
    if found is None:
        raise SystemExit(f"reserved-words: no licence for {path} in {package}'s copyright file")
    return found


def find(tree, pattern):
    found = glob.glob(os.path.join(tree, pattern), recursive=True)
    if len(found) != 1:
        raise SystemExit(f"reserved-words: expected one {pattern}, found {len(found)}")
    return found[0]


def postgresql_words(tree):
    path = find(tree, "usr/include/postgresql/*/server/parser/kwlist.h")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    words = [w.upper() for w, category in re.findall(r'^PG_KEYWORD\("([a-z_0-9]+)",\s*\w+,\s*(\w+)', text, re.M)
             if category in ("RESERVED_KEYWORD", "TYPE_FUNC_NAME_KEYWORD")]
    return path, words


def sql2016_words(tree):
    path = find(tree, "usr/share/doc/*/html/sql-keywords-appendix.html")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    header = re.search(r"<thead>(.*?)</thead>", text, re.S).group(1)
    columns = [re.sub(r"<[^>]+>", "", c).strip() for c in re.findall(r"<th>(.*?)</th>", header, re.S)]
    column = columns.index("SQL:2016")
    body = re.search(r"<tbody>(.*?)</tbody>", text, re.S).group(1)
    words = []
    for row in re.findall(r"<tr>(.*?)</tr>", body, re.S):
        cells = [html.unescape(re.sub(r"<[^>]+>", "", c)).strip() for c in re.findall(r"<td>(.*?)</td>", row, re.S)]
        # Long words carry zero-width spaces where a browser may break them.
        word = cells[0].replace("\u200b", "")
        if cells[column].startswith("reserved"):
            words.append(word)
    return path, words


def method_body(text, name):
    """The text between the braces of the named method, or None."""
    start = re.search(r"function\s+" + name + r"\s*\([^)]*\)[^{]*\{", text)
    if not start:
        return None
    depth, i = 1, start.end()
    while depth:
        depth += {"{": 1, "}": -1}.get(text[i], 0)
        i += 1
    return text[start.end():i - 1]


def doctrine_words(tree, class_name, seen=()):
    """A Doctrine keyword class's words: its own, its parent's or both."""
    if class_name in seen:
        raise SystemExit(f"reserved-words: {class_name} extends itself")
    path = find(tree, f"usr/share/php/Doctrine/DBAL/Platforms/Keywords/{class_name}.php")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    parent = re.search(r"\bclass\s+" + class_name + r"\s+extends\s+(\w+)", text)
    parent = parent.group(1) if parent and parent.group(1) != "KeywordList" else None
    body = method_body(text, "getKeywords")
    if body is None:
        if parent is None:
            raise SystemExit(f"reserved-words: {class_name} has no words and no parent")
        return path, doctrine_words(tree, parent, seen + (class_name,))[1]
    words = re.findall(r"'([^']*)'", body)
    if "parent::getKeywords" in body:
        words = doctrine_words(tree, parent, seen + (class_name,))[1] + words
    return path, words


def write(name, title, package, version, tree, path, words):
    # A phrase such as SQL Server's "WITHIN GROUP" is no single name a table
    # could have; stray spaces around a word are the list's slips.
    words = sorted({w.strip().upper() for w in words if " " not in w.strip()})
    bad = [w for w in words if not WORD.match(w)]
    if bad or not words:
        raise SystemExit(f"reserved-words: {name}: unexpected words {bad[:5]}" if bad else f"{name}: no words")
    relative = "/" + os.path.relpath(path, tree)
    header = [
        f"# {title}",
        f"# Source package: {package} {version} (Debian)",
        f"# File: {relative}",
        f"# Licence: {licence(tree, package, relative)}",
        "# Written by scripts/reserved-words.py; refresh with it, do not edit by hand.",
    ]
    with open(os.path.join(OUT, name + ".txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(header + words) + "\n")
    print(f"{name}: {len(words)} words from {package} {version}")


def main():
    argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter).parse_args()
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="reserved-words-") as work:
        os.chmod(work, 0o755)  # apt-get download may run as _apt
        versions = fetch([PG_DEV, PG_DOC, DOCTRINE], work)
        tree = os.path.join(work, PG_DEV)
        path, words = postgresql_words(tree)
        write("postgresql", "PostgreSQL: key words reserved or reserved (can be function or type)", PG_DEV,
              versions[PG_DEV], tree, path, words)
        tree = os.path.join(work, PG_DOC)
        path, words = sql2016_words(tree)
        write("sql2016", "SQL:2016: the standard's reserved words", PG_DOC, versions[PG_DOC], tree, path, words)
        tree = os.path.join(work, DOCTRINE)
        for name, class_name in DOCTRINE_LISTS.items():
            path, words = doctrine_words(tree, class_name)
            write(name, f"{name}: reserved words of {class_name}", DOCTRINE, versions[DOCTRINE], tree, path, words)
    return 0


if __name__ == "__main__":
    sys.exit(main())
