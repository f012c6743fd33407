"""End-to-end cases of wired-host run on models that modelling tools export,
through the real plug-in (the Windows build under Wine). wired_host_test.py
runs them as the group "models"; each takes the suite (tool, write, run_json).
"""
import os
import re

MODELS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "models")


def exported_models():
    """models/classes.tsv as [(file, [(package, class, outcome)])]: with no
    package codes and no leaders every named class is converted; without
    --tables every name is taken."""
    models = {}
    with open(os.path.join(MODELS, "classes.tsv"), encoding="utf-8") as table:
        for line in table:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            name, _, package, cls, duplicate = line.split("\t")
            outcome = "unnamed: not converted" if not cls else "set (duplicate)" if duplicate else "set"
            models.setdefault(name, []).append((package, cls, outcome))
    return list(models.items())


EXPORTED = exported_models()


def check(condition, message=""):
    if not condition:
        raise AssertionError(message)


def equal(actual, expected, what=""):
    if actual != expected:
        raise AssertionError(f"{what}\n  expected: {expected!r}\n  actual:   {actual!r}")


def model(s, name):
    return s.tool.arg(os.path.join(MODELS, name))


def empty_config(s):
    return s.tool.arg(s.write("models/config.xml", "<Wired/>"))


def test_exported_models_of_every_format(s):
    config = empty_config(s)
    for name, expected in EXPORTED:
        report = s.run_json(model(s, name), "--config", config)
        equal([(c["package"], c["class"], c["outcome"]) for c in report["classes"]], expected, name)
        for c in report["classes"]:
            named = c["outcome"] != "unnamed: not converted"
            check((c["table"] is not None) == named, f"{name}: {c}")


def test_unnamed_and_duplicates_in_the_table(s):
    code, out, err = s.tool.run("run", model(s, "papyrus.uml"), "--config", empty_config(s))
    equal(code, 0, err)
    check(re.search(r"^Model: .*papyrus\.uml \(XMI 2, UML 2\), 9 classes$", out, re.M), out)
    check("Tables: every table name is taken" in out, out)
    rows = [re.split(r"\s{2,}", line.strip()) for line in out.split("\n")]
    check(["(unnamed)", "com.shop.core", "-", "unnamed: not converted"] in rows, out)
    check(["Customer", "com.shop.core", "Customer", "set (duplicate)"] in rows, out)
    # The plug-in never saw the unnamed class: one record per named class.
    equal(len([line for line in out.split("\n") if line.startswith("log ")]), 8, out)
    code, _, err = s.tool.run("run", "--strict", model(s, "papyrus.uml"), "--config", empty_config(s))
    equal(code, 1, f"an unnamed class has no table; {err}")


def test_tables_file_decides_which_tables_exist(s):
    config = s.tool.arg(s.write("models/leader.xml",
                                '<Wired><Leader code="Shop"/><Link class="Customer" table="customer"/></Wired>'))
    sql = s.write("models/tables.sql", """-- the shop's database
CREATE TABLE order_item (id INT);
CREATE TABLE "Customer" (id INT);
create table if not exists shop.[Typed_List] (id int);
""")
    report = s.run_json("--tables", s.tool.arg(sql), model(s, "papyrus.uml"), "--config", config)
    outcomes = {(c["class"], c["outcome"]) for c in report["classes"]}
    # Unquoted names match in any case, quoted ones exactly.
    check(("OrderItem", "set") in outcomes, outcomes)
    check(("Customer", "set (duplicate)") in outcomes, outcomes)
    check(("TypedList", "set") in outcomes, outcomes)
    check(("Line", "table not found") in outcomes, outcomes)
    # A link needs the class in the model and the table: "customer" is not "Customer".
    equal([(l["class"], l["table"], l["outcome"]) for l in report["links"]], [("Customer", "customer", "failed")])

    names = s.write("models/tables.txt", "Line\r\nParty\n\n")
    report = s.run_json("--tables", s.tool.arg(names), model(s, "papyrus.uml"), "--config", config)
    equal([(c["class"], c["outcome"]) for c in report["classes"] if c["class"] in ("Line", "Party", "OrderItem")],
          [("OrderItem", "table not found"), ("Line", "set"), ("Party", "set")], "one name a line")
    code, out, err = s.tool.run("run", "--tables", s.tool.arg(os.path.join(s.work, "none.sql")),
                                model(s, "papyrus.uml"))
    equal((code, out), (2, ""), err)
    check("cannot open the tables file" in err, err)


def test_files_in_no_known_format_are_refused(s):
    cases = [
        (model(s, "ecore.xmi"), "an XMI 2.0 file without UML: it holds ecore:EPackage"),
        (s.tool.arg(s.write("models/notes.txt", "shopping list\n")), "no model format wired-host knows"),
        (s.tool.arg(s.write("models/data.json", '{"rows": []}')), "not a StarUML project"),
    ]
    for path, message in cases:
        code, out, err = s.tool.run("run", path)
        equal(code, 2, f"{path}: {out}{err}")
        equal(out, "", path)
        check(message in err, f"{message!r} not in {err!r}")


def test_a_model_without_classes_says_so(s):
    uml = s.write("models/empty.uml", "<uml:Model xmlns:uml='http://www.eclipse.org/uml2/5.0.0/UML' name='m'>"
                                      "<packagedElement xmi:type='uml:Package' name='p'/></uml:Model>")
    code, out, err = s.tool.run("run", s.tool.arg(uml), "--config", empty_config(s))
    equal(code, 0, err)
    check("(the model has no classes)" in out, out)
    report = s.run_json(s.tool.arg(uml), "--config", empty_config(s))
    equal(report["classes"], [])


MODEL_CASES = [test_exported_models_of_every_format, test_unnamed_and_duplicates_in_the_table,
               test_tables_file_decides_which_tables_exist, test_files_in_no_known_format_are_refused,
               test_a_model_without_classes_says_so]
