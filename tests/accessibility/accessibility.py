#!/usr/bin/python3
"""Drives the built program as a screen reader sees it, through AT-SPI: finds controls by role
and name, selects and presses through AT-SPI's own interfaces, and fails on every focusable
control a screen reader could not name. Run by run-accessibility.sh, which gives it a virtual X
server, a window manager and a private accessibility bus.

usage: accessibility.py PROGRAM CLASS-FILE
"""
import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PROGRAM, CLASS_FILE = sys.argv[1], sys.argv[2]
failures = []


def fail(what):
    failures.append(what)
    print('FAIL:', what, flush=True)


def wait_for(condition, timeout=15.0):
    """The condition's first true value, or None after the timeout."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            value = condition()
        except Exception:  # an object went away while it was read
            value = None
        if value:
            return value
        time.sleep(0.2)
    return None


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(root, role, name=None, showing=False):
    """The first object of the role (and name) under root, or None; only one on the screen
    when asked."""
    for node in descendants(root):
        if node.getRoleName() == role and (name is None or node.name == name) \
                and (not showing or has(node, pyatspi.STATE_SHOWING)):
            return node
    return None


def has(node, state):
    return node.getState().contains(state)


def path_of(node):
    parts = []
    while node is not None and node.getRoleName() != 'application':
        parts.append(f'{node.getRoleName()} "{node.name}"')
        node = node.parent
    return ' / '.join(reversed(parts))


def label_of(node):
    """What a screen reader says for the control: its name, else the label it is labelled by."""
    if node.name.strip():
        return node.name
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                if relation.getTarget(i).name.strip():
                    return relation.getTarget(i).name
    return ''


def check_names(window, what):
    """Fails on every focusable control in the window without a name."""
    unnamed = [path_of(n) for n in descendants(window)
               if has(n, pyatspi.STATE_FOCUSABLE) and not label_of(n)]
    for path in unnamed:
        fail(f'{what}: focusable and unnamed: {path}')
    print(f'{what}: {sum(1 for _ in descendants(window))} objects walked, {len(unnamed)} unnamed', flush=True)


def press(node, opens_modal=False):
    """Presses a button or menu item through its first AT-SPI action. Qt answers an action
    that opens a modal dialog only once the dialog closes, so that call is left to time out."""
    try:
        node.queryAction().doAction(0)
    except GLib.Error:
        if not opens_modal:
            raise


def key(keys):
    subprocess.run(['xdotool', 'key', '--delay', '100', keys], check=True)


class Program:
    def __init__(self):
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
        self.process = subprocess.Popen([PROGRAM, CLASS_FILE], env=env)
        self.app = wait_for(self.find_app, 30)
        if self.app is None:
            self.end()
            raise SystemExit('the program did not show up on the accessibility bus')
        self.main = wait_for(lambda: find(self.app, 'frame', 'Quillmark 青禾书苑 v1.0'))

    def find_app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == 'qhsy' and app.get_process_id() == self.process.pid:
                return app
        return None

    def windows(self):
        return [self.app.getChildAtIndex(i) for i in range(self.app.childCount)
                if has(self.app.getChildAtIndex(i), pyatspi.STATE_SHOWING)]

    def menu_item(self, name):
        bar = find(self.main, 'menu bar')
        for node in descendants(bar):
            if node.getRoleName() == 'menu item' and node.name == name:
                return node
        raise LookupError(f'no menu item "{name}"')

    def end(self):
        self.process.kill()
        self.process.wait()


# The program's own dialogs and windows, by the command that opens them. Qt's file and font
# dialogs are Qt's own and not walked.
DIALOGS = ['查找和替换(F)...', '重命名当前学生(R)...', '删除当前学生(D)', '批量导入评语内容(L)...',
           '导入学生名单(D)...', '设置教师签名(S)...', '统计工作进度(T)...', '检查全班评语(K)...',
           '帮助主题(H)...', '关于(G)...']


def focused(program):
    """The control that has the keyboard (the innermost object marked focused), or None."""
    found = None
    for window in program.windows():
        for node in descendants(window):
            # Qt marks the current entry of every list focused; it counts while its list is.
            if has(node, pyatspi.STATE_FOCUSED) and (node.getRoleName() not in ('list item', 'table cell')
                                                     or has(node.parent, pyatspi.STATE_FOCUSED)):
                found = node
    return found


def focus_in(program, role, name):
    """Whether the named control, or a part of it (a text box's viewport), has the keyboard."""
    node = focused(program)
    while node is not None and node.getRoleName() != 'application':
        if node.getRoleName() == role and node.name == name:
            return True
        node = node.parent
    return False


def tab_to(program, role, name, most=12):
    """Presses Tab until the named control has the keyboard; False when it never does."""
    for _ in range(most):
        if focus_in(program, role, name):
            return True
        key('Tab')
    return False


def preview_shows_selected_student(program):
    """Selects a student in the student list and presses 打印预览, all through AT-SPI."""
    students = find(program.main, 'list', '学生列表')
    press(students.getChildAtIndex(2))  # its one action selects it
    wanted = students.getChildAtIndex(2).name
    press(find(program.main, 'push button', '打印预览'))
    panel = wait_for(lambda: find(program.main, 'panel', '打印预览', showing=True))
    box = panel and find(panel, 'combo box')
    if box is None or box.name != wanted:
        fail(f'the preview shows "{box and box.name}", not the selected "{wanted}"')
    page = find(program.main, 'image', '样张')
    if page is None or page.description != wanted:
        fail(f'the sample page is described as "{page and page.description}", not "{wanted}"')
    key('Escape')
    if not wait_for(lambda: find(program.main, 'panel', '打印预览', showing=True) is None):
        fail('Esc did not leave the print window')


def evening_by_keyboard(program, road):
    """Open, select a student, type, insert a stock comment, save, preview and print the
    current student, with keys alone; AT-SPI only watches."""
    key('ctrl+o')
    if not wait_for(lambda: len(program.windows()) > 1):
        return fail('Ctrl+O opened no dialog')
    subprocess.run(['xdotool', 'type', '--delay', '50', road], check=True)
    key('Return')
    if not wait_for(lambda: find(program.main, 'frame', '评语编辑窗口：' + os.path.basename(road))):
        return fail('the class was not opened from the keyboard')
    # Ctrl+Tab steps through the windows to a comment box.
    for _ in range(4):
        if any(focus_in(program, 'text', f'{n} 评语') for n in ('张三', '李四', '王五')):
            break
        key('ctrl+Tab')
    key('ctrl+Next')  # the second student
    if not wait_for(lambda: focus_in(program, 'text', '李四 评语')):
        return fail(f'Ctrl+PgDn did not reach 李四\'s comment: {path_of(focused(program))}')
    # Letters on the keyboard map: characters off it make xdotool remap keys while typing,
    # which a busy program can read with the wrong map.
    subprocess.run(['xdotool', 'type', '--delay', '80', 'Good'], check=True)
    # F6 goes on from the editor to the library.
    key('F6')
    if not wait_for(lambda: focus_in(program, 'frame', '评语资源库')):
        return fail(f'F6 did not reach the library: {path_of(focused(program))}')
    if not tab_to(program, 'list', '详细内容'):
        return fail(f'Tab never reached the stock comments: {path_of(focused(program))}')
    stock = next(n for n in descendants(find(program.main, 'list', '详细内容'))
                 if has(n, pyatspi.STATE_FOCUSED)).name
    # The list shows a stock comment's marks; what goes into the comment is the sentence alone.
    stock = re.sub(r'(〔[^〔〕]*〕)+$', '', stock)
    key('Return')
    key('ctrl+s')
    if not wait_for(lambda: 'Good' + stock in open(road, 'rb').read().decode('gb18030')):
        return fail('the typed text and the stock comment were not saved')
    key('alt+f')
    key('v')
    if not wait_for(lambda: find(program.main, 'panel', '打印预览', showing=True)):
        return fail('Alt+F, V opened no preview')
    if not tab_to(program, 'push button', '打印当前'):
        return fail(f'Tab never reached 打印当前: {path_of(focused(program))}')
    before = program.windows()
    key('space')
    told = wait_for(lambda: next((w for w in program.windows() if w not in before), None))
    # No printer here: the attempt is told, which is as far as the keys can go.
    if told is None or not any('打印机' in n.name for n in descendants(told)):
        return fail('打印当前 from the keyboard did not try to print')
    key('Return')
    key('Escape')


def ratings_by_keyboard(program):
    """The 评价表 with keys alone: the cell that has the keyboard reads as student, category and
    rating as it moves, and Tab reaches the draft preview, which reads as its text."""
    before = program.windows()
    press(program.menu_item('生成评语草稿(G)...'), opens_modal=True)
    dialog = wait_for(lambda: next((w for w in program.windows() if w not in before), None))
    if dialog is None:
        return fail('生成评语草稿 opened no window')
    key('Down')
    cell = wait_for(lambda: next((n for n in [focused(program)] if n is not None and n.getRoleName() == 'table cell'),
                                 None))
    parts = cell.name.split(' ') if cell is not None else []
    if len(parts) != 3 or parts[2] not in ('优秀', '良好', '后进', '未评价'):
        fail(f'the current cell reads "{cell and cell.name}", not student, category and rating')
    print(f'评价表: the current cell reads "{cell and cell.name}"', flush=True)
    for _ in range(3):
        key('Tab')
        node = focused(program)
        if node is not None and node.getRoleName() == 'label':
            if not node.name.strip():
                fail('the draft preview has the keyboard but reads as nothing')
            print(f'评价表: Tab reaches the preview, read as "{node.name}"', flush=True)
            break
    else:
        fail(f'Tab never reached the draft preview: {path_of(focused(program))}')
    key('Escape')
    if not wait_for(lambda: dialog not in program.windows(), 3):
        fail('Esc did not close the 评价表')


def check_tab_leaves(program, window, what):
    """Fails when the window has several controls but Tab never leaves the first (a text box
    that takes Tab as a character traps the keyboard)."""
    controls = [n for n in descendants(window) if has(n, pyatspi.STATE_FOCUSABLE) and has(n, pyatspi.STATE_SHOWING)
                and n.getRoleName() not in ('list item', 'table cell', 'label')]
    if len(controls) < 2:
        return
    reached = set()
    for _ in range(4):
        reached.add(path_of(focused(program)))
        key('Tab')
    if len(reached) < 2:
        fail(f'{what}: Tab does not leave {reached.pop()}')


def check_dialogs(program):
    for command in DIALOGS:
        before = program.windows()
        press(program.menu_item(command), opens_modal=True)
        dialog = wait_for(lambda: next((w for w in program.windows() if w not in before), None))
        if dialog is None:
            fail(f'{command} opened no window; showing: {[w.name for w in program.windows()]}')
            continue
        check_names(dialog, f'{command} → {dialog.getRoleName()} "{dialog.name}"')
        check_tab_leaves(program, dialog, command)
        for keys in ('Escape', 'alt+F4'):
            key(keys)
            if wait_for(lambda: dialog not in program.windows(), 3):
                break
        else:
            fail(f'{command}: the window did not close')


def dump(node, depth=0):
    state = ' F' if has(node, pyatspi.STATE_FOCUSABLE) else ''
    print('  ' * depth + f'{node.getRoleName()} "{node.name}" "{node.description}"{state}')
    for i in range(node.childCount):
        if node.getChildAtIndex(i) is not None:
            dump(node.getChildAtIndex(i), depth + 1)


def main():
    program = Program()
    try:
        if os.environ.get('QHSY_DUMP'):
            for window in program.windows():
                dump(window)
            return
        check_names(program.main, 'main window')
        for command, mode in [('打印设置(S)...', '页面设置'), ('打印预览(V)', '打印预览'), ('打印(P)...', '打印')]:
            press(program.menu_item(command))
            panel = wait_for(lambda: find(program.main, 'panel', mode, showing=True))
            if panel is None:
                fail(f'the print window did not open in mode {mode}')
                continue
            check_names(program.main, f'print window, {mode}')
            press(find(panel, 'push button', '退出'))
            wait_for(lambda: find(program.main, 'panel', mode, showing=True) is None)
        preview_shows_selected_student(program)
        evening_by_keyboard(program, os.path.join(os.path.dirname(CLASS_FILE), 'road.py'))
        ratings_by_keyboard(program)
        check_dialogs(program)
    finally:
        program.end()
    if failures:
        print(f'{len(failures)} failures')
        sys.exit(1)
    print('all checks passed')


main()
