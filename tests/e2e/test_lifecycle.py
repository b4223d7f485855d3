"""The life of the process: first start, single instance."""

import time
import unittest

from harness import SessionTest, tearDownModule  # noqa: F401


class LifecycleTest(SessionTest):
    def test_first_start_stores_the_never_stored_defaults_and_keeps_running(self):
        self.seed_usable()
        program = self.s.start()
        self.s.wait_for_window("VexmoraBar")
        values = self.s.wait_for(lambda: (v := self.s.values()) and "x" in v and v, message="stored position")
        self.assertEqual(values["置顶"], 1)
        self.assertEqual(values["提示"], 1)
        time.sleep(2)
        self.assertIsNone(program.poll(), "the program ended")
        # Only the input box takes comctl32 on; the running bar goes without it.
        self.assertFalse([f for f in self.s.mapped_files(program) if f.endswith("/comctl32.dll")])

    def test_second_copy_ends_at_once_and_changes_nothing(self):
        self.seed_usable(置顶=0, 提示=0)
        first = self.s.start()
        self.s.wait_for_window("VexmoraBar")
        self.s.wait_for(lambda: "x" in (self.s.values() or {}), message="stored position")
        self.s.set_dword("x", 300)  # a value only a second copy's start-up would rewrite
        before = self.s.values()
        second = self.s.start()
        self.assertEqual(second.wait(timeout=60), 0)
        self.assertEqual(self.s.values(), before)
        self.assertIsNone(first.poll())
        self.assertEqual(len(self.s.program_windows("VexmoraBar")), 1)

    def test_ten_copies_started_at_once_leave_exactly_one_running(self):
        self.seed_usable(提示=0)
        copies = [self.s.start() for _ in range(10)]
        deadline = time.time() + 90
        while time.time() < deadline and sum(p.poll() is None for p in copies) > 1:
            time.sleep(0.5)
        time.sleep(2)
        alive = [p for p in copies if p.poll() is None]
        self.assertEqual(len(alive), 1)
        self.assertTrue(all(p.returncode == 0 for p in copies if p is not alive[0]))
        self.s.wait_for_window("VexmoraBar")
        self.assertEqual(len(self.s.program_windows("VexmoraBar")), 1)

    def test_closing_the_bar_ends_the_program_and_closing_the_panel_hides_it(self):
        self.seed_usable(提示=0)
        program = self.s.start()
        bar = self.s.wait_for_window("VexmoraBar")
        # The panel, open under the pointer, only hides when closed (Alt+F4 on it).
        self.s.move_pointer(bar["left"] + 30, bar["top"] + 10)
        self.s.move_pointer(bar["left"] + 40, bar["top"] + 11)
        self.s.wait_for_window("VexmoraDetail")
        self.assertEqual(self.s.probe("close-class", "VexmoraDetail")[0], 0)
        self.s.wait_for_window("VexmoraDetail", visible=False)
        self.assertIsNone(program.poll())
        # Closed, the bar would leave nothing to reach the program by: it ends.
        self.assertEqual(self.s.probe("close-class", "VexmoraBar")[0], 0)
        self.assertEqual(program.wait(timeout=30), 0)
        # Nothing holds the single-instance mutex any more: the next start runs.
        self.s.start()
        self.s.wait_for_window("VexmoraBar")

if __name__ == "__main__":
    unittest.main()
