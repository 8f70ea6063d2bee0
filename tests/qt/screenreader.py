"""Reads the real Quillmark window as a screen reader does, through the accessibility bus (AT-SPI), and acts in it
as its user would. Run on a virtual screen with a session bus of its own, by Debian's python3 with pyatspi:

    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 xvfb-run -a dbus-run-session -- /usr/bin/python3 screenreader.py exam PROGRAM
    ... screenreader.py key-list PROGRAM KEY

exam: the boxes' names, then a whole exam on the sample key (ACABD...): the score said, the right answers told.
key-list: the one window and no message; after 开始考试, 交卷 and 结果 the key list shows lines 2 to 34 of KEY.
Exits non-zero, saying what it heard instead, at the first thing that is not as a user must hear it.
"""
import subprocess
import sys
import time

import pyatspi


def has(node, state):
    return node.getState().contains(state)


def children(parent, role, state=pyatspi.STATE_SHOWING):
    return [c for c in parent if c is not None and c.getRole() == role and has(c, state)]


def child(parent, role, name, state=pyatspi.STATE_SHOWING):
    return next((c for c in children(parent, role, state) if c.name == name), None)


class Program:
    def __init__(self, path):
        self.path = path
        self.running = subprocess.Popen([path])

    def wait(self, what, find):
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            found = find()
            if found is not None and found != []:
                return found
            if self.running.poll() is not None:
                sys.exit(f"{what}: not heard, {self.path} ended with status {self.running.returncode}")
            time.sleep(0.05)
        sys.exit(f"{what}: not heard in 30 s")

    def window(self):
        find = lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                             if a is not None and a.get_process_id() == self.running.pid), None)
        application = self.wait("quillmark on the accessibility bus", find)
        shown = self.wait("its window", lambda: [c for c in application if has(c, pyatspi.STATE_SHOWING)])
        if len(shown) != 1 or shown[0].name != "QuillmarkV1.0" or shown[0].getRole() in (pyatspi.ROLE_DIALOG,
                                                                                       pyatspi.ROLE_ALERT):
            sys.exit(f"it shows {[(c.getRoleName(), c.name) for c in shown]}, not its one window and no message")
        return shown[0]

    def press(self, window, caption):
        self.wait(f"{caption}, enabled", lambda: child(window, pyatspi.ROLE_PUSH_BUTTON, caption,
                                                      pyatspi.STATE_SENSITIVE)).queryAction().doAction(0)

    def end(self):
        self.running.terminate()
        self.running.wait()


def expect(what, heard, expected):
    if heard != expected:
        sys.exit(f"{what}: heard {heard!r}, expected {expected!r}")


def exam(program):
    window = program.window()
    boxes = lambda: children(window, pyatspi.ROLE_TEXT, pyatspi.STATE_SHOWING)
    named = {box.name for box in boxes()}
    for name in ("题目数", "时间         分钟 n", "得分"):
        expect(f"a box named {name!r}", name in named, True)
    count = next(box for box in boxes() if box.name == "题目数")
    count.queryEditableText().setTextContents("3")
    program.press(window, "准备做题")
    program.press(window, "开始考试")
    # ACABD: A right, B wrong, A right.
    for question, answer in ((1, "A"), (2, "B"), (3, "A")):
        box = program.wait(f"第 {question} 题", lambda: child(window, pyatspi.ROLE_TEXT, f"第 {question} 题"))
        box.queryEditableText().setTextContents(answer)
    program.press(window, "交卷")
    expect("descriptions before Results", [b.description for b in boxes() if b.name.startswith("第")], ["", "", ""])
    program.press(window, "结果")
    # Whatever alert comes, then its words: a wrong score is heard as itself, not as a silence.
    alerts = program.wait("an alert of the score", lambda: children(window, pyatspi.ROLE_ALERT))
    expect("the alerts' words", [alert.name for alert in alerts], ["得分 2"])
    expect("the answer boxes' descriptions", [(b.name, b.description) for b in boxes() if b.name.startswith("第")],
           [("第 1 题", "正确"), ("第 2 题", ""), ("第 3 题", "正确")])


def key_list(program, key):
    with open(key, encoding="utf-8") as file:
        expected = file.read().splitlines()[1:34]
    window = program.window()
    for caption in ("开始考试", "交卷", "结果"):
        program.press(window, caption)
    items = [item.name for item in program.wait("the key list", lambda: next(iter(children(window,
                                                                                       pyatspi.ROLE_LIST)), None))]
    expect(f"the key list (lines 2 to 34 of {key})", items, expected)


if __name__ == "__main__":
    command, path, *rest = sys.argv[1:]
    program = Program(path)
    try:
        exam(program) if command == "exam" else key_list(program, *rest)
    finally:
        program.end()
    print(f"{command}: heard as a user must hear it")
