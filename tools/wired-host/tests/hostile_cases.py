"""End-to-end cases of wired-host run on hostile model files: damaged
containers, bombs, deep and wide structures. Each is read or refused with
exit 2 and a message naming the file and the limit, in seconds, in every
flavour (32-bit Windows included, where a size can wrap). wired_host_test.py
runs them as the group "hostile".
"""
import gzip
import os
import resource
import struct
import subprocess
import tempfile
import zlib

HOSTILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hostile")
# Each run's bound in CPU seconds, which a busy machine leaves alone;
# builds with the sanitizers give a factor.
SECONDS = 10 * float(os.environ.get("WIRED_HOST_TIME_FACTOR", "1"))


def check(condition, message=""):
    if not condition:
        raise AssertionError(message)


def cpu_seconds():
    """User and system time of the finished child processes so far."""
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed(what, function, *args):
    start = cpu_seconds()
    result = function(*args)
    spent = cpu_seconds() - start
    check(spent < SECONDS, f"{what}: {spent:.1f} s of CPU")
    return result


def timed_run(s, *args):
    return timed(args, s.tool.run, *args)


def dia(objects):
    body = "".join(
        f'<dia:object type="UML - {kind}" id="{id}"><dia:attribute name="name"><dia:string>#{name}#</dia:string>'
        f'</dia:attribute>' + (f'<dia:childnode parent="{parent}"/>' if parent else "") + "</dia:object>"
        for kind, id, name, parent in objects)
    return ('<?xml version="1.0"?><dia:diagram xmlns:dia="http://www.lysator.liu.se/~alla/dia/">'
            f'<dia:layer name="L">{body}</dia:layer></dia:diagram>')


def zip64(name, data, compressed_size):
    """A zip of one stored entry whose sizes stand in its zip64 extra field."""
    crc = zlib.crc32(data)
    sizes = struct.pack("<HHQQ", 1, 16, len(data), compressed_size)
    local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 45, 0, 0, 0, 0, crc, 0xFFFFFFFF, 0xFFFFFFFF, len(name),
                        len(sizes)) + name + sizes + data
    directory = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 45, 45, 0, 0, 0, 0, crc, 0xFFFFFFFF, 0xFFFFFFFF,
                            len(name), len(sizes), 0, 0, 0, 0, 0) + name + sizes
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(directory), len(local), 0)
    return local + directory + end


def refused_files(s):
    """file, content (None: kept in tests/hostile), message part."""
    return [
        ("zip-compressed-size-wraps.zargo", None, "zip entry m.xmi is cut short (it says it holds 4294967280 bytes)"),
        # Past what 32-bit Windows addresses: said as the file says it.
        ("zip64-size.zip", zip64(b"m.xmi", b"<XMI/>", 1 << 62),
         "zip entry m.xmi is cut short (it says it holds 4611686018427387904 bytes)"),
        ("tar-size-negative.tar", None, "tar entry a.txt has a damaged size field"),
        ("tar-size-near-4gib.tar", None, "tar entry a.txt says it holds 4294966784 bytes, but only 1024 follow"),
        ("bomb.xmi.gz", gzip.compress(b" " * (2 << 20)), "to at most 1048576 bytes (200 times its size"),
        ("nested.xmi.gz", gzip.compress(gzip.compress(gzip.compress(gzip.compress(b"<XMI/>")))),
         "containers nested deeper than 3 (gzip in gzip in gzip in gzip)"),
        ("attributes.xmi", '<?xml version="1.0"?>\n<XMI xmi.version="1.2"><XMI.content>\n<UML:Class ' +
         " ".join(f'a{i}="x"' for i in range(100000)) + "/></XMI.content></XMI>",
         "attributes.xmi:3: an element with more than 256 attributes"),
        # The XML parser ends a DOCTYPE at its first >, subset or not.
        ("doctype-attributes.xmi", '<?xml version="1.0"?>\n<!DOCTYPE XMI [>\n<XMI ' +
         " ".join(f'a{i}="x"' for i in range(100000)) + "/> ]>", "doctype-attributes.xmi:3: an element with more than 256"),
        # The XML parser looks for the ';' of each &# through the rest of
        # the value, and writes &#0; as a NUL that cuts the name.
        ("references.xmi", '<?xml version="1.0"?>\n<XMI xmi.version="1.2">\n<UML:Class name="' + "&#" * 1000000 +
         '"/></XMI>', "references.xmi:3: a character reference (&#...;) that XML does not allow: not a number"),
        ("nul-reference.xmi", '<XMI xmi.version="1.2"><XMI.content><UML:Class name="A&#0;B"/></XMI.content></XMI>',
         "nul-reference.xmi:1: a character reference (&#...;) that XML does not allow: U+0000"),
        # The start of a file is read until its first character: that is
        # looked for once, not again through all of it per block read.
        ("blank-lines.puml", "\n" * (16 << 20), "blank-lines.puml: the file holds only white space"),
        # The JSON reader keeps members in file order by comparing each
        # new one with all before it.
        ("members.mdj", '{"_type": "Project", ' + ", ".join(f'"k{i}": 0' for i in range(200000)) + "}",
         "members.mdj: an object with more than 1000 members"),
        ("huge-number.mdj", '{"_type": "Project", "n": ' + "9" * 100000 + "}",
         "huge-number.mdj: malformed JSON (line 1: number overflow parsing '999"),
        ("deep.xmi", "<XMI>" + "<a>" * 200 + "</a>" * 200 + "</XMI>", "elements nested deeper than 98"),
        # Texts and comments are nodes of the XML reader as elements are
        # (64 MiB of x<!----> took 1.9 GB): half of these are elements, too
        # few to pass the limit alone. Elements of 256 attributes
        # each are within the attribute limit, but their checks add up.
        ("texts.xmi", b"<XMI>" + b"x<a/>" * 2100000 + b"</XMI>", "more than 4000000 XML elements, texts and comments"),
        ("attribute-pairs.xmi.gz", gzip.compress(
            ("<XMI>" + ("<e" + "".join(f" a{i}=''" for i in range(256)) + "/>\n") * 3100 + "</XMI>").encode()),
         "attribute-pairs.xmi.gz:3064: elements with so many attributes that the XML reader would compare more than "
         "100000000 pairs"),
        ("long-paths.puml", "@startuml\npackage " + "p" * (1 << 20) + " {\n" +
         "".join(f"class C{i}\n" for i in range(70)) + "}\n@enduml\n",
         "the package paths of the classes come to more than 64 MiB together (wired-host's limit), "
         "passed at class 65 of 70"),
    ]


def test_hostile_files_are_refused_naming_the_limit(s):
    for name, content, message in refused_files(s):
        path = os.path.join(HOSTILE, name) if content is None else s.write("hostile/" + name, content)
        code, out, err = timed_run(s, "run", s.tool.arg(path))
        check(code == 2, f"{name}: exit {code}: {out}{err}")
        check(out == "", f"{name}: printed {out[:200]!r}")
        check(message in err and s.tool.arg(path) in err, f"{name}: {message!r} not in {err[:400]!r}")


def test_deep_and_wide_models_are_read_in_linear_time(s):
    parts = 100000
    cases = [
        # file, content, classes, the first class's package
        ("dotted.puml", "@startuml\nclass " + "a." * parts + "C\n@enduml\n", 1, ".".join(["a"] * parts)),
        ("nested.puml", "@startuml\n" + "package a {\n" * 30000 + "class C\n" + "}\n" * 30000 + "@enduml\n", 1,
         ".".join(["a"] * 30000)),
        # The same on one line: opened and closed again there.
        ("one-line.puml", "@startuml\n" + "package a { " * 30000 + "class C" + " }" * 30000 + "\n@enduml\n", 1,
         ".".join(["a"] * 30000)),
        ("packages.puml", "@startuml\n" + "".join(f"class p{i}.C\n" for i in range(100000)) + "@enduml\n",
         100000, "p0"),
        # A million members of one array (the JSON reader with a callback
        # looks through all before each); a stereotype with a long name
        # listing one element many times over.
        ("objects.mdj", '{"_type": "Project", "ownedElements": [' + "{}," * 1000000 +
         '{"_type": "UMLClass", "name": "C"}]}', 1, ""),
        ("extended.xmi", '<XMI xmi.version="1.2"><XMI.content><UML:Model xmi.id="m" name="M"><UML:Namespace.ownedElement>'
         '<UML:Stereotype xmi.id="s" name="' + "S" * 100000 + '" extendedElement="' + "c " * 100000 + '">'
         '<UML:Stereotype.extendedElement>' + '<UML:Class xmi.idref="c"/>' * 100000 + '</UML:Stereotype.extendedElement>'
         '</UML:Stereotype><UML:Class xmi.id="c" name="C"/></UML:Namespace.ownedElement></UML:Model></XMI.content></XMI>',
         1, ""),
        # A Dia stereotype of a million guillemets, which are taken off.
        ("guillemets.dia", dia([("Class", "K", "K", "")]).replace(
            "</dia:attribute></dia:object>", '</dia:attribute><dia:attribute name="stereotype"><dia:string>#' +
            "\u00ab" * 1000000 + "#</dia:string></dia:attribute></dia:object>"), 1, ""),
        ("cycle.dia", dia([("LargePackage", "A", "a", "B"), ("LargePackage", "B", "b", "A"),
                           ("Class", "C1", "InA", "A")]), 1, "b.a"),
    ]
    for name, content, count, package in cases:
        path = s.write("hostile/" + name, content)
        report = timed(name, s.run_json, s.tool.arg(path))
        check(len(report["classes"]) == count, f"{name}: {len(report['classes'])} classes")
        check(report["classes"][0]["package"] == package, f"{name}: {report['classes'][0]['package'][:80]!r}")


def test_a_config_the_plugin_would_take_minutes_over_is_refused(s):
    # The plug-in's XML parser compares each attribute with all before it.
    config = s.tool.arg(s.write("hostile/config.xml", "<Wired>\n<Package " +
                                " ".join(f'a{i}="x"' for i in range(100000)) + ' code="com"/></Wired>'))
    model = s.tool.arg(s.write("hostile/model.puml", "@startuml\nclass A\n@enduml\n"))
    for args in (["check", config], ["check", "--format", "json", config], ["run", "--config", config, model],
                 ["names", "--config", config, "A"]):
        code, out, err = timed_run(s, *args)
        check(code == 2, f"{args}: exit {code}: {out}{err}")
        check(config + ":2: an element with more than 256 attributes" in err and "minutes" in err, f"{args}: {err}")
        check("CLASS" not in out and "Package" not in out, f"{args}: {out}")


def test_configs_with_many_entities_are_checked_in_linear_time(s):
    # Each value was searched for each declared entity, and each entity's
    # name read on to the next blank (25 s and minutes).
    many = 30000
    cases = [
        ("entities.xml", '<?xml version="1.0"?>\n<!DOCTYPE Wired [' +
         "".join(f'<!ENTITY e{i} "x">' for i in range(many)) + ']>\n<Wired><Package code="a&e5;b&e5;"/>' +
         "".join(f'<Package code="c{i}"/>' for i in range(many)) + "</Wired>", 1, "holds &e5; as written"),
        ("unnamed.xml", "<!DOCTYPE Wired [" + "<!ENTITY" * 200000 + "]>\n<Wired/>", 0, "0 of 0 entries take effect"),
    ]
    for name, text, code, phrase in cases:
        config = s.tool.arg(s.write("hostile/" + name, text))
        got, out, err = timed_run(s, "check", config)
        check(got == code and phrase in out, f"{name}: exit {got}: {out[:300]}{err}")
        check(out.count("holds &e5;") <= 1, f"{name}: {out[:300]}")


def test_a_config_of_a_million_entries_is_checked_whole(s):
    # Its report of 290 MB was held whole, and in three more forms, before
    # it was shown: more than a 32-bit process could hold.
    entries = 1500000
    config = s.write("hostile/big/config.xml", "<Wired>\n" + "".join(
        f'<Package code="com.p{i}" leader="T"/>\n' for i in range(entries)) + "</Wired>\n")
    command = ([s.tool.wine] if s.tool.wine else []) + [s.tool.exe, "check", s.tool.arg(config)]
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        # Its point is memory: a big file, and under Wine 7 s of CPU alone.
        start = cpu_seconds()
        done = subprocess.run(command, stdout=out, stderr=err, timeout=120)
        check(cpu_seconds() - start < 3 * SECONDS, f"check of a big config: {cpu_seconds() - start:.1f} s of CPU")
        size = out.seek(0, os.SEEK_END)
        out.seek(max(0, size - 200))
        err.seek(0)
        end, errors = out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace")
    check(done.returncode == 0, f"exit {done.returncode}: {errors}")
    check(end.replace("\r\n", "\n").endswith(f"{entries} of {entries} entries take effect.\n"), end)
    check(size > 250000000, f"a report of {size} bytes")
    os.remove(config)


HOSTILE_CASES = [test_hostile_files_are_refused_naming_the_limit, test_deep_and_wide_models_are_read_in_linear_time,
                 test_a_config_the_plugin_would_take_minutes_over_is_refused,
                 test_configs_with_many_entities_are_checked_in_linear_time,
                 test_a_config_of_a_million_entries_is_checked_whole]
