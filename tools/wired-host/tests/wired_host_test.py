#!/usr/bin/env python3
"""End-to-end tests of wired-host with the real plug-in.

Runs the built tool (natively, or the Windows build under Wine) against the
real plug-in library and checks what it prints. One group per CTest test:
  run    the run and names commands, their options and bad model files, the
         private copy of the plug-in (private_copy_cases.py)
  check  the check command on configs with each kind of problem
  models run on models that modelling tools export (model_cases.py)
  explain  names --explain, run --explain, JSON of names and check, saved
           mappings (explain_cases.py)
  which  the which command on images made in the test (which_cases.py)
  which_self  the which command on the tool's own executable only
  hostile run on damaged, bomb, deep and wide model files (hostile_cases.py)
  text   paths outside the code page, hostile names and files (text_cases.py)
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import traceback

from explain_cases import EXPLAIN_CASES
from hostile_cases import HOSTILE_CASES
from model_cases import MODEL_CASES, check, equal
from private_copy_cases import PRIVATE_COPY_CASES
from which_cases import WHICH_CASES, test_which_fits_the_tool_itself_to_its_own_plugin
from text_cases import TEXT_CASES

SHOP_MAPPING = [
    # class, package, table (None: no table asked for), outcome
    ("Customer", "com.shop.model", "Customer", "set"),
    ("ShopOrderItem", "com.shop.model", "Order_Item", "set"),
    ("TbPurchaseOrder", "com.shop.model", "Purchase_Order", "set"),
    ("ShopCart", "com.shop.model", "Cart", "table not found"),
    ("InvoiceLine", "com.shop.billing", "Invoice_Line", "set"),
    ("CheckoutPage", "com.shop.web", None, "skipped by the package filter"),
]

SHOP_LOG = [
    ("Wired is set.", "Customer", "wiredClsTab\\KavriConfig", 102),
    ("Voucher", "VOUCHER", "wiredClsTab\\KavriConfig", 103),
    ("Table is set.", "Customer", "wiredClsTab\\KavriWired", 92),
    ("Table is set.", "Order_Item", "wiredClsTab\\KavriWired", 92),
    ("Table is set.", "Purchase_Order", "wiredClsTab\\KavriWired", 92),
    ("Table is not found.", "Cart", "wiredClsTab\\KavriWired", 93),
    ("Table is set.", "Invoice_Line", "wiredClsTab\\KavriWired", 92),
]

SHOP_LINKS = [("Customer", "CUSTOMER_MASTER", 1, "set"), ("Voucher", "VOUCHER", -1, "failed")]


class Tool:
    """The wired-host program, started natively or under Wine."""

    def __init__(self, exe, wine):
        self.exe = exe
        self.wine = wine
        # 64-bit programs run in a prefix of their own (scripts/wine64.sh).
        if wine and os.path.basename(wine) == "wine64.sh":
            self.prefix = os.environ.get("WIREDCLSTAB_WINEPREFIX64", os.path.expanduser("~/.wine64"))
        else:
            self.prefix = os.environ.get("WINEPREFIX", os.path.expanduser("~/.wine"))
        server = shutil.which("wineserver")
        if wine and server:
            # A server that outlives each program by 30 s spares every start
            # the server's own start-up; it ends by itself.
            subprocess.run([server, "-p30"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60,
                           env=dict(os.environ, WINEPREFIX=self.prefix))

    def arg(self, path):
        """A file path as the program expects it."""
        path = os.path.abspath(path)
        return "Z:" + path.replace("/", "\\") if self.wine else path

    def local(self, path):
        """A path the program printed, as a path of this machine."""
        if not self.wine:
            return path
        drive, rest = path[0].upper(), path[2:].replace("\\", "/")
        if drive == "Z":
            return rest
        return os.path.join(self.prefix, "drive_" + drive.lower()) + rest

    def run(self, *args, locale=None):
        """Runs the program; locale (as zh_CN.UTF-8) sets its LANG, which
        under Wine chooses the ANSI code page."""
        command = ([self.wine] if self.wine else []) + [self.exe] + list(args)
        env = dict(os.environ, LANG=locale, LC_ALL=locale) if locale else None
        code, out, err = self._start(command, env)
        lost_server = err.startswith("wine client error:")
        if self.wine and code != 0 and ((not out and not err) or lost_server):
            # wired-host never fails without saying why, so a silent failure
            # is Wine's (seen, rarely, as exit 1 with nothing printed while
            # other tests shared the Wine server), and so is a client that
            # lost its server ("wine client error:0: recvmsg: Connection
            # reset by peer", seen once as the server ended). One more start
            # tells the two apart: a fault of the program fails again.
            why = "lost its Wine server" if lost_server else "ended with no output"
            print(f"note: {os.path.basename(self.exe)} {' '.join(args)} {why} (exit {code}); starting it once more")
            code, out, err = self._start(command, env)
        return code, out, err

    @staticmethod
    def _start(command, env):
        # Files, not pipes: Wine's helper processes inherit the program's
        # handles and would hold a pipe open for seconds after it ends.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run(command, stdout=out, stderr=err, timeout=120, env=env)
            out.seek(0)
            err.seek(0)
            decode = lambda b: b.decode("utf-8", "surrogateescape").replace("\r\n", "\n")
            return done.returncode, decode(out.read()), decode(err.read())


class Suite:
    def __init__(self, tool, plugin, examples, work, other_plugin=None):
        self.tool, self.plugin, self.examples, self.work = tool, plugin, examples, work
        # A converter that names tables otherwise, where the build made one.
        self.other_plugin = other_plugin
        self.passed, self.failed = 0, 0

    def write(self, name, text, encoding="utf-8"):
        path = os.path.join(self.work, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(text.encode(encoding) if isinstance(text, str) else text)
        return path

    def shop(self, name):
        return self.tool.arg(os.path.join(self.examples, "shop", name))

    def plugin_copy(self, folder, config=None):
        """A copy of the plug-in in a folder of its own, with config beside it."""
        target = os.path.join(self.work, folder)
        os.makedirs(target, exist_ok=True)
        copy = os.path.join(target, os.path.basename(self.plugin))
        shutil.copyfile(self.plugin, copy)
        if config is not None:
            self.write(os.path.join(folder, "config.xml"), config)
        return copy

    def run_json(self, *args):
        code, out, err = self.tool.run("run", "--format", "json", *args)
        check(code == 0, f"exit {code}, stderr: {err}")
        return json.loads(out)

    def case(self, function):
        try:
            function(self)
            self.passed += 1
            print(f"PASS {function.__name__}")
        except Exception:
            self.failed += 1
            print(f"FAIL {function.__name__}")
            traceback.print_exc(file=sys.stdout)


def classes_of(report):
    return [(c["class"], c["package"], c["table"], c["outcome"]) for c in report["classes"]]


def table_rows(out):
    """The rows of the printed mapping table, split into columns."""
    lines = out.split("\n")
    start = next(i for i, line in enumerate(lines) if line.startswith("CLASS"))
    rows = []
    for line in lines[start + 1:]:
        if not line.strip():
            break
        rows.append(tuple(re.split(r"\s{2,}", line.strip())))
    return rows


# ---- run ---------------------------------------------------------------

def test_run_shop_prints_the_mapping_and_log(s):
    code, out, err = s.tool.run("run", s.shop("model.xml"), "--config", s.shop("config.xml"))
    equal(code, 0, f"exit code; stderr: {err}")
    expected = [(c, p, t if t else "-", o) for c, p, t, o in SHOP_MAPPING]
    equal(table_rows(out), expected, "table")
    logs = [line for line in out.split("\n") if line.startswith("log ")]
    equal(logs, [f'log {f}:{n} "{m}" "{d}"' for m, d, f, n in SHOP_LOG], "log lines in order of arrival")
    check("  Customer -> CUSTOMER_MASTER  set" in out, out)
    check("  Voucher -> VOUCHER  failed" in out, out)


def test_run_shop_json_has_the_same_mapping(s):
    report = s.run_json(s.shop("model.xml"), "--config", s.shop("config.xml"))
    equal(classes_of(report), SHOP_MAPPING, "classes")
    equal([(r["message"], r["detail"], r["file"], r["line"]) for r in report["log"]], SHOP_LOG, "log")
    equal([(l["class"], l["table"], l["answer"], l["outcome"]) for l in report["links"]], SHOP_LINKS, "links")
    equal(report["warnings"], [], "warnings")
    equal(report["language"], "English")
    # The files the user named, not the private copy the plug-in ran from.
    equal(os.path.realpath(s.tool.local(report["plugin"])), os.path.realpath(s.plugin), "plugin")
    equal(s.tool.local(report["config"]), s.tool.local(s.shop("config.xml")), "config")


def test_non_ascii_names_keep_their_characters_and_columns(s):
    model = s.write("accents/model.xml", """<?xml version="1.0" encoding="UTF-8"?>
        <Model><Table name="Größe_Tabelle"/><Package name="lager">
        <Class name="GrößeTabelle"/><Class name="OrderItem"/></Package></Model>""")
    report = s.run_json(s.tool.arg(model), "--config", s.shop("config.xml"))
    equal(classes_of(report)[0], ("GrößeTabelle", "lager", None, "skipped by the package filter"))
    code, out, err = s.tool.run("run", s.tool.arg(model), "--config", s.tool.arg(s.write("accents/c.xml", "<Wired/>")))
    equal(code, 0, err)
    if not s.tool.wine:
        # Columns line up by characters, not by the bytes of UTF-8.
        rows = [line for line in out.split("\n") if line.startswith(("CLASS", "Größe", "OrderItem"))]
        equal(len({row.index("lager") if "lager" in row else row.index("PACKAGE") for row in rows}), 1, rows)


def test_strict_fails_only_when_a_class_has_no_table(s):
    code, _, err = s.tool.run("run", "--strict", s.shop("model.xml"), "--config", s.shop("config.xml"))
    equal(code, 1, f"shop has an unmapped class; stderr: {err}")
    model = s.write("mapped/model.xml", """<Model><Table name="Invoice_Line"/>
        <Package name="billing"><Class name="InvoiceLine"/></Package></Model>""")
    code, out, err = s.tool.run("run", "--strict", s.tool.arg(model), "--config", s.shop("config.xml"))
    equal(code, 0, f"every class mapped; {out}{err}")


def test_plugin_reads_config_beside_it_and_config_option_leaves_it_alone(s):
    beside = '<Wired><Leader code="Shop"/></Wired>'
    plugin = s.plugin_copy("installed", beside)
    report = s.run_json("--plugin", s.tool.arg(plugin), s.shop("model.xml"))
    equal(s.tool.local(report["config"]), os.path.join(os.path.dirname(plugin), "config.xml"))
    # No package codes: every class is named; the Shop leader is removed.
    equal(classes_of(report), [
        ("Customer", "com.shop.model", "Customer", "set"),
        ("ShopOrderItem", "com.shop.model", "Order_Item", "set"),
        ("TbPurchaseOrder", "com.shop.model", "Tb_Purchase_Order", "table not found"),
        ("ShopCart", "com.shop.model", "Cart", "table not found"),
        ("InvoiceLine", "com.shop.billing", "Invoice_Line", "set"),
        ("CheckoutPage", "com.shop.web", "Checkout_Page", "table not found"),
    ])
    other = s.write("other.xml", '<Wired><Package code="billing"/></Wired>')
    report = s.run_json("--plugin", s.tool.arg(plugin), "--config", s.tool.arg(other), s.shop("model.xml"))
    equal([c[3] for c in classes_of(report)], ["skipped by the package filter"] * 4 + ["set"] + [
        "skipped by the package filter"])
    with open(os.path.join(os.path.dirname(plugin), "config.xml")) as f:
        equal(f.read(), beside, "the installation's config.xml")
    equal(sorted(os.listdir(os.path.dirname(plugin))), sorted([os.path.basename(plugin), "config.xml"]))


def test_warning_boxes_are_reported_in_the_host_language(s):
    plugin = s.plugin_copy("bare")
    report = s.run_json("--plugin", s.tool.arg(plugin), "--language", "Chinese", s.shop("model.xml"))
    config = os.path.join(os.path.dirname(plugin), "config.xml")
    equal(len(report["warnings"]), 1, report["warnings"])
    caption = report["warnings"][0]["caption"]
    # The Windows plug-in shows GBK bytes, written back as \u00XX escapes.
    expected = "文件不存在".encode("gbk").decode("latin-1") if s.tool.wine else "文件不存在"
    equal(caption, expected, "caption")
    equal(s.tool.local(report["warnings"][0]["text"]), config, "text is the configuration path")
    # Without a configuration the converter names every class as it is.
    equal(report["classes"][1]["table"], "Shop_Order_Item")

    broken = s.write("broken.xml", "<Wired>\n<Package code='a'>\n</Wired>\n")
    code, out, err = s.tool.run("run", "--config", s.tool.arg(broken), s.shop("model.xml"))
    equal(code, 0, err)
    check(re.search(r'^warning box "File format error!": .*config\.xml$', out, re.M), out)


def test_bad_model_files_are_refused_with_file_and_line(s):
    cases = [
        # file content (None: no file), expected message part
        (None, ": cannot open the model file"),
        ("<Model>\n  <Package name='a'>\n  </Model>\n", ":2: malformed XML (XML_ERROR_MISMATCHED_ELEMENT)"),
        ("<Model>\n<Package name='a'>\n\n  <Class/>\n</Package>\n</Model>\n", ":4: Class has no name"),
        ("<Model>\n<Table/>\n</Model>\n", ":2: Table has no name"),
        ("<Model>\n<Package>\n</Package>\n</Model>\n", ":2: Package has no name"),
        ("<?xml version='1.0'?>\n<Wired/>\n", ":2: the root element is Wired: not a model wired-host knows"),
        ("<Model>\n<Package name='a'>\n<Table name='T'/>\n</Package>\n</Model>\n", ":3: unexpected element Table"),
        ("<Model>\n<Classes/>\n</Model>\n", ":2: unexpected element Classes"),
        ("", ": the file is empty"),
    ]
    for number, (content, message) in enumerate(cases):
        name = f"bad/model{number}.xml"
        path = s.write(name, content) if content is not None else os.path.join(s.work, name)
        code, out, err = s.tool.run("run", s.tool.arg(path), "--config", s.shop("config.xml"))
        equal(code, 2, f"case {number}: {err}")
        equal(out, "", f"case {number}: nothing on standard output")
        check(f"model{number}.xml{message}" in err, f"case {number}: {message!r} not in {err!r}")


def test_usage_errors_and_help(s):
    for args in (["run"], ["run", "a.xml", "b.xml"], ["run", "--format", "xml", "a.xml"], ["run", "--bogus", "a"],
                 ["run", "--config"], ["run", "--target", "oracle", "--target=db2", "a.xml"], ["check"], ["names"],
                 ["frobnicate"], [],
                 # An empty value is an unset variable, not "not given";
                 # a single dash is a mistyped option.
                 ["run", "a.xml", "--compare-mapping", ""], ["run", "a.xml", "--save-mapping="],
                 ["run", "a.xml", "--config", ""], ["run", "a.xml", "-x"], ["check", "-x"],
                 ["check", "--codepage", "bogus", "a.xml"],
                 # No host runs in a UTF-16 or UTF-7 code page; an empty
                 # name is no file.
                 ["check", "--codepage", "UTF-16LE", "a.xml"], ["check", "--codepage", "65000", "a.xml"],
                 ["run", ""], ["check", ""]):
        code, out, err = s.tool.run(*args)
        equal(code, 2, f"{args}: {out}{err}")
        check(err.strip(), f"{args}: no message on standard error")
        equal(out, "", f"{args}: nothing on standard output")
    # A mapping that could not be saved is said before the run, not after.
    code, out, err = s.tool.run("run", s.shop("model.xml"), "--config", s.shop("config.xml"), "--save-mapping",
                                s.tool.arg(os.path.join(s.work, "no", "m.tsv")))
    check(code == 2 and out == "" and "cannot save the mapping there: no folder" in err, f"{code} {out}{err}")
    for command in ("run", "check", "names"):
        code, out, err = s.tool.run(command, "--help")
        equal(code, 0, err)
        check(out.startswith(f"Usage: wired-host {command}"), out)
        equal(err, "")
    for args in (["--help"], ["help"]):
        code, out, _ = s.tool.run(*args)
        check(code == 0 and all(c in out for c in ("run MODEL.xml", "check CONFIG.xml", "names CLASS")), out)
    code, out, _ = s.tool.run("help", "help")
    check(code == 0 and "help [COMMAND]" in out, out)
    code, out, _ = s.tool.run("help", "check")
    check(code == 0 and out.startswith("Usage: wired-host check"), out)
    code, out, err = s.tool.run("help", "bogus")
    check(code == 2 and out == "" and "bogus" in err, f"help bogus: {code} {out}{err}")


def test_a_file_that_is_not_the_plugin_is_refused(s):
    code, out, err = s.tool.run("run", "--plugin", s.shop("model.xml"), s.shop("model.xml"))
    equal(code, 2, out + err)
    check("model.xml" in err and "%1" not in err, err)
    code, _, err = s.tool.run("run", "--plugin", s.tool.arg(os.path.join(s.work, "nowhere.dll")), s.shop("model.xml"))
    equal(code, 2, err)
    check("no plug-in there" in err, err)


def test_a_plugin_of_another_flavour_is_refused_before_it_is_loaded(s):
    """Loaded, a plug-in of another C++ runtime answered "nothing done" for
    every class, exit 0. Small images stand for each flavour's plug-in:
    all but the tool's own flavour are refused by what they import."""
    if not s.tool.wine:
        return  # a Linux build loads only shared objects
    from pe_files import AMD64, I386, pe
    msvc = [("KERNEL32.dll", ["ExitProcess"]), ("MSVCP140.dll", ["?x@@YAXXZ"]), ("VCRUNTIME140.dll", ["memcpy"])]
    fakes = {
        "win32-msvc": pe(I386, msvc, dll=True),
        "win64-msvc": pe(AMD64, msvc, dll=True),
        "win32-mingw": pe(I386, [("libstdc++-6.dll", ["_ZdlPv"]), ("libgcc_s_dw2-1.dll", [7])], dll=True),
        "win64-mingw": pe(AMD64, [("libstdc++-6.dll", ["_ZdlPv"]), ("libgcc_s_seh-1.dll", [])], dll=True),
    }
    refused = []
    for flavour, image in fakes.items():
        plugin = s.tool.arg(s.write(f"flavours/{flavour}/wiredClsTab.dll", image))
        for command in (["run", "--plugin", plugin, s.shop("model.xml")], ["names", "--plugin", plugin, "a.B"]):
            code, out, err = s.tool.run(*command)
            check(code == 2 and "CLASS" not in out, f"{flavour}: exit {code}: {out}{err}")
            if f"the plug-in of the {flavour} flavour, and this wired-host is of the " in err:
                refused.append(flavour)
    equal(len(refused), 6, f"refused as of another flavour: {refused}")


def test_names_previews_with_filter_and_leaders(s):
    code, out, err = s.tool.run("names", "--config", s.shop("config.xml"), "com.shop.model.ShopOrderItem",
                                "com.shop.web.CheckoutPage", "billing.TbInvoiceLine", "OrderItem")
    equal(code, 0, err)
    equal([re.split(r"\s{2,}", line) for line in out.strip().split("\n")], [
        ["com.shop.model.ShopOrderItem", "Order_Item"],
        ["com.shop.web.CheckoutPage", "(skipped by the package filter)"],
        ["billing.TbInvoiceLine", "Invoice_Line"],
        ["OrderItem", "(skipped by the package filter)"],
    ])


def test_targets_find_every_kind_in_json(s):
    config = s.tool.arg(s.write("targets/config.xml",
                                '<Wired><Leader code="T"/><Link class="Customer" table="Order_Item"/></Wired>'))
    model = s.tool.arg(os.path.join(os.path.dirname(os.path.abspath(__file__)), "models", "findings.xml"))
    report = s.run_json(model, "--config", config, "--target", "postgresql,oracle11,sqlserver")
    every = ["oracle11", "postgresql", "sqlserver"]
    expected = {
        # class: {kind: [targets]}
        "Customer": {},
        "Order": {"reserved-word": every},
        "OrderItem": {"collision": every, "link-clash": [None]},
        "orderItem": {"collision": every},
        "Ticket": {"leader-splits-word": [None]},
        "CustomerLoyaltyAccountBalanceHistoryEntryForRegionalWarehouseNorth": {
            "too-long": ["oracle11", "postgresql"], "collision": ["postgresql"]},
        "CustomerLoyaltyAccountBalanceHistoryEntryForRegionalWarehouseSouth": {
            "too-long": ["oracle11", "postgresql"], "collision": ["postgresql"]},
        "Größe-Tabelle": {"needs-quoting": every},
        'Say"Hi\\': {"needs-quoting": every},
        "Line\tItem": {"needs-quoting": every},
    }
    got = {}
    for c in report["classes"]:
        kinds = {}
        for f in c["findings"]:
            equal(sorted(f), ["kind", "message", "target"], "keys of a finding")
            check(f["message"] and "\t" not in f["message"], f)
            kinds.setdefault(f["kind"], []).append(f["target"])
        got[c["class"]] = {k: sorted(v, key=str) for k, v in kinds.items()}
    equal(got, expected, "findings by class")
    link = report["links"][0]
    equal(sorted((f["kind"], f["target"]) for f in link["findings"]),
          [("collision", t) for t in every] + [("link-clash", None)], "the link's findings")
    equal(report["findings"], {"reserved-word": 3, "too-long": 4, "collision": 11, "needs-quoting": 9,
                               "leader-splits-word": 1, "link-clash": 2}, "counts by kind")
    check("the same table as Customer_Loyalty" in next(
        f["message"] for f in report["classes"][5]["findings"] if f["kind"] == "collision"), report["classes"][5])
    # Without targets only what holds on every database.
    report = s.run_json(model, "--config", config)
    equal({k: v for k, v in report["findings"].items() if v}, {"leader-splits-word": 1, "link-clash": 2})
    code, _, err = s.tool.run("run", "--strict", model, "--config", config, "--format", "json")
    equal(code, 1, f"--strict with findings; {err}")


def test_targets_count_double_byte_names_in_utf8(s):
    """In the Chinese code page a name of 11 characters is 22 bytes of GBK
    between host and plug-in, and 33 bytes of UTF-8 in the database."""
    name = "订单明细项目表格数据记录"[:11]
    model = s.tool.arg(s.write("gbk/model.xml", f'<?xml version="1.0" encoding="UTF-8"?>\n'
                                               f'<Model><Package name="p"><Class name="{name}"/></Package></Model>'))
    config = s.tool.arg(s.write("gbk/config.xml", "<Wired/>"))
    code, out, err = s.tool.run("run", "--format", "json", model, "--config", config, "--target",
                                "oracle11,sqlserver", locale="zh_CN.UTF-8")
    equal(code, 0, err)
    report = json.loads(out)
    equal(report["classes"][0]["table"], name, "the name, back in UTF-8")
    equal([(f["kind"], f["target"], f["message"]) for f in report["classes"][0]["findings"]],
          [("too-long", "oracle11", f"{name} is 33 bytes long, 3 bytes over the 30 bytes Oracle before 12.2 takes: "
                                    "creating the table fails")])


def test_targets_in_the_table_and_bad_targets(s):
    config = s.tool.arg(s.write("targets/plain.xml", "<Wired/>"))
    model = s.tool.arg(s.write("targets/model.xml", """<Model><Table name="Order"/><Table name="Line"/>
        <Package name="p"><Class name="Order"/><Class name="Line"/></Package></Model>"""))
    code, out, err = s.tool.run("run", model, "--config", config, "--target", "mysql")
    equal(code, 0, err)
    check(["Order", "p", "Order", "set", "[1 finding]"] in [re.split(r"\s{2,}", l.strip()) for l in out.split("\n")],
          out)
    check("\nFindings:\nreserved-word\n  Order (p) [mysql]: ORDER is a reserved word on MySQL" in out, out)
    equal(out.rstrip("\n").split("\n")[-1], "2 classes read, 2 tables set, 0 not found, 0 skipped by the package "
          "filter, 0 unnamed, 0 duplicates, 1 finding", "the summary line")
    # An explanation ends with its class's findings.
    code, out, err = s.tool.run("run", model, "--config", config, "--target", "mysql", "--explain")
    equal(code, 0, err)
    check(re.search(r"^p\.Order\n(  .*\n)*  finding   reserved-word on mysql: ORDER is a reserved word on MySQL", out,
                    re.M), out)
    check("p.Line\n" in out and "  finding" not in out[out.index("p.Line\n"):], out)
    for bad in ("oracle,bogus", "", "all,"):
        code, out, err = s.tool.run("run", model, "--config", config, "--target", bad)
        equal(code, 2, f"--target {bad!r}: {out}{err}")
        equal(out, "")
        check("the targets are oracle, oracle11, postgresql, mysql, mariadb, sqlserver, db2, sqlite, sql2016" in err,
              err)
    code, out, _ = s.tool.run("run", "--help")
    check("--target LIST" in out and "leader-splits-word" in out, out)


# ---- check -------------------------------------------------------------

PROBLEMS = """<?xml version="1.0"?>
<Wired version="2">
  <Package code="model"/>
  <package code="x"/>
  <Packages code="y"/>
  <Package name="n" code="z"/>
  <Package/>
  <Package Code="c"/>
  <Package code=""/>
  <Package code="model"/>
  <Leader code="T" note="n"/>
  <Link class="A"/>
  <Link table="B" class="A" extra="1"/>
  <Group>
    <Package code="ZZ"/>
  </Group>
  <Leader code="C"><Package code="Q"/></Leader>
  <Link Class="D" table="E"/>
</Wired>
"""


def test_check_accepts_the_shop_config(s):
    code, out, err = s.tool.run("check", s.shop("config.xml"))
    equal(code, 0, out + err)
    check("6 of 6 entries take effect." in out, out)
    check("Package codes: model, billing\n" in out and "Leader codes: Shop, Tb\n" in out, out)
    check("Links: Customer -> CUSTOMER_MASTER, Voucher -> VOUCHER\n" in out, out)


def test_check_explains_each_entry_with_its_line(s):
    path = s.write("problems/config.xml", PROBLEMS)
    code, out, err = s.tool.run("check", s.tool.arg(path))
    equal(code, 1, out + err)
    expected = [
        (2, r'note: attribute "version" of Wired is ignored'),
        (3, r'Package takes effect: package code "model"'),
        (4, r"package has no effect: unknown entry.*did you mean Package\? \(names are case-sensitive\)$"),
        (5, r"Packages has no effect: unknown entry, passed over; did you mean Package\?$"),
        (6, r"Package has no effect: code is not the first attribute \(name is\)"),
        (7, r"Package has no effect: no attribute"),
        (8, r"Package has no effect: the first attribute is Code; attribute names are case-sensitive"),
        (9, r"Package has no effect: empty code"),
        (10, r'Package has no effect: package code "model" is already given at line 3'),
        (11, r'Leader takes effect: leader code "T"'),
        (11, r'note: attribute "note" is ignored'),
        (12, r"Link has no effect: Link without table"),
        (13, r"Link takes effect: link A -> B"),
        (13, r'note: attribute "extra" is ignored'),
        (14, r"Group has no effect: unknown entry, passed over \(the entries are Package, Leader and Link\)"),
        (15, r"Package has no effect: nested inside Group at line 14"),
        (17, r'Leader takes effect: leader code "C"'),
        (17, r"Package has no effect: nested inside Leader at line 17"),
        (18, r"Link has no effect: Link without class"),
        (18, r"note: Class is not class"),
    ]
    for line, pattern in expected:
        where = "" if pattern.startswith("note: attribute \"version\"") else f":{line}"
        found = [l for l in out.split("\n") if re.search(r"config\.xml" + where + r": " + pattern, l)]
        check(found, f"line {line}: /{pattern}/ not in\n{out}")
    check("Package codes: model\n" in out, out)
    check("Leader codes: T, C\n" in out, out)
    check("Links: A -> B\n" in out, out)
    check("4 of 16 entries take effect." in out, out)


def test_check_agrees_with_what_the_plugin_does(s):
    """What check calls in effect is what the real plug-in does with the file."""
    config = s.write("agree/config.xml", PROBLEMS)
    code, out, _ = s.tool.run("check", s.tool.arg(config))
    codes = re.search(r"^Package codes: (.*)$", out, re.M).group(1).split(", ")
    leaders = re.search(r"^Leader codes: (.*)$", out, re.M).group(1).split(", ")
    packages = ["model", "x", "y", "z", "c", "ZZ", "Q"]
    model = "<Model>\n<Table name='A'/><Table name='B'/>\n" + "".join(
        f"<Package name='p'><Package name='{p}'><Class name='{p}Item'/></Package></Package>\n" for p in packages) + \
        "<Class name='A'/><Class name='TOrder'/><Class name='CLine'/>\n</Model>\n"
    model_path = s.write("agree/model.xml", model)
    report = s.run_json("--config", s.tool.arg(config), s.tool.arg(model_path))
    named = {c["package"].split(".")[-1] for c in report["classes"][:len(packages)] if c["table"] is not None}
    equal(sorted(named), sorted(codes), "packages that pass the filter")
    equal([(l["class"], l["table"]) for l in report["links"]], [("A", "B")], "links registered")
    # The classes without a package are filtered out; the leaders show in names.
    code, out, err = s.tool.run("names", "--config", s.tool.arg(config), "a.model.TOrder", "a.model.CLine",
                                "a.model.Line")
    equal(out.split(), ["a.model.TOrder", "Order", "a.model.CLine", "Line", "a.model.Line", "Line"], err)
    equal(leaders, ["T", "C"])


def test_check_warns_where_the_file_is_not_read_as_written(s):
    cases = [
        # file bytes, check options, exit code, expected text
        ('<Wired><Leader code="T"/></Wired>'.encode("utf-16"), [], 2, ":1: refused: the file is UTF-16"),
        ('<?xml version="1.0" encoding="UTF-8"?>\n<Wired>\n<Package code="模型"/>\n</Wired>\n'.encode("utf-8"),
         ["--codepage", "936"], 1, ':3: warning: the code "'),
        ('<?xml version="1.0" encoding="GBK"?>\n<Wired>\n<Package code="模型"/>\n</Wired>\n'.encode("gbk"),
         ["--codepage", "936"], 0, "1 of 1 entries take effect"),
        # Undeclared GBK: right for a host in 936 (shown in its letters in
        # JSON, below); bytes no UTF-8 host gives.
        ('<Wired>\n<Package code="模型"/>\n</Wired>\n'.encode("gbk"), ["--codepage", "936"], 0,
         "1 of 1 entries take effect"),
        ('<Wired>\n<Package code="模型"/>\n</Wired>\n'.encode("gbk"), ["--codepage", "UTF-8"], 1,
         "is not UTF-8, the host's code page"),
        (b'<!DOCTYPE Wired [\n<!ENTITY pfx "T">\n]>\n<Wired>\n<Leader code="&pfx;"/>\n</Wired>\n', [], 1,
         ":5: warning: the code holds &pfx; as written"),
    ]
    for number, (content, options, code, expected) in enumerate(cases):
        path = s.write(f"text/config{number}.xml", content)
        got, out, err = s.tool.run("check", *options, s.tool.arg(path))
        equal(got, code, f"case {number}: {out}{err}")
        check(expected in out, f"case {number}: {expected!r} not in {out!r}")
    # The codes as the host checked for reads them, not as this system would.
    got, out, err = s.tool.run("check", "--codepage", "936", "--format", "json",
                               s.tool.arg(os.path.join(s.work, "text", "config3.xml")))
    equal((got, json.loads(out)["packageCodes"]), (0, ["模型"]), err)


def test_check_refuses_what_the_plugin_refuses(s):
    cases = [
        # name, content (None: no file, "dir": a directory), line, reason, caption
        ("mismatched", "<Wired>\n<Package code='a'>\n</Wired>\n", 2,
         r"XML_ERROR_MISMATCHED_ELEMENT \(error 14\): XMLElement name=Package$",
         "File format error!"),
        ("empty", "", 0, r"XML_ERROR_EMPTY_DOCUMENT \(error 13\)", "XMLError:13"),
        ("twice", "<Wired>\n<Package code='a' code='b'/>\n</Wired>\n", 2, r"XML_ERROR_PARSING_ATTRIBUTE \(error 7\)",
         "XMLError:7"),
        ("foreign", "<Config/>\n<Wired/>\n", 1, r"the first element is Config, not Wired; the Wired at line 2 is not seen",
         "File is not an associated configuration!"),
        ("lower", "<?xml version='1.0'?>\n<wired/>\n", 2, r"the first element is wired, not Wired",
         "File is not an associated configuration!"),
        ("bare", "<?xml version='1.0'?>\n<!-- nothing -->\n", 0, r"the document holds no element",
         "File is not an associated configuration!"),
        ("missing", None, 0, r"no such file", "File does not exist"),
        ("folder", "dir", 0, r"XML_ERROR_FILE_NOT_FOUND \(error 3\): the file cannot be opened for reading", "File is not exits!"),
        ("utf32", b"\xff\xfe\0\0" + "<Wired/>".encode("utf-32-le"), 1, r"the file is UTF-32 \(little-endian\)",
         "XMLError:8"),
    ]
    if not s.tool.wine:
        # A pipe would wait for a writer for ever: it must not be opened.
        cases.append(("pipe", "fifo", 0, r"XML_ERROR_FILE_NOT_FOUND \(error 3\)", "File is not exits!"))
    for name, content, line, reason, caption in cases:
        path = os.path.join(s.work, "refused", name + ".xml")
        if content == "dir":
            os.makedirs(path)
        elif content == "fifo":
            os.makedirs(os.path.dirname(path), exist_ok=True)
            os.mkfifo(path)
        elif content is not None:
            s.write(os.path.join("refused", name + ".xml"), content)
        code, out, err = s.tool.run("check", s.tool.arg(path))
        equal(code, 2, f"{name}: {out}{err}")
        where = f"{name}\\.xml:{line}: " if line else f"{name}\\.xml: "
        check(re.search(where + "refused: " + reason, out, re.M), f"{name}: /{where}refused: {reason}/ not in {out!r}")
        check(f'shows the warning "{caption}"' in out, f"{name}: {out}")


GROUPS = {
    "run": [test_run_shop_prints_the_mapping_and_log, test_run_shop_json_has_the_same_mapping,
            test_strict_fails_only_when_a_class_has_no_table,
            test_plugin_reads_config_beside_it_and_config_option_leaves_it_alone,
            test_warning_boxes_are_reported_in_the_host_language, test_bad_model_files_are_refused_with_file_and_line,
            test_usage_errors_and_help, test_non_ascii_names_keep_their_characters_and_columns,
            test_a_file_that_is_not_the_plugin_is_refused,
            test_a_plugin_of_another_flavour_is_refused_before_it_is_loaded, test_names_previews_with_filter_and_leaders,
            test_targets_find_every_kind_in_json, test_targets_in_the_table_and_bad_targets,
            test_targets_count_double_byte_names_in_utf8] + PRIVATE_COPY_CASES,
    "check": [test_check_accepts_the_shop_config, test_check_explains_each_entry_with_its_line,
              test_check_agrees_with_what_the_plugin_does, test_check_refuses_what_the_plugin_refuses,
              test_check_warns_where_the_file_is_not_read_as_written],
    "models": MODEL_CASES,
    "explain": EXPLAIN_CASES,
    "which": WHICH_CASES,
    "which_self": [test_which_fits_the_tool_itself_to_its_own_plugin],
    "hostile": HOSTILE_CASES,
    "text": TEXT_CASES,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--tool", required=True, help="the wired-host program")
    parser.add_argument("--plugin", required=True, help="the plug-in library built with it")
    parser.add_argument("--examples", required=True, help="the examples folder")
    parser.add_argument("--wine", help="run the tool under this Wine")
    parser.add_argument("--other-plugin", help="a converter that names tables otherwise than the plug-in")
    parser.add_argument("group", choices=sorted(GROUPS))
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="wired-host-test-")
    try:
        suite = Suite(Tool(args.tool, args.wine), args.plugin, args.examples, work, args.other_plugin)
        for test in GROUPS[args.group]:
            suite.case(test)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{suite.passed} passed, {suite.failed} failed")
    return 0 if suite.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
