"""Cases of `names --explain`, `run --explain`, `--format json` for names and
check, and saved mappings (`run --save-mapping`, `--compare-mapping`).

Each case gets the suite (wired_host_test.Suite)."""
import json
import os
import re

from model_cases import check, equal

NAMING_CASES = os.path.join(os.path.dirname(__file__), "..", "..", "..", "tests", "support", "NamingCases.h")


def c_strings(text):
    """The C string literals of text, adjacent ones joined, as bytes."""
    literals = re.findall(r'"((?:[^"\\]|\\.)*)"(?:\s*)', text)
    return [bytes(l, "ascii").decode("unicode_escape").encode("latin-1") for l in literals]


def naming_cases():
    """tests/support/NamingCases.h as ({leaders: [(name, table)]}, {packages: [(path, passes)]})."""
    with open(NAMING_CASES) as f:
        source = f.read()
    names, packages = {}, {}
    for codes, rest in re.findall(r'^\s*\{\{([^}]*)\},\s*(.*)\},\s*$', source, re.M):
        key = tuple(c_strings(codes))
        if rest.endswith(("true", "false")):
            path = c_strings(rest)[0]
            packages.setdefault(key, []).append((path, rest.endswith("true")))
        else:
            # Adjacent literals ("\xB5" "aItem") are one string.
            parts = re.split(r'",\s*"', rest)
            name, table = (b"".join(c_strings('"' + p.strip('"') + '"')) for p in parts)
            names.setdefault(key, []).append((name, table))
    return names, packages


def config_with(s, folder, packages=(), leaders=()):
    entries = "".join(f'<Package code="{p.decode()}"/>' for p in packages) + \
        "".join(f'<Leader code="{l.decode()}"/>' for l in leaders)
    return s.tool.arg(s.write(f"{folder}/config.xml", f"<Wired>{entries}</Wired>"))


def names_json(s, config, classes):
    code, out, err = s.tool.run("names", "--explain", "--format", "json", "--config", config, *classes)
    equal(code, 0, f"the plug-in and its rule disagree: {err}")
    equal(err, "", "nothing on standard error")
    return json.loads(out)["classes"]


def test_the_explanation_agrees_with_the_plugin_on_every_naming_case(s):
    names, packages = naming_cases()
    check(len(names) >= 6 and len(packages) >= 4, "the naming cases were read")
    # Under Wine every start costs a second: there the biggest leader set and
    # package set, natively all of them.
    if s.tool.wine:
        names = {(): names[()]}
        packages = {(b"model",): packages[(b"model",)]}
    for number, (leaders, cases) in enumerate(sorted(names.items())):
        # A class without a name is not handed to the plug-in; bytes from
        # 0x80 up only natively, where arguments are bytes.
        cases = [(n, t) for n, t in cases if n and (n.isascii() or not s.tool.wine)]
        config = config_with(s, f"explain/leaders{number}", leaders=leaders)
        classes = names_json(s, config, [os.fsdecode(n) for n, _ in cases])
        for (name, table), got in zip(cases, classes):
            why = got["explanation"]
            check(why["agrees"], f"{leaders} {name}: {why}")
            if table.isascii():
                equal((got["table"], why["table"]), (table.decode(), table.decode()), f"{leaders} {name}")
            leader = next((i for i, l in enumerate(leaders) if name.startswith(l)), None)
            equal(why["leader"] and why["leader"]["index"], leader, f"{leaders} {name}: the leader removed")
            rest = name[len(leaders[leader]):] if leader is not None else name
            equal(len(why["underscores"]), len(table) - len(rest), f"{leaders} {name}: the underscores")
    for number, (codes, cases) in enumerate(sorted(packages.items())):
        config = config_with(s, f"explain/packages{number}", packages=codes)
        classes = names_json(s, config, [(p.decode() + "." if p else "") + "OrderItem" for p, _ in cases])
        for (path, passes), got in zip(cases, classes):
            why = got["explanation"]
            check(why["agrees"], f"{codes} {path}: {why}")
            equal(why["skipped"], not passes, f"{codes} {path}")
            matched = [c["result"] for c in why["packageCodes"]]
            equal("matches" in matched, passes, f"{codes} {path}: {matched}")


def test_names_explain_shows_each_step(s):
    code, out, err = s.tool.run("names", "--explain", "--config", s.shop("config.xml"),
                                "com.shop.model.ShopOrderItem", "com.shop.web.CheckoutPage", "Customer")
    equal(code, 0, err)
    blocks = out.strip().split("\n\n")
    equal(len(blocks), 3, out)
    equal(blocks[0].split("\n"), [
        "com.shop.model.ShopOrderItem",
        '  package   "com.shop.model" against the package codes in order:',
        '            1. "model" matches',
        '            2. "billing" not tested',
        '  leader    "Shop" (leader code 1 of 2) removed: "OrderItem"',
        '  seams     "Order_Item"',
        "                  ^ '_' inserted (1)",
        '  table     "Order_Item"',
        "  link      none",
        '  plug-in   "Order_Item" (set): the same',
    ])
    check('  skipped   no package code matches the end of the path: no table' in blocks[1], blocks[1])
    check('2. "billing" no match' in blocks[1], blocks[1])
    check('  link      "Customer" -> "CUSTOMER_MASTER", registered at creation: nothing done' in blocks[2], blocks[2])
    # With targets, the classes named are checked together: each
    # explanation ends with its findings, and they follow in full.
    code, out, err = s.tool.run("names", "--explain", "--target", "postgresql", "shop.OrderItem", "shop.orderItem",
                                "Group")
    equal(code, 0, err)
    blocks = out.strip().split("\n\n")
    check(blocks[0].endswith("  finding   collision on postgresql: the same table as order_Item (class orderItem "
                             "in shop) on PostgreSQL: unquoted names are folded to lower case"), blocks[0])
    check(blocks[2].endswith("  finding   reserved-word on postgresql: GROUP is a reserved word on PostgreSQL: "
                             "the table works only quoted"), blocks[2])
    check(blocks[3].startswith("Findings:\nreserved-word\n  Group [postgresql]") and "\ncollision\n" in blocks[3],
          blocks[3])
    code, out, err = s.tool.run("names", "--target", "sqlite", "--format", "json", "Order_Item", "ORDER_ITEM")
    equal(code, 0, err)
    equal(json.loads(out)["findings"]["collision"], 2)
    code, out, err = s.tool.run("names", "--target", "nosuchdb", "A")
    equal((code, out), (2, ""), err)
    check("the targets are oracle, oracle11, postgresql" in err, err)


def test_run_explain_and_json_for_any_name(s):
    model = s.write("odd/model.xml", """<Model><Package name="model">
        <Class name="Tab&#9;Quote&quot;Back\\slashCtl"/>
        <Class name="ShopOrderItem"/></Package></Model>""")
    code, out, err = s.tool.run("run", "--explain", "--format", "json", "--config", s.shop("config.xml"),
                                s.tool.arg(model))
    equal(code, 0, err)
    report = json.loads(out)
    equal([c["explanation"]["agrees"] for c in report["classes"]], [True, True])
    equal(report["classes"][1]["explanation"]["leader"], {"index": 0, "code": "Shop"})
    code, out, err = s.tool.run("run", "--explain", "--config", s.shop("config.xml"), s.tool.arg(model))
    equal(code, 0, err)
    check("\nWhy each class got its name:\n" in out, out)
    check('  plug-in   "Order_Item" (table not found): the same' in out, out)
    # names and check also speak JSON, whatever the names hold.
    code, out, err = s.tool.run("names", "--format", "json", "--config", s.shop("config.xml"), "model.A\"b\\c")
    equal((code, json.loads(out)["classes"][0]["table"]), (0, 'A"b\\c'), err)
    code, out, err = s.tool.run("check", "--format", "json", s.shop("config.xml"))
    report = json.loads(out)
    equal((code, report["accepted"], report["packageCodes"], report["leaderCodes"]),
          (0, True, ["model", "billing"], ["Shop", "Tb"]), err)
    equal(report["links"], [{"class": "Customer", "table": "CUSTOMER_MASTER"}, {"class": "Voucher", "table": "VOUCHER"}])
    if not s.tool.wine:
        code, out, err = s.tool.run("check", "--format", "xml", s.shop("config.xml"))
        equal(code, 2, err)


def test_a_plugin_that_names_otherwise_is_reported_loudly(s):
    """A converter of another make names OrderItem "ORDERITEM": the rule
    this wired-host explains gives "Order_Item", so the run says so on
    standard error and ends with 3; ORDERS has no seam, and there the two
    agree."""
    if s.other_plugin is None:
        return
    model = s.write("other/model.xml", """<Model><Package name="model">
        <Class name="OrderItem"/><Class name="ORDERS"/></Package></Model>""")
    code, out, err = s.tool.run("run", "--explain", "--format", "json", "--plugin", s.other_plugin,
                                s.tool.arg(model))
    equal(code, 3, err)
    check('the loaded plug-in named it "ORDERITEM" for model.OrderItem, but the naming rule of this '
          'wired-host gives "Order_Item"' in err, err)
    check("ORDERS" not in err, err)
    report = json.loads(out)
    equal([(c["table"], c["explanation"]["agrees"]) for c in report["classes"]],
          [("ORDERITEM", False), ("ORDERS", True)])
    code, out, err = s.tool.run("names", "--explain", "--plugin", s.other_plugin, "model.OrderItem")
    equal(code, 3, err)
    check('  plug-in   "ORDERITEM"' in out, out)
    # Without --explain nothing is compared: the names are the plug-in's.
    code, out, err = s.tool.run("names", "--plugin", s.other_plugin, "model.OrderItem")
    equal((code, out.split()), (0, ["model.OrderItem", "ORDERITEM"]), err)


def test_a_saved_mapping_catches_a_renamed_table(s):
    saved = os.path.join(s.work, "mapping", "shop.tsv")
    os.makedirs(os.path.dirname(saved), exist_ok=True)
    code, _, err = s.tool.run("run", "--config", s.shop("config.xml"), s.shop("model.xml"),
                              "--save-mapping", s.tool.arg(saved))
    equal(code, 0, err)
    with open(saved, "rb") as f:
        text = f.read()
    equal(text.decode("utf-8").split("\n"), [
        "package\tclass\ttable\toutcome",
        "com.shop.billing\tInvoiceLine\tInvoice_Line\tset",
        "com.shop.model\tCustomer\tCustomer\tset",
        "com.shop.model\tShopCart\tCart\ttable-not-found",
        "com.shop.model\tShopOrderItem\tOrder_Item\tset",
        "com.shop.model\tTbPurchaseOrder\tPurchase_Order\tset",
        "com.shop.web\tCheckoutPage\t\tskipped",
        "",
    ], "the saved mapping: sorted, LF line ends")
    code, out, err = s.tool.run("run", "--config", s.shop("config.xml"), s.shop("model.xml"),
                                "--compare-mapping", s.tool.arg(saved))
    equal(code, 0, err)
    check("Changes since " in out and ": none, its 6 classes as saved" in out, out)
    # An editor's byte-order mark neither stops the comparison nor the
    # saving over the file.
    with open(saved, "wb") as f:
        f.write(b"\xef\xbb\xbf" + text)
    code, out, err = s.tool.run("run", "--config", s.shop("config.xml"), s.shop("model.xml"),
                                "--compare-mapping", s.tool.arg(saved), "--save-mapping", s.tool.arg(saved))
    equal(code, 0, err)
    with open(saved, "rb") as f:
        equal(f.read(), text, "saved again without the mark")
    # A config without the Tb leader renames one table.
    config = s.write("mapping/config.xml", '<Wired><Package code="model"/><Package code="billing"/>'
                                           '<Leader code="Shop"/></Wired>')
    code, out, err = s.tool.run("run", "--config", s.tool.arg(config), s.shop("model.xml"),
                                "--compare-mapping", s.tool.arg(saved), "--format", "json")
    equal(code, 1, err)
    equal(json.loads(out)["changes"]["list"], [{
        "change": "changed", "package": "com.shop.model", "class": "TbPurchaseOrder",
        "before": {"table": "Purchase_Order", "outcome": "set"},
        "after": {"table": "Tb_Purchase_Order", "outcome": "table-not-found"}}])
    # Saved again, the file is the same to the byte; names with a tab or a
    # line end stay on their line.
    model = s.write("mapping/odd.xml", '<Model><Package name="a&#9;b"><Class name="x&#10;Y\\z"/></Package></Model>')
    odd = os.path.join(s.work, "mapping", "odd.tsv")
    code, _, err = s.tool.run("run", "--config", s.tool.arg(config), s.tool.arg(model), "--save-mapping",
                              s.tool.arg(odd), "--compare-mapping", s.tool.arg(saved))
    equal(code, 1, "the classes differ from the shop's: " + err)
    with open(odd, "rb") as f:
        equal(f.read(), b"package\tclass\ttable\toutcome\na\\tb\tx\\nY\\\\z\t\tskipped\n",
              "the same bytes on every platform")
    # Read back, its names are shown escaped, as the model's are.
    code, out, err = s.tool.run("run", "--config", s.tool.arg(config), s.shop("model.xml"),
                                "--compare-mapping", s.tool.arg(odd))
    equal(code, 1, err)
    check("  removed  a\\tb.x\\nY\\z  was no table (skipped)\n" in out, out)
    # A saved mapping is written over (above); the model given by mistake
    # is not.
    with open(model, "rb") as f:
        before = f.read()
    code, out, err = s.tool.run("run", "--config", s.tool.arg(config), s.tool.arg(model), "--save-mapping",
                                s.tool.arg(model))
    equal((code, out), (2, ""), err)
    check("holds something other than a saved mapping; not written over" in err, err)
    with open(model, "rb") as f:
        equal(f.read(), before, "the model is kept")


def test_a_file_that_is_not_a_saved_mapping_is_refused_with_its_line(s):
    cases = [
        # content, line, message part
        ("", 1, "the file is empty"),
        ("<Model/>\n", 1, "the first line is not the header"),
        ("package\tclass\ttable\toutcome\na\tB\tB\tset\na\tC\tC\n", 3, "3 fields separated by tabs, not 4"),
        ("package\tclass\ttable\toutcome\r\na\tB\tB\tset\r\na\tC\tC\tgone\r\n", 3, 'unknown outcome "gone"'),
        ("package\tclass\ttable\toutcome\na\tB\\q\tB\tset\n", 2, "unknown escape \\q"),
        (b"package\tclass\ttable\toutcome\na\tB\xff\tB\tset\n", 2, "not UTF-8 text"),
        ("package\tclass\ttable\toutcome\r\na\tB\tB\tset\r\n".encode("utf-16"), 1, "UTF-16 text"),
        (b"\xef\xbb\xbf", 1, "the file holds only a byte-order mark"),
        ("package\tclass\ttable\toutcome\ra\tB\tB\tset\r", 1, "its lines end in a lone CR"),
    ]
    # The reader is the same in every build: under Wine one case shows the
    # refusal reaches the user.
    if s.tool.wine:
        cases = cases[2:3]
    for number, (content, line, message) in enumerate(cases):
        path = s.write(f"badmap/m{number}.tsv", content)
        code, out, err = s.tool.run("run", "--config", s.shop("config.xml"), s.shop("model.xml"),
                                    "--compare-mapping", s.tool.arg(path))
        equal(code, 2, f"case {number}: {out}{err}")
        equal(out, "", f"case {number}: the run does not start")
        check(f"m{number}.tsv:{line}: " in err and message in err, f"case {number}: {err!r}")


EXPLAIN_CASES = [test_the_explanation_agrees_with_the_plugin_on_every_naming_case, test_names_explain_shows_each_step,
                 test_run_explain_and_json_for_any_name, test_a_plugin_that_names_otherwise_is_reported_loudly,
                 test_a_saved_mapping_catches_a_renamed_table,
                 test_a_file_that_is_not_a_saved_mapping_is_refused_with_its_line]
