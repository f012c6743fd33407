"""End-to-end cases of text in and out: paths outside the ANSI code page,
hostile names in the JSON and the table, files that are no files, and the
SQL of every dialect in --tables. wired_host_test.py runs them as the group
"text"; each takes the suite (tool, write, run_json).
"""
import json
import os
import shutil
import subprocess
import time

from model_cases import MODELS, check, equal


def outcomes(report):
    return [(c["class"], c["outcome"]) for c in report["classes"]]


def test_paths_outside_the_ansi_code_page(s):
    # Chinese letters and an emoji: neither is in an English system's code
    # page, so the narrow command line and fopen would lose them.
    for folder in ("模型 目录", "emoji 😀"):
        model = os.path.join(s.work, folder, "模型😀.xml")
        os.makedirs(os.path.dirname(model), exist_ok=True)
        shutil.copyfile(os.path.join(s.examples, "shop", "model.xml"), model)
        tables = s.write(os.path.join(folder, "表.sql"), "CREATE TABLE Customer (id int);\n")
        config = s.write(os.path.join(folder, "配置.xml"), '<Wired><Link class="Customer" table="Customer"/></Wired>')
        plugin = s.plugin_copy(os.path.join(folder, "插件"), "<Wired/>")

        report = s.run_json("--plugin", s.tool.arg(plugin), "--config", s.tool.arg(config),
                            "--tables", s.tool.arg(tables), s.tool.arg(model))
        equal(s.tool.local(report["plugin"]), plugin, folder)
        equal(s.tool.local(report["config"]), config, folder)
        equal([(l["class"], l["outcome"]) for l in report["links"]], [("Customer", "set")], folder)
        equal(outcomes(report)[0], ("Customer", "set"), folder)
        equal(outcomes(report)[1], ("ShopOrderItem", "table not found"), folder)
        # Loaded where it is: the plug-in names its own path in the ANSI
        # code page, which is its business; the host loads it all the same.
        code, out, err = s.tool.run("run", "--format", "json", "--plugin", s.tool.arg(plugin), s.tool.arg(model))
        equal(code, 0, err)
        equal(len(json.loads(out)["classes"]), 6, folder)


# Names a file may hold that no terminal or JSON reader must get raw: an
# escape sequence, a bell, line breaks, a NUL, lone surrogates (escaped, and
# as bytes), an overlong form, a code point above U+10FFFF.
HOSTILE_PROJECT = (b'{"_type": "Project", "ownedElements": [{"_type": "UMLModel", "ownedElements": [\n'
                   b'{"_type": "UMLClass", "name": "Esc\\u001b[2J\\u0007Bell\\r\\nLine"},\n'
                   b'{"_type": "UMLClass", "name": "Nul\\u0000Cut"},\n'
                   b'{"_type": "UMLClass", "name": "\\ud800\\u0041"},\n'
                   b'{"_type": "UMLClass", "name": "Low\\udc00"},\n'
                   b'{"_type": "UMLClass", "name": "Raw\xed\xa0\x80\xc0\x80\xf4\x90\x80\x80"}]}]}\n')


def test_hostile_names_give_valid_json_and_a_safe_table(s):
    model = s.tool.arg(s.write("hostile/names.mdj", HOSTILE_PROJECT))
    config = s.tool.arg(s.write("hostile/config.xml", "<Wired/>"))
    code, out, err = s.tool.run("run", "--format", "json", model, "--config", config)
    equal(code, 0, err)
    out.encode("utf-8")  # raises for any byte that was not well-formed UTF-8
    names = [c["class"] for c in json.loads(out)["classes"]]
    # The same on Windows, where the plug-in gets a question mark for each
    # U+FFFD (the ANSI code page lacks it) but the report names the class.
    bad = "\ufffd"
    equal(names, ["Esc\x1b[2J\x07Bell\r\nLine", "Nul\x00Cut", bad + "A", "Low" + bad, "Raw" + bad * 9])
    equal(json.loads(out)["classes"][1]["outcome"], "name holds a NUL: not converted")

    code, out, err = s.tool.run("run", model, "--config", config)
    equal(code, 0, err)
    for raw in ("\x1b", "\x07", "\r", "\x00"):
        check(raw not in out, f"{raw!r} reached the terminal: {out!r}")
    check("Esc\\x1B[2J\\x07Bell\\r\\nLine" in out, out)
    check("Nul\\x00Cut" in out and "name holds a NUL: not converted" in out, out)

    # A config's texts too, in check's report and in the explanations.
    odd = s.tool.arg(s.write("hostile/odd.xml", '<Wired><Package code="a&#27;[31m"/>'
                                                '<Link class="X" table="B&#10;C"/></Wired>'))
    code, out, err = s.tool.run("check", odd)
    equal(code, 0, err)
    check("\x1b" not in out and '"a\\x1B[31m"' in out and "X -> B\\nC" in out, out)
    if not s.tool.wine:  # the ANSI code page has no right-to-left override
        reversing = s.tool.arg(s.write("hostile/reversing.xml", '<Wired><Leader code="T&#x202E;"/></Wired>'))
        code, out, err = s.tool.run("check", reversing)
        equal(code, 0, err)
        check('"T\\u202E"' in out, out)
    code, out, err = s.tool.run("run", model, "--config", odd, "--explain")
    equal(code, 0, err)
    check("\x1b" not in out and '1. "a\\x1B[31m" no match' in out and "Esc\\x1B[2J" in out, out)


def test_what_is_no_regular_file_is_refused_at_once(s):
    cases = [(os.path.join(s.work, "folder.xmi"), "a folder, not")]
    os.makedirs(cases[0][0])
    if s.tool.wine:
        # Device names, in any folder and with any extension: a serial port
        # may never answer, and Wine gives them the attributes of a file.
        cases += [(name, "not a regular file") for name in ("COM1", "aux.puml", "NUL")]
    else:
        fifo = os.path.join(s.work, "pipe.xmi")
        os.mkfifo(fifo)
        cases += [(fifo, "not a regular file"), ("/dev/zero", "not a regular file")]
    for path, message in cases:
        code, out, err = s.tool.run("run", s.tool.arg(path))
        equal((code, out), (2, ""), f"{path}: {err}")
        check(message in err and "model file" in err, f"{path}: {err}")
        code, out, err = s.tool.run("run", "--tables", s.tool.arg(path), s.shop("model.xml"))
        equal((code, out), (2, ""), f"--tables {path}: {err}")
        check(message in err and "tables file" in err, f"--tables {path}: {err}")


def test_a_file_that_cannot_be_opened_is_said_why(s):
    # "no such file" was said for every file that could not be opened.
    loop = os.path.join(s.work, "loop", "a.xmi")
    os.makedirs(os.path.dirname(loop))
    os.symlink("b.xmi", loop)
    os.symlink("a.xmi", os.path.join(s.work, "loop", "b.xmi"))
    cases = [(os.path.join(s.work, "absent.xmi"), "no such file"), (loop, "too many levels of symbolic links")]
    if s.tool.wine:
        cases.append((os.path.join(s.work, "a<b.xmi"), "not a valid file name"))
    for path, reason in cases:
        for args, what in ((("run", s.tool.arg(path)), "model file"),
                           (("run", "--tables", s.tool.arg(path), s.shop("model.xml")), "tables file"),
                           (("run", "--config", s.tool.arg(path), s.shop("model.xml")), "config file"),
                           (("run", "--compare-mapping", s.tool.arg(path), s.shop("model.xml")), "mapping file")):
            code, out, err = s.tool.run(*args)
            equal(code, 2, f"{args}: {err}")
            check(f"cannot open the {what}: {reason}" in err, f"{args}: {err}")
        code, _, err = s.tool.run("which", s.tool.arg(path))
        check(code == 2 and reason in err, f"which {path}: {err}")


def test_an_empty_config_gets_the_plugins_own_verdict(s):
    empty = s.tool.arg(s.write("empty/config.xml", ""))
    code, out, err = s.tool.run("run", "--format", "json", "--config", empty, s.shop("model.xml"))
    equal(code, 0, err)
    report = json.loads(out)
    equal(len(report["warnings"]), 1, report["warnings"])
    equal(s.tool.local(report["warnings"][0]["text"]).endswith("config.xml"), True, report["warnings"])


def test_tables_in_sql_of_every_dialect_are_found(s):
    sql = s.write("dialects/tables.sql", r"""-- MySQL dump
INSERT INTO notes VALUES ('O\'Brien', "say \"hi\"");
CREATE TABLE `Order_Item` (id int);
-- PostgreSQL
COMMENT ON TABLE notes IS E'it\'s';
CREATE TABLE Line (id int);
CREATE FUNCTION f() RETURNS text AS $$ SELECT 'CREATE TABLE Customer ('; $$ LANGUAGE sql;
CREATE TABLE Party (id int);
DO $body$ BEGIN RAISE NOTICE 'it''s'; END $body$;
-- SQL Server
CREATE TABLE #staging (id int);
CREATE TABLE Request (id int);
""")
    report = s.run_json("--tables", s.tool.arg(sql), s.tool.arg(os.path.join(MODELS, "papyrus.uml")),
                        "--config", s.tool.arg(s.write("dialects/config.xml", "<Wired/>")))
    found = {name for name, outcome in outcomes(report) if outcome == "set"}
    equal(found, {"OrderItem", "Line", "Party", "Request"})


def test_format_signs_after_the_first_kilobytes_are_read(s):
    licence = "".join(f"' line {n} of a licence that runs on and on\n" for n in range(200))
    cases = [("late/model.puml", licence + "@startuml\npackage shop {\nclass Order\n}\n@enduml\n"),
             ("late/model.xmi", "\n" * 5000 + open(os.path.join(MODELS, "umbrello.xmi"), encoding="latin-1").read()),
             ("late/model.mdj", "\n" * 5000 + open(os.path.join(MODELS, "shop.mdj"), encoding="utf-8").read())]
    config = s.tool.arg(s.write("late/config.xml", "<Wired/>"))
    for name, text in cases:
        report = s.run_json(s.tool.arg(s.write(name, text, "latin-1" if name.endswith(".xmi") else "utf-8")),
                            "--config", config)
        check(report["classes"], f"{name}: no classes")


def test_names_the_host_code_page_lacks_are_warned_about(s):
    # An English Windows (code page 1252) has no Chinese letters: a host
    # there hands the plug-in '?' for them, and so does wired-host, saying so.
    # A long name is shown cut short.
    model = s.write("codepage/model.puml", "@startuml\npackage shop {\nclass 注文\nclass Order\nclass Café\n}\n"
                    "class " + "長" * 1000 + "\n@enduml\n")
    config = s.tool.arg(s.write("codepage/config.xml", "<Wired/>"))
    for command in (["run", s.tool.arg(model)], ["names", "shop.注文", "Order"]):
        code, out, err = s.tool.run(*command, "--config", config, locale="C.UTF-8")
        equal(code, 0, err)
        if s.tool.wine:
            many = command[0] == "run"
            check(("2 classes have names" if many else "1 class has a name") +
                  " with characters that the host's code page (windows-1252) lacks" in err, (out, err))
            check("(shop.\\u6CE8\\u6587" + (", " + "\\u9577" * 40 + "...)" if many else ")") in err, err)
        else:
            check("code page" not in err, err)
    # What reached the plug-in holds '?', but the report and the saved
    # mapping name the classes as the model does: a mapping saved on Linux
    # and one saved on Windows agree on which class is which.
    mapping = s.write("codepage/saved.tsv", "")
    code, out, err = s.tool.run("run", "--config", config, "--format", "json", "--save-mapping", s.tool.arg(mapping),
                                s.tool.arg(model), locale="C.UTF-8")
    equal(code, 0, err)
    table = "??" if s.tool.wine else "注文"
    equal([(c["package"], c["class"], c["table"]) for c in json.loads(out)["classes"] if c["package"] == "shop"],
          [("shop", "注文", table), ("shop", "Order", "Order"), ("shop", "Café", "Café")])
    with open(mapping, encoding="utf-8") as f:
        rows = [line.split("\t")[:3] for line in f.read().splitlines()[1:]]
    check(["shop", "注文", table] in rows and rows[0][:2] == ["", "長" * 1000], rows)
    code, out, err = s.tool.run("names", "--config", config, "--format", "json", "shop.注文", locale="C.UTF-8")
    equal(code, 0, err)
    equal([(c["package"], c["class"], c["table"]) for c in json.loads(out)["classes"]], [("shop", "注文", table)])


def test_a_report_to_the_null_device_takes_no_longer_than_to_a_file(s):
    # The Windows C runtimes take NUL (/dev/null under Wine) for a terminal
    # and write to it unbuffered: 5,000 classes took half a minute.
    model = s.write("null/model.puml", "@startuml\n" + "".join(f"class C{i}\n" for i in range(5000)) + "@enduml\n")
    command = ([s.tool.wine] if s.tool.wine else []) + [s.tool.exe, "run", s.tool.arg(model), "--config",
                                                          s.tool.arg(s.write("null/config.xml", "<Wired/>"))]
    started = time.monotonic()
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    spent = time.monotonic() - started
    equal(done.returncode, 0)
    check(spent < 8, f"{spent:.1f} s")


def test_a_report_that_cannot_be_written_is_a_failure(s):
    # A full disk: exit 2 and a word on standard error, not 0 with the
    # report lost.
    model = s.write("full/model.puml", "@startuml\n" + "".join(f"class C{i}\n" for i in range(2000)) + "@enduml\n")
    config = s.tool.arg(s.write("full/config.xml", "<Wired/>"))
    for args in (["run", s.tool.arg(model), "--config", config], ["check", config]):
        command = ([s.tool.wine] if s.tool.wine else []) + [s.tool.exe] + args
        with open("/dev/full", "wb") as full:
            done = subprocess.run(command, stdout=full, stderr=subprocess.PIPE, timeout=120)
        err = done.stderr.decode("utf-8", "replace")
        equal(done.returncode, 2, f"{args[0]}: {err}")
        check("cannot write to standard output" in err, err)


def test_a_tables_file_that_names_no_table_is_warned_about(s):
    for name, content in (("empty.txt", b""), ("blank.sql", b"\n  \r\n")):
        tables = s.tool.arg(s.write("no-tables/" + name, content))
        code, out, err = s.tool.run("run", "--tables", tables, s.shop("model.xml"), "--config", s.shop("config.xml"))
        equal(code, 0, err)
        check("names no table" in err and "table not found" in out, f"{name}: {err}")


def test_the_help_names_every_format_run_reads(s):
    code, out, err = s.tool.run("run", "--help")
    equal(code, 0, err)
    for name in ("XMI 2", "XMI 1.x", "XMI 1.0", "Dia diagram", "StarUML project", "PlantUML", "gzip", "zip", "tar",
                 "own small model file"):
        check(name in out, f"{name} not in {out}")
    check(max(len(line) for line in out.split("\n")) <= 80, out)


def test_one_long_name_does_not_widen_every_row(s):
    # 2,000 classes and one of 20,000 characters: padded to it, the table
    # would be 40 MB; a column stops at 64 characters and the long cell runs
    # into the next one, two blanks after it.
    long_name = "L" * 20000
    model = s.write("wide/model.puml", "@startuml\n" + "".join(f"class C{i}\n" for i in range(2000)) +
                    f"class {long_name}\n@enduml\n")
    config = s.tool.arg(s.write("wide/config.xml", "<Wired/>"))
    code, out, err = s.tool.run("run", s.tool.arg(model), "--config", config)
    equal(code, 0, err)
    check(len(out) < 1000000, f"{len(out)} characters of output")
    rows = {line.split()[0]: line for line in out.splitlines() if line.startswith(("C1999 ", long_name))}
    equal(rows[long_name], long_name + "  -" + " " * 8 + long_name + "  set", "the long row")
    check(rows["C1999"].startswith("C1999" + " " * 61 + "-"), rows["C1999"])


TEXT_CASES = [test_a_file_that_cannot_be_opened_is_said_why, test_one_long_name_does_not_widen_every_row, test_the_help_names_every_format_run_reads, test_a_report_to_the_null_device_takes_no_longer_than_to_a_file, test_names_the_host_code_page_lacks_are_warned_about, test_format_signs_after_the_first_kilobytes_are_read, test_paths_outside_the_ansi_code_page, test_hostile_names_give_valid_json_and_a_safe_table,
              test_what_is_no_regular_file_is_refused_at_once, test_an_empty_config_gets_the_plugins_own_verdict,
              test_tables_in_sql_of_every_dialect_are_found, test_a_report_that_cannot_be_written_is_a_failure,
              test_a_tables_file_that_names_no_table_is_warned_about]
