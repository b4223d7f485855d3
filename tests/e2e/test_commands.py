"""Every menu entry as a user tries it: its registry change, its effect on the
windows and the notice that follows."""

import time
import unittest

from harness import RUN_KEY, SessionTest, is_balloon_text as is_text, tearDownModule  # noqa: F401
from harness import text_bands

class CommandsTest(SessionTest):
    def setUp(self):
        super().setUp()
        self.s.move_pointer(5, 700)

    # -- helpers ---------------------------------------------------------------
    def balloon(self):
        found = [w for w in self.s.program_windows("VexmoraBalloon") if w["visible"]]
        return found[0] if found else None

    def wait_closed(self):
        self.s.wait_for(lambda: self.balloon() is None, 15, message="balloon closed")

    def wait_shown(self, bands=None):
        """The visible balloon once its text is drawn (and has that many text bands)."""
        def shown():
            b = self.balloon()
            if b is None:
                return None
            found = self.bands(b)
            return (b, found) if bands is None or len(found) == bands else None
        return self.s.wait_for(shown, 20, interval=0.4, message=f"balloon with {bands} text bands")

    def bands(self, window):
        return text_bands(self.s.pixels(window["left"], window["top"], window["width"], window["height"]))

    def start(self, **values):
        self.seed_usable(提示=0, **values)
        program = self.s.start()
        bar = self.s.wait_for_window("VexmoraBar")
        self.bar = bar
        return program, bar

    def open_menu(self, bar):
        self.s.click(bar["left"] + 40, bar["top"] + 11, 3)
        menu, bands = self.wait_shown(bands=8)
        return menu, bands

    def choose(self, bar, entry):
        """Right press on the bar, then a left press on menu entry 1..8."""
        menu, bands = self.open_menu(bar)
        first, last = bands[entry - 1]
        self.s.click(menu["left"] + menu["width"] // 2, menu["top"] + (first + last) // 2)

    def notice(self, bands=1):
        notice, _ = self.wait_shown(bands=bands)
        return notice

    def dismiss(self):
        """A press on the bar, which closes whatever balloon shows."""
        self.s.click(self.bar["left"] + 140, self.bar["top"] + 11)
        self.wait_closed()

    def input_box(self, title):
        return self.s.wait_for(
            lambda: next((w for w in self.s.windows() if w["text"] == title and w["visible"]), None),
            30, message=f"input box {title}")

    def answer(self, box, text):
        edit = next(c for c in box["children"] if c["class"].lower() == "edit")
        self.s.click(edit["left"] + 5, edit["top"] + 5)
        self.s.xdotool("key", "ctrl+a")
        self.s.xdotool("type", text)
        self.s.xdotool("key", "Return")

    # -- tests -----------------------------------------------------------------
    def test_always_on_top_and_recording_switch_with_their_notices(self):
        _, bar = self.start()
        self.choose(bar, 3)
        self.notice()
        self.s.screenshot("notice_not_on_top")
        self.assertEqual(self.s.values()["置顶"], 0)
        self.assertFalse(self.s.wait_for_window("VexmoraBar")["topmost"])
        self.dismiss()
        self.choose(bar, 3)
        self.notice()
        self.assertEqual(self.s.values()["置顶"], 1)
        self.assertTrue(self.s.wait_for_window("VexmoraBar")["topmost"])
        self.dismiss()

        self.choose(bar, 4)
        self.notice()
        self.assertEqual(self.s.values()["记录"], 1)
        self.s.wait_for(lambda: "总流量" in self.s.values(), 10, message="grand total stored by a tick")
        self.dismiss()
        self.choose(bar, 4)
        self.notice()
        values = self.s.values()
        self.assertEqual((values["记录"], values["总流量"]), (0, 0))
        self.dismiss()

    def test_start_with_windows_writes_and_removes_the_run_value(self):
        _, bar = self.start()
        self.choose(bar, 5)
        self.notice()
        run = self.s.values(RUN_KEY) or {}
        self.assertIn("Toskarin", run)
        self.assertTrue(run["Toskarin"].lower().endswith("\\vexmora.exe"), run)
        self.assertNotIn('"', run["Toskarin"])
        self.dismiss()
        self.choose(bar, 5)
        self.notice()
        self.assertNotIn("Toskarin", self.s.values(RUN_KEY) or {})
        self.dismiss()

    def test_monitor_number_and_opacity_prompts_from_the_menu(self):
        _, bar = self.start()
        self.choose(bar, 1)
        box = self.input_box("请输入监控编号")
        self.answer(box, "2")
        self.s.wait_for(lambda: self.s.values().get("监控编号") == 2, 15, message="monitor number stored")
        self.choose(bar, 2)
        box = self.input_box("请输入透明度")
        self.answer(box, "120")
        self.s.wait_for(lambda: self.s.values().get("透明度") == 120, 15, message="opacity stored")
        self.assertEqual(self.s.wait_for_window("VexmoraBar")["alpha"], 120)
        # The menu tells the new values; the screenshot shows them.
        self.open_menu(bar)
        self.s.screenshot("menu_after_prompts")
        self.s.xdotool("key", "Escape")
        self.wait_closed()

    def test_about_shows_two_rows(self):
        _, bar = self.start()
        self.choose(bar, 7)
        self.notice(bands=2)
        self.s.screenshot("notice_about")
        self.dismiss()

    def test_reset_removes_everything_and_ends_after_its_notice(self):
        program, bar = self.start(记录=1)
        self.choose(bar, 5)  # start with Windows on, so the reset has a Run value to remove
        self.notice()
        self.dismiss()
        self.choose(bar, 6)
        confirmation = self.notice(bands=2)
        self.s.screenshot("notice_reset_question")
        first, last = self.bands(confirmation)[1]
        rows = self.s.pixels(confirmation["left"], confirmation["top"], confirmation["width"],
                             confirmation["height"])
        columns = [x for x in range(confirmation["width"])
                   if any(is_text(rows[y][x]) for y in range(first, last + 1))]
        # "确定" is the left of the two words on the last line.
        self.s.click(confirmation["left"] + columns[0] + 6, confirmation["top"] + (first + last) // 2)
        self.notice()
        self.s.screenshot("notice_reset_done")
        self.assertIsNone(self.s.values(), "the settings key is gone")
        self.assertNotIn("Toskarin", self.s.values(RUN_KEY) or {})
        self.assertIsNone(program.poll())
        self.s.click(bar["left"] + 140, bar["top"] + 11)  # the next close ends the program
        self.assertEqual(program.wait(timeout=30), 0)
        # The next start is a first start again: it asks for the monitor number.
        self.s.start()
        self.input_box("请输入监控编号")

    def test_cancelled_reset_changes_nothing(self):
        program, bar = self.start()
        self.choose(bar, 6)
        confirmation = self.notice(bands=2)
        first, last = self.bands(confirmation)[0]  # the question belongs to "no"
        before = self.s.values()
        self.s.click(confirmation["left"] + confirmation["width"] // 2, confirmation["top"] + (first + last) // 2)
        self.wait_closed()
        time.sleep(1.5)
        self.assertIsNone(self.balloon())
        self.assertEqual(self.s.values(), before)
        self.assertIsNone(program.poll())

    def test_exit_ends_with_code_zero(self):
        program, bar = self.start()
        self.choose(bar, 8)
        self.assertEqual(program.wait(timeout=30), 0)


if __name__ == "__main__":
    unittest.main()
