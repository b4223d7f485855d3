"""The start-up prompts and the input box, answered with real key presses."""

import socket
import threading
import time
import unittest

from harness import SCREEN_H, SCREEN_W, SessionTest, tearDownModule, text_bands  # noqa: F401

MONITOR_TITLE = "请输入监控编号"
OPACITY_TITLE = "请输入透明度"


class LoopbackTraffic:
    """A steady stream over 127.0.0.1: under Wine, interface 1 is the loopback one."""

    def __init__(self, bytes_per_second=300 * 1024):
        self.stopped = threading.Event()
        self.server = socket.socket()
        self.server.bind(("127.0.0.1", 0))
        self.server.listen(1)
        chunk = bytes(bytes_per_second // 10)

        def receive():
            connection, _ = self.server.accept()
            with connection:
                while connection.recv(65536):
                    pass

        def send():
            with socket.create_connection(self.server.getsockname()) as connection:
                while not self.stopped.is_set():
                    connection.sendall(chunk)
                    time.sleep(0.1)

        self.threads = [threading.Thread(target=f, daemon=True) for f in (receive, send)]
        for thread in self.threads:
            thread.start()

    def stop(self):
        self.stopped.set()
        for thread in self.threads:
            thread.join(timeout=5)
        self.server.close()


class PromptTest(SessionTest):
    # -- the box as the probe sees it ------------------------------------------
    def boxes(self):
        return [w for w in self.s.windows() if w["class"] == "#32770" and w["visible"]]

    def wait_box(self, title, other_than=None):
        """The visible box with this caption; with other_than, a box shown anew."""
        def found():
            matches = [b for b in self.boxes() if b["text"] == title and b["hwnd"] != other_than]
            return matches[0] if matches else None
        return self.s.wait_for(found, timeout=40, message=f"box {title}")

    def press(self, key):
        """A key press on the box, the pointer resting on it (see answer)."""
        box = self.boxes()[0]
        self.s.move_pointer(box["left"] + box["width"] // 2, box["top"] + box["height"] // 2)
        self.s.xdotool("key", key)

    def answer(self, typed):
        """Click into the edit line, select all of it, type, confirm with Enter.

        Without a window manager the X keyboard focus follows the pointer, so
        the pointer has to be on the box for the keys to reach the program."""
        edit = next(c for c in self.boxes()[0]["children"] if c["class"] == "Edit")
        self.s.click(edit["left"] + edit["width"] // 2, edit["top"] + edit["height"] // 2)
        self.s.xdotool("key", "End", "shift+Home")
        if typed:
            self.s.xdotool("type", "--delay", "60", "--", typed)
        self.s.xdotool("key", "Return")

    def bar_visible(self):
        return any(w["visible"] for w in self.s.program_windows("VexmoraBar"))

    def stored(self):
        return self.s.values() or {}

    def receive_text(self):
        bar = self.s.program_windows("VexmoraBar")[0]
        return next(c["text"] for c in bar["children"] if c["left"] - bar["left"] == 17)

    def open_menu_entry(self, bar, index):
        """Right press on the bar, then a left press on the menu's entry number index."""
        self.s.click(bar["left"] + 40, bar["top"] + 11, 3)
        menu = self.s.wait_for(lambda: next((b for b in self.s.program_windows("VexmoraBalloon") if b["visible"]),
                                            None), 20, message="the menu")
        time.sleep(0.6)  # drawn and faded in
        rows = self.s.pixels(menu["left"], menu["top"], menu["width"], menu["height"])
        first, last = text_bands(rows)[index]
        self.s.click(menu["left"] + menu["width"] // 2, menu["top"] + (first + last) // 2)

    # -- tests -------------------------------------------------------------------
    def test_first_start_asks_monitor_then_opacity_before_the_bar_appears(self):
        self.assertIsNone(self.s.values())  # no settings key at all
        program = self.s.start()
        box = self.wait_box(MONITOR_TITLE)
        self.s.screenshot("prompt-monitor-number")
        prompt, edit, ok, cancel = box["children"]
        self.assertEqual(prompt["class"], "Static")
        self.assertEqual(prompt["text"], "一般win7填入14 XP填入2,不行请尝试从1开始递增填入,输入范围1-4")
        self.assertEqual(edit["class"], "Edit")
        self.assertEqual((ok["text"], cancel["text"]), ("确认输入(&O)", "取消(&C)"))
        self.assertLess(prompt["top"] + prompt["height"], edit["top"] + 1)
        self.assertAlmostEqual(box["left"] + box["width"] / 2, SCREEN_W / 2, delta=2)
        self.assertAlmostEqual(box["top"] + box["height"] / 2, SCREEN_H / 2, delta=2)
        self.assertFalse(self.bar_visible())

        self.answer("1")
        box = self.wait_box(OPACITY_TITLE)
        self.s.screenshot("prompt-opacity")
        self.assertEqual(box["children"][0]["text"], "窗口透明度,50透明度最高,255不透明,输入范围50-255")
        self.assertEqual(self.stored().get("监控编号"), 1)
        self.assertFalse(self.bar_visible())
        # The box brings the common controls in for its themed controls.
        self.assertTrue([f for f in self.s.mapped_files(program) if f.endswith("/comctl32.dll")])

        self.answer("200")
        bar = self.s.wait_for_window("VexmoraBar")
        self.assertEqual(bar["alpha"], 200)
        values = self.stored()
        self.assertEqual((values.get("监控编号"), values.get("透明度")), (1, 200))
        self.assertEqual(self.boxes(), [])

    def test_enter_alone_confirms_the_initial_texts(self):
        # Nothing stored: the monitor box opens with 2 (Wine has four interfaces).
        self.s.start()
        self.wait_box(MONITOR_TITLE)
        self.press("Return")
        self.wait_box(OPACITY_TITLE)
        self.assertEqual(self.stored().get("监控编号"), 2)
        self.press("Return")  # 225, not 255
        bar = self.s.wait_for_window("VexmoraBar")
        self.assertEqual(bar["alpha"], 225)
        self.assertEqual(self.stored().get("透明度"), 225)

    def test_only_a_valid_number_leaves_the_box(self):
        self.s.start()
        first = self.wait_box(MONITOR_TITLE)

        self.answer("9")  # out of range
        again = self.wait_box(MONITOR_TITLE, other_than=first["hwnd"])
        self.assertNotIn("监控编号", self.stored())

        self.press("Escape")
        third = self.wait_box(MONITOR_TITLE, other_than=again["hwnd"])
        self.assertNotIn("监控编号", self.stored())

        # Letters are refused: "1a2" becomes 12, out of range; were the
        # letter taken, the number would be 1 and accepted.
        self.answer("1a2")
        self.wait_box(MONITOR_TITLE, other_than=third["hwnd"])
        self.assertNotIn("监控编号", self.stored())
        self.assertFalse(self.bar_visible())

        self.answer("3")
        first_opacity = self.wait_box(OPACITY_TITLE)
        self.assertEqual(self.stored().get("监控编号"), 3)

        self.answer("256")
        second_opacity = self.wait_box(OPACITY_TITLE, other_than=first_opacity["hwnd"])
        self.press("Escape")
        self.wait_box(OPACITY_TITLE, other_than=second_opacity["hwnd"])
        self.assertNotIn("透明度", self.stored())

        # "2x0y0" is 200 only when the letters never reach the edit line.
        self.answer("2x0y0")
        bar = self.s.wait_for_window("VexmoraBar")
        self.assertEqual(bar["alpha"], 200)
        self.assertEqual(self.stored().get("透明度"), 200)
        self.assertEqual(len(self.boxes()), 0)

    def test_usable_monitor_number_asks_for_the_opacity_only(self):
        self.seed_usable(monitor=4, opacity=30)
        self.s.start()
        self.wait_box(OPACITY_TITLE)
        self.assertEqual([b["text"] for b in self.boxes()], [OPACITY_TITLE])
        self.assertFalse(self.bar_visible())
        self.answer("50")
        bar = self.s.wait_for_window("VexmoraBar")
        self.assertEqual(bar["alpha"], 50)
        self.assertEqual(self.stored().get("透明度"), 50)
        self.assertEqual(self.stored().get("监控编号"), 4)

    def test_from_the_menu_ticks_go_on_with_the_old_number_while_the_box_is_open(self):
        self.seed_usable(monitor=1, opacity=255, 提示=0)
        self.s.start()
        bar = self.s.wait_for_window("VexmoraBar")
        self.s.move_pointer(5, 700)
        self.s.wait_for(lambda: self.receive_text() == "0.0KB/S", timeout=20, message="an idle tick")

        self.open_menu_entry(bar, 0)  # 监控编号(1)
        first = self.wait_box(MONITOR_TITLE)
        self.assertTrue(self.bar_visible())
        traffic = LoopbackTraffic()
        try:
            # The meter goes on reading row 1 while the box waits.
            self.s.wait_for(lambda: self.receive_text() != "0.0KB/S", timeout=20, message="loopback traffic shown")
            self.answer("9")  # out of range: asked again, still on row 1
            self.wait_box(MONITOR_TITLE, other_than=first["hwnd"])
            self.assertEqual(self.stored()["监控编号"], 1)
            time.sleep(2)
            self.assertNotEqual(self.receive_text(), "0.0KB/S")
            self.answer("4")
            self.s.wait_for(lambda: self.stored().get("监控编号") == 4, timeout=20, message="监控编号 = 4")
        finally:
            traffic.stop()
        self.s.wait_for(lambda: not self.boxes(), timeout=10, message="the box closed")

        self.open_menu_entry(bar, 1)  # 透明度(255)
        self.wait_box(OPACITY_TITLE)
        self.answer("120")
        self.s.wait_for(lambda: self.stored().get("透明度") == 120, timeout=20, message="透明度 = 120")
        bar = self.s.wait_for_window("VexmoraBar")
        self.assertEqual(bar["alpha"], 120)
        self.assertEqual([w["alpha"] for w in self.s.program_windows("VexmoraDetail")], [120])

    def test_showing_the_box_again_and_again_leaves_no_gdi_object_behind(self):
        program = self.s.start_traced()
        box = self.wait_box(MONITOR_TITLE)
        counts = []
        for _ in range(12):
            self.press("Escape")
            box = self.wait_box(MONITOR_TITLE, other_than=box["hwnd"])
            time.sleep(0.3)
            counts.append(self.s.live_gdi_objects(program))
        self.assertIsNotNone(counts[-1])
        # The first showings may still set up shared objects; later ones add nothing.
        self.assertEqual(counts[-1], counts[3], counts)


if __name__ == "__main__":
    unittest.main()
