"""The balloon: start-up tip, menu below and above the bar, highlight, closing, links."""

import subprocess
import time
import unittest

from harness import BALLOON_DARK as DARK, SessionTest, is_balloon_text as is_text, tearDownModule  # noqa: F401
from harness import text_bands

WS_EX_TOPMOST = 0x8
WS_EX_TOOLWINDOW = 0x80
WS_EX_LAYERED = 0x80000
WS_EX_NOACTIVATE = 0x8000000

HIGHLIGHT = (0x00, 0x95, 0xBB)
FADE_STEPS = {0, 51, 102, 153, 204}


class BalloonTest(SessionTest):
    def setUp(self):
        super().setUp()
        # A pointer left on the bar would open the detail panel over the balloon.
        self.s.move_pointer(5, 700)

    # -- helpers ---------------------------------------------------------------
    def balloon(self):
        found = self.s.program_windows("VexmoraBalloon")
        return found[0] if found else None

    def wait_balloon(self, visible=True, timeout=20, differs_from=None):
        def check():
            b = self.balloon()
            if b is None or b["visible"] != visible:
                return None
            if differs_from is not None and (b["height"], b["top"]) == (differs_from["height"], differs_from["top"]):
                return None
            return b
        return self.s.wait_for(check, timeout, message=f"balloon visible={visible}")

    def start_with_bar(self, **values):
        self.seed_usable(**values)
        self.s.start()
        return self.s.wait_for_window("VexmoraBar")

    def right_press_bar(self, bar):
        self.s.click(bar["left"] + 40, bar["top"] + 11, 3)

    def area(self, window):
        return self.s.pixels(window["left"], window["top"], window["width"], window["height"])

    def count(self, rows, colour):
        return sum(1 for row in rows for p in row if p == colour)

    def assert_tip_on(self, balloon, x, y):
        self.assertEqual(balloon["top"], y)
        self.assertLessEqual(abs(balloon["left"] + balloon["width"] / 2 - x), 1)

    # -- tests -----------------------------------------------------------------
    def test_start_up_tip_hangs_below_the_bar_and_fades_in(self):
        bar = self.start_with_bar()
        seen = set()
        def faded_in():
            b = self.balloon()
            if b and b["visible"]:
                seen.add(b["alpha"])
                return b if b["alpha"] == 204 else None
            return None
        tip = self.s.wait_for(faded_in, 20, interval=0.05, message="tip faded in")
        self.assertLessEqual(seen, FADE_STEPS)
        # Never taking the focus, no taskbar button, above everything.
        for flag in (WS_EX_TOPMOST, WS_EX_TOOLWINDOW, WS_EX_LAYERED, WS_EX_NOACTIVATE):
            self.assertTrue(tip["exstyle"] & flag, hex(flag))
        self.assertEqual(tip["owner"], 0)
        self.assertTrue(tip["topmost"])
        # The tail's tip on the bar's bottom edge, 72 pixels from its left.
        self.assert_tip_on(tip, bar["left"] + 72, bar["top"] + 22)
        rows = self.area(tip)
        body_top = 5  # under the tail
        self.assertEqual(rows[body_top + 4][4], DARK)
        # The tail: dark under the tip, what lies behind beside it.
        tip_column = bar["left"] + 72 - tip["left"]
        self.assertEqual(rows[3][tip_column], DARK)
        self.assertNotEqual(rows[3][4], DARK)
        self.assertNotEqual(rows[body_top][0], DARK)  # a cut corner
        self.assertEqual(len(text_bands(rows)), 2)
        # The shadow lies to the right of and below the balloon.
        shadow = self.s.program_windows("VexmoraBalloonShadow")[0]
        self.assertTrue(shadow["visible"])
        self.assertGreater(shadow["left"] + shadow["width"], tip["left"] + tip["width"])
        self.assertGreater(shadow["top"] + shadow["height"], tip["top"] + tip["height"])
        self.s.screenshot("balloon_tip")

    def test_the_panel_opening_under_the_tip_leaves_the_tip_above_it(self):
        bar = self.start_with_bar()
        tip = self.s.wait_for(lambda: (b := self.balloon()) and b["visible"] and b["alpha"] == 204 and b, 20,
                              message="tip shown")
        self.s.move_pointer(bar["left"] + 30, bar["top"] + 10)
        self.s.move_pointer(bar["left"] + 40, bar["top"] + 11)
        panel = self.s.wait_for_window("VexmoraDetail")
        self.assertLess(panel["top"], tip["top"] + tip["height"])  # they overlap
        x = max(tip["left"], panel["left"]) + 10
        y = tip["top"] + tip["height"] - 6
        self.assertEqual(self.s.pixels(x, y, 1, 1)[0][0], DARK)

    def test_menu_below_the_bar_is_dark_with_eight_entries_and_highlights_under_the_pointer(self):
        bar = self.start_with_bar(提示=0)
        time.sleep(1)
        self.assertTrue(self.balloon() is None or not self.balloon()["visible"])
        self.right_press_bar(bar)
        menu = self.wait_balloon()
        self.assert_tip_on(menu, bar["left"] + 72, bar["top"] + 22)  # no tail: the body's top edge
        time.sleep(0.6)
        self.s.screenshot("balloon_menu")
        rows = self.area(menu)
        self.assertEqual(rows[3][3], DARK)
        self.assertEqual(rows[-3][-3], DARK)
        bands = text_bands(rows)
        self.assertEqual(len(bands), 8, bands)
        self.assertEqual(self.count(rows, HIGHLIGHT), 0)

        # The pointer on the third entry lights up that entry only.
        first, last = bands[2]
        self.s.move_pointer(menu["left"] + menu["width"] // 2, menu["top"] + (first + last) // 2)
        lit = self.s.wait_for(lambda: (r := self.area(menu)) and self.count(r, HIGHLIGHT) > 0 and r, 10,
                              message="highlight")
        self.s.screenshot("balloon_menu_highlight")
        lit_rows = [y for y, row in enumerate(lit) if HIGHLIGHT in row]
        self.assertLessEqual(lit_rows[0], first)
        self.assertGreater(lit_rows[-1], last)      # the spacer row under it too
        self.assertLess(lit_rows[-1], bands[3][0])  # not the next entry
        # The highlighted text stays white.
        self.assertTrue(any(is_text(p) for p in lit[(first + last) // 2]))

        # Leaving the balloon clears it.
        self.s.move_pointer(5, 700)
        self.s.wait_for(lambda: self.count(self.area(menu), HIGHLIGHT) == 0, 10, message="highlight cleared")
        self.assertTrue(self.balloon()["visible"], "moving the pointer does not close it")

    def test_tip_stands_above_a_bar_lower_than_300_with_its_tail_down(self):
        bar = self.start_with_bar(x=500, y=500)
        tip = self.wait_balloon()
        self.assertEqual(tip["top"] + tip["height"], 500)
        self.assertLessEqual(abs(tip["left"] + tip["width"] / 2 - (bar["left"] + 60)), 1)
        time.sleep(0.6)
        rows = self.area(tip)
        tip_column = bar["left"] + 60 - tip["left"]
        self.assertEqual(rows[-3][tip_column], DARK)
        self.assertNotEqual(rows[-3][4], DARK)
        self.assertEqual(len(text_bands(rows)), 2)
        self.s.screenshot("balloon_tip_above")

    def test_menu_stands_above_a_bar_lower_than_300(self):
        bar = self.start_with_bar(提示=0, x=500, y=500)
        self.assertEqual(bar["top"], 500)
        self.right_press_bar(bar)
        menu = self.wait_balloon()
        self.assertEqual(menu["top"] + menu["height"], 500)
        self.assertLessEqual(abs(menu["left"] + menu["width"] / 2 - (bar["left"] + 60)), 1)

    def test_key_press_press_on_the_bar_and_press_beside_the_links_each_close_the_menu(self):
        bar = self.start_with_bar(提示=0)
        before = self.s.values()
        closers = [
            ("key", lambda menu: self.s.xdotool("key", "Escape")),
            ("left press on the bar", lambda menu: self.s.click(bar["left"] + 140, bar["top"] + 11)),
            ("press on the menu's margin", lambda menu: self.s.click(menu["left"] + 3, menu["top"] + 3)),
            ("middle press on the bar", lambda menu: self.s.click(bar["left"] + 140, bar["top"] + 11, 2)),
        ]
        for name, close in closers:
            with self.subTest(name):
                self.right_press_bar(bar)
                menu = self.wait_balloon()
                time.sleep(0.5)
                close(menu)
                self.wait_balloon(visible=False, timeout=10)
                bar = self.s.wait_for_window("VexmoraBar")
        self.assertEqual({k: v for k, v in self.s.values().items() if k not in ("x", "y")},
                         {k: v for k, v in before.items() if k not in ("x", "y")})

    def test_second_right_press_closes_the_menu_and_shows_it_anew(self):
        bar = self.start_with_bar(提示=0)
        self.right_press_bar(bar)
        first = self.wait_balloon()
        time.sleep(0.6)
        self.right_press_bar(bar)
        time.sleep(1.0)
        again = self.wait_balloon()
        self.assertEqual((again["left"], again["top"], again["width"], again["height"]),
                         (first["left"], first["top"], first["width"], first["height"]))
        self.assertEqual(again["alpha"], 204)
        self.s.xdotool("key", "Escape")
        self.wait_balloon(visible=False, timeout=10)

    def test_showing_highlighting_and_closing_leak_no_gdi_object(self):
        self.seed_usable(提示=0)
        program = self.s.start_traced()
        bar = self.s.wait_for_window("VexmoraBar")

        def round_trip():
            self.right_press_bar(bar)
            menu = self.wait_balloon()
            time.sleep(0.6)  # the whole fade
            for dy in (20, 40, 60):  # highlight, move to the next entry, and so on
                self.s.move_pointer(menu["left"] + menu["width"] // 2, menu["top"] + dy)
                time.sleep(0.2)
            self.s.move_pointer(5, 700)
            time.sleep(0.2)
            self.s.move_pointer(bar["left"] + 40, bar["top"] + 11)  # keys go to the window under the pointer
            self.s.xdotool("key", "Escape")
            self.wait_balloon(visible=False, timeout=10)

        for _ in range(2):  # every path once before counting
            round_trip()
        time.sleep(1)
        start = self.s.live_gdi_objects(program)
        self.assertIsNotNone(start, "no GDI trace")
        for _ in range(8):
            round_trip()
        time.sleep(1)
        self.assertLessEqual(self.s.live_gdi_objects(program), start + 2)

    def test_switching_to_another_application_closes_the_menu(self):
        bar = self.start_with_bar(提示=0)
        other = subprocess.Popen(["wine", "notepad"], env=self.s.env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        other.image = "notepad.exe"
        self.s.running.append(other)
        notepad = self.s.wait_for_window("Notepad")
        time.sleep(1)
        self.right_press_bar(bar)
        self.wait_balloon()
        time.sleep(0.5)
        self.s.click(notepad["left"] + notepad["width"] // 2, notepad["top"] + notepad["height"] // 2)
        self.wait_balloon(visible=False, timeout=10)

    def test_right_press_while_the_tip_shows_closes_it_and_shows_the_menu(self):
        bar = self.start_with_bar()
        tip = self.wait_balloon()
        self.right_press_bar(bar)
        menu = self.wait_balloon(differs_from=tip)
        self.assert_tip_on(menu, bar["left"] + 72, bar["top"] + 22)
        self.assertGreater(menu["height"], tip["height"])
        time.sleep(0.6)
        self.assertEqual(len(text_bands(self.area(menu))), 8)

    def test_press_on_the_spacer_row_runs_that_entry(self):
        bar = self.start_with_bar(提示=0)
        self.assertEqual(self.s.values()["置顶"], 1)
        self.right_press_bar(bar)
        menu = self.wait_balloon()
        time.sleep(0.6)
        bands = text_bands(self.area(menu))
        first, last = bands[2]  # 窗口置顶(√)
        centre_x = menu["left"] + menu["width"] // 2
        self.s.move_pointer(centre_x, menu["top"] + (first + last) // 2)
        lit = self.s.wait_for(lambda: (r := self.area(menu)) and self.count(r, HIGHLIGHT) > 0 and r, 10,
                              message="highlight")
        # The spacer row: the lit rows under the label, narrower than it.
        widths = {y: row.count(HIGHLIGHT) for y, row in enumerate(lit) if HIGHLIGHT in row}
        widest = max(widths.values())
        spacer = [y for y, w in widths.items() if y > last and w < widest]
        self.assertTrue(spacer, widths)
        self.s.click(centre_x, menu["top"] + spacer[len(spacer) // 2])
        self.s.wait_for(lambda: self.s.values()["置顶"] == 0, 10, message="置顶 stored as 0")
        # Then the notice, with its tail on the bar.
        notice = self.wait_balloon(differs_from=menu)
        self.assert_tip_on(notice, bar["left"] + 72, bar["top"] + 22)
        self.assertLess(notice["height"], menu["height"])

    def test_notip_link_stores_the_choice_and_the_next_start_shows_no_tip(self):
        self.start_with_bar()
        tip = self.wait_balloon()
        self.assertEqual(self.s.values()["提示"], 1)
        time.sleep(0.6)
        bands = text_bands(self.area(tip))
        self.assertEqual(len(bands), 2)
        first, last = bands[1]  # 点这不再提示此消息
        self.s.click(tip["left"] + tip["width"] // 2, tip["top"] + (first + last) // 2)
        self.s.wait_for(lambda: self.s.values()["提示"] == 0, 10, message="提示 stored as 0")
        notice = self.wait_balloon(differs_from=tip)
        self.assertEqual(len(text_bands(self.area(notice))), 1)
        for process in list(self.s.running):
            self.s.stop(process)
        self.s.running.clear()

        self.s.start()
        self.s.wait_for_window("VexmoraBar")
        time.sleep(4)
        b = self.balloon()
        self.assertTrue(b is None or not b["visible"], "a tip was shown")


if __name__ == "__main__":
    unittest.main()
