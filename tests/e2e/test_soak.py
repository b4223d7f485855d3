"""Long runs and hard ends: no GDI or USER object grows over minutes of real
ticks, hovering and menus, and a killed process has lost no setting."""

import os
import signal
import time
import unittest

from harness import SessionTest, tearDownModule  # noqa: F401

SOAK_SECONDS = int(os.environ.get("VEXMORA_SOAK_SECONDS", "130"))


class SoakTest(SessionTest):
    def bar(self):
        return self.s.wait_for_window("VexmoraBar")

    def exercise(self, bar):
        """What a user does now and then: hover, leave, open and close the menu."""
        x, y = bar["left"] + 40, bar["top"] + 11
        self.s.move_pointer(x, y)
        time.sleep(0.8)
        self.s.move_pointer(x, y + 300)
        time.sleep(0.5)
        self.s.click(x, y, button=3)
        time.sleep(1.0)
        self.s.xdotool("key", "Escape")
        time.sleep(0.5)

    def test_gdi_and_user_objects_stay_flat_while_ticking(self):
        self.seed_usable(提示=0, y=400)
        program = self.s.start_traced()
        bar = self.bar()
        for _ in range(2):  # every drawing path once, before counting
            self.exercise(bar)
        time.sleep(3)
        gdi_start = self.s.live_gdi_objects(program)
        user_start = self.s.user_objects(bar["pid"])
        self.assertIsNotNone(gdi_start, "no GDI trace")
        samples = []
        deadline = time.time() + SOAK_SECONDS
        while time.time() < deadline:
            self.exercise(bar)
            time.sleep(8)
            samples.append((self.s.live_gdi_objects(program), self.s.user_objects(bar["pid"])))
        time.sleep(3)
        gdi_end = self.s.live_gdi_objects(program)
        user_end = self.s.user_objects(bar["pid"])
        self.assertIsNone(program.poll(), "the program ended")
        # A transient object may be alive at the moment of reading; a leak grows
        # with every tick and every exercise.
        self.assertLessEqual(gdi_end, gdi_start + 2, samples)
        self.assertLessEqual(max(g for g, _ in samples), gdi_start + 8, samples)
        self.assertEqual(user_end, user_start, samples)

    def test_a_killed_process_has_lost_no_setting(self):
        self.seed_usable(提示=0, x=200, y=100)
        program = self.s.start()
        bar = self.bar()
        self.s.wait_for(lambda: self.s.values().get("x") == 200, message="start-up position stored")
        # A drag, and the kill right after the drop.
        self.s.xdotool("mousemove", bar["left"] + 40, bar["top"] + 11, "mousedown", "1")
        self.s.xdotool("mousemove", bar["left"] + 140, bar["top"] + 91)
        time.sleep(0.3)
        self.s.xdotool("mousemove", bar["left"] + 160, bar["top"] + 111)
        time.sleep(0.3)
        self.s.xdotool("mouseup", "1")
        time.sleep(0.3)
        program.send_signal(signal.SIGKILL)
        program.wait(timeout=30)
        values = self.s.values()
        self.assertEqual((values["x"], values["y"]), (bar["left"] + 120, bar["top"] + 100))
        self.assertEqual(values["监控编号"], 1)
        self.assertEqual(values["置顶"], 1)


if __name__ == "__main__":
    unittest.main()
