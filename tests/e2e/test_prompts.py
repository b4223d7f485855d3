"""The start-up prompts and the input box, answered with real key presses."""

import unittest

from harness import SCREEN_H, SCREEN_W, SessionTest, tearDownModule  # noqa: F401

MONITOR_TITLE = "请输入监控编号"
OPACITY_TITLE = "请输入透明度"


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

    def answer(self, typed):
        """Select the whole edit line, type, confirm with Enter."""
        self.s.xdotool("key", "End", "shift+Home")
        if typed:
            self.s.xdotool("type", "--delay", "60", "--", typed)
        self.s.xdotool("key", "Return")

    def bar_visible(self):
        return any(w["visible"] for w in self.s.program_windows("VexmoraBar"))

    def stored(self):
        return self.s.values() or {}

    # -- tests -------------------------------------------------------------------
    def test_first_start_asks_monitor_then_opacity_before_the_bar_appears(self):
        self.assertIsNone(self.s.values())  # no settings key at all
        self.s.start()
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
        self.s.xdotool("key", "Return")
        self.wait_box(OPACITY_TITLE)
        self.assertEqual(self.stored().get("监控编号"), 2)
        self.s.xdotool("key", "Return")  # 225, not 255
        bar = self.s.wait_for_window("VexmoraBar")
        self.assertEqual(bar["alpha"], 225)
        self.assertEqual(self.stored().get("透明度"), 225)

    def test_only_a_valid_number_leaves_the_box(self):
        self.s.start()
        first = self.wait_box(MONITOR_TITLE)

        self.answer("9")  # out of range
        again = self.wait_box(MONITOR_TITLE, other_than=first["hwnd"])
        self.assertNotIn("监控编号", self.stored())

        self.s.xdotool("key", "Escape")
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
        self.s.xdotool("key", "Escape")
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


if __name__ == "__main__":
    unittest.main()
