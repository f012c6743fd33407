"""End-to-end cases of the private copy of the plug-in that run --config
loads: a stop asked for with Ctrl-C, or a reader that goes away, removes
it, and on Windows the copies that ended processes left behind are
removed by the next run.
wired_host_test.py runs them as part of the group "run".
"""
import glob
import os
import shutil
import signal
import subprocess
import time

from model_cases import check, equal

PREFIX = "wiredClsTab-"


def temporary_files(s):
    """Where the program makes its private folders, and the environment
    that puts them there: a folder of the test's own natively; under Wine
    the prefix's own, which Wine sets whatever the environment says."""
    if not s.tool.wine:
        folder = os.path.join(s.work, "tmp")
        os.makedirs(folder, exist_ok=True)
        return folder, dict(os.environ, TMPDIR=folder)
    found = glob.glob(os.path.join(s.tool.prefix, "drive_c", "users", "*", "Temp"))
    check(len(found) == 1, f"the Wine prefix's temporary files: {found}")
    return found[0], None


def ours(folder, config):
    """The private folders in folder whose config.xml holds config."""
    mine = []
    for name in os.listdir(folder):
        try:
            with open(os.path.join(folder, name, "config.xml"), encoding="utf-8") as f:
                if f.read() == config:
                    mine.append(name)
        except OSError:
            pass
    return mine


def test_a_stop_asked_for_removes_the_private_copy(s):
    # Enough classes that the run is still converting when the stop comes.
    model = s.write("stop/many.puml", "@startuml\n" + "".join(f"class C{i}\n" for i in range(600000)) + "@enduml\n")
    config = f"<Wired><!-- stop test {os.getpid()} {time.time()} --></Wired>"
    given = s.write("stop/config.xml", config)
    folder, env = temporary_files(s)
    command = ([s.tool.wine] if s.tool.wine else []) + [s.tool.exe, "run", s.tool.arg(model), "--config",
                                                        s.tool.arg(given)]
    with open(os.path.join(s.work, "stop", "out"), "wb") as out, open(os.path.join(s.work, "stop", "err"), "wb") as err:
        process = subprocess.Popen(command, stdout=out, stderr=err, env=env)
        try:
            deadline = time.time() + 60
            while not ours(folder, config) and process.poll() is None and time.time() < deadline:
                time.sleep(0.01)
            made = ours(folder, config)
            check(made, "no private folder was made")
            # Under Wine the signal reaches the program as Ctrl-C does.
            process.send_signal(signal.SIGINT)
            code = process.wait(timeout=60)
        finally:
            if process.poll() is None:
                process.kill()
    with open(os.path.join(s.work, "stop", "err"), encoding="utf-8", errors="replace") as f:
        said = f.read()
    equal(code, 130, f"exit code, stderr {said[-300:]!r}")
    check("wired-host: interrupted" in said, said[-300:])
    equal([name for name in made if os.path.exists(os.path.join(folder, name))], [], "private folders left")


def test_a_closed_output_stops_the_run_quietly(s):
    if s.tool.wine:
        return  # no SIGPIPE on Windows: writes fail, the run ends, exit 2
    model = s.write("pipe/many.puml", "@startuml\n" + "".join(f"class C{i}\n" for i in range(600000)) + "@enduml\n")
    given = s.write("pipe/config.xml", "<Wired/>")
    folder, env = temporary_files(s)
    before = set(os.listdir(folder))
    # As wired-host run ... | head -1 does: the reader takes a line and goes.
    with open(os.path.join(s.work, "pipe", "err"), "wb") as err:
        process = subprocess.Popen([s.tool.exe, "run", model, "--config", given], stdout=subprocess.PIPE, stderr=err,
                                   env=env)
        process.stdout.readline()
        process.stdout.close()
        code = process.wait(timeout=60)
    with open(os.path.join(s.work, "pipe", "err"), encoding="utf-8", errors="replace") as f:
        said = f.read()
    equal(code, 141, f"exit code, stderr {said[-300:]!r}")
    equal(said, "", "standard error")
    equal(sorted(set(os.listdir(folder)) - before), [], "private folders left")


def test_a_read_only_plugin_leaves_no_copy(s):
    # Its copy takes its attributes, which on Windows keep a file from
    # being deleted.
    plugin = s.plugin_copy("read-only")
    os.chmod(plugin, 0o444)
    given = s.write("read-only.xml", "<Wired/>")
    folder, env = temporary_files(s)
    before = set(os.listdir(folder))
    command = ([s.tool.wine] if s.tool.wine else []) + [s.tool.exe, "run", s.shop("model.xml"), "--plugin",
                                                        s.tool.arg(plugin), "--config", s.tool.arg(given)]
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env, timeout=120)
    equal(done.returncode, 0, done.stderr)
    # Other tests may make private folders meanwhile; this one's holds a
    # read-only file.
    def read_only(path):
        try:
            return any(not os.stat(os.path.join(path, f)).st_mode & 0o200 for f in os.listdir(path))
        except OSError:
            return False  # another's, gone meanwhile
    left = [name for name in set(os.listdir(folder)) - before
            if name.startswith(PREFIX) and read_only(os.path.join(folder, name))]
    equal(left, [], "private folders left")
    os.chmod(plugin, 0o644)


def test_folders_that_ended_processes_left_are_removed(s):
    if not s.tool.wine:
        return  # elsewhere a folder in use cannot be told from one left
    folder, _ = temporary_files(s)
    plugin_name = os.path.basename(s.plugin)
    stamp = str(os.getpid() * 1000 + int(time.time()) % 1000)
    old = time.time() - 3600

    def left(name, with_plugin, age):
        path = os.path.join(folder, name)
        os.makedirs(path, exist_ok=True)
        if with_plugin:
            shutil.copyfile(s.plugin, os.path.join(path, plugin_name))
        with open(os.path.join(path, "config.xml"), "w") as f:
            f.write("<Wired/>")
        # Wine gives a folder's time of last change as its creation time.
        os.utime(path, (age, age))
        return path

    cases = [
        (left(PREFIX + stamp + "1", True, old), False),   # left an hour ago: removed
        (left(PREFIX + stamp + "2", False, old), False),  # its copy never made: removed
        (left(PREFIX + stamp + "3", True, time.time()), True),  # just made: its process may load it yet
        (left(PREFIX + "kept" + stamp, True, old), True),  # not a name the program makes
    ]
    try:
        code, out, err = s.tool.run("run", s.shop("model.xml"), "--config", s.shop("config.xml"))
        equal(code, 0, err)
        for path, stays in cases:
            equal(os.path.exists(path), stays, os.path.basename(path))
    finally:
        for path, _ in cases:
            shutil.rmtree(path, ignore_errors=True)


PRIVATE_COPY_CASES = [test_a_stop_asked_for_removes_the_private_copy, test_a_closed_output_stops_the_run_quietly,
                      test_a_read_only_plugin_leaves_no_copy, test_folders_that_ended_processes_left_are_removed]
