"""The bar and the detail panel: place, look, outline, opacity, hover, press and drag."""

import socket
import threading
import time
import unittest

from harness import SCREEN_W, SessionTest, tearDownModule  # noqa: F401

WS_EX_APPWINDOW = 0x00040000
WS_EX_TRANSPARENT = 0x00000020
KEY = (255, 0, 255)
BAR_BORDER = (0x5E, 0x9D, 0xD2)
PANEL_BORDER = (0x79, 0xAD, 0xD9)


def rect(window):
    return (window["left"], window["top"], window["width"], window["height"])


def dark(pixel):
    return max(pixel) < 110


class LoopbackTraffic:
    """Bytes over 127.0.0.1 at a steady rate, which moves the loopback interface's counters."""

    def __init__(self, bytes_per_second):
        self.rate = bytes_per_second
        self.stopped = threading.Event()
        self.server = socket.socket()
        self.server.bind(("127.0.0.1", 0))
        self.server.listen(1)
        self.threads = [threading.Thread(target=self._receive, daemon=True),
                        threading.Thread(target=self._send, daemon=True)]
        for thread in self.threads:
            thread.start()

    def _receive(self):
        connection, _ = self.server.accept()
        with connection:
            while connection.recv(65536):
                pass

    def _send(self):
        with socket.create_connection(self.server.getsockname()) as connection:
            chunk = bytes(self.rate // 10)
            while not self.stopped.is_set():
                connection.sendall(chunk)
                time.sleep(0.1)

    def stop(self):
        self.stopped.set()
        for thread in self.threads:
            thread.join(timeout=5)
        self.server.close()


class WindowsTest(SessionTest):
    def launch(self, traced=False, **values):
        """Starts the program with usable settings and no start-up tip; the bar's entry.
        Traced, Wine records its GDI objects (self.program.gdi_log)."""
        values.setdefault("提示", 0)
        opacity = values.pop("透明度", 255)
        self.seed_usable(monitor=1, opacity=opacity, **values)
        self.s.move_pointer(SCREEN_W - 5, 795)  # away from everything the program shows
        self.program = self.s.start_traced() if traced else self.s.start()
        bar = self.s.wait_for_window("VexmoraBar")
        self.s.wait_for(lambda: "x" in (self.s.values() or {}), message="stored position")
        return bar

    def hover(self, x, y):
        """Puts the pointer on (x, y) and moves it one pixel on, as a real pointer arrives.

        Under Wine a pointer put back on the very point where the window last
        saw it raises no move message at all; the second move, which a user's
        pointer always makes, does.
        """
        self.s.move_pointer(x, y)
        time.sleep(0.3)
        self.s.move_pointer(x + 1, y)

    def detail(self):
        found = self.s.program_windows("VexmoraDetail")
        self.assertEqual(len(found), 1)
        return found[0]

    def wait_detail(self, visible, timeout=10):
        return self.s.wait_for(lambda: (d := self.detail())["visible"] == visible and d, timeout=timeout,
                               message=f"panel visible={visible}")

    def wait_rate_texts(self):
        """The first tick writes the rates; from then on the labels hold the meter's texts."""
        def written():
            bar = self.s.program_windows("VexmoraBar")[0]
            texts = [c["text"] for c in bar["children"] if c["class"] == "VexmoraLabel"]
            return bar if texts[:2] != ["KB/S", "KB/S"] else None
        return self.s.wait_for(written, timeout=15, message="rate texts")

    # -- place, controls, ownership --------------------------------------------
    def test_first_start_centres_the_bar_at_the_top_and_stores_it(self):
        bar = self.launch()
        left = (SCREEN_W - 155) // 2
        self.assertEqual(rect(bar), (left, 0, 155, 22))
        self.assertEqual((self.s.values()["x"], self.s.values()["y"]), (left, 0))
        detail = self.detail()
        self.assertFalse(detail["visible"])
        self.assertEqual(rect(detail), (50, 50, 155, 134))  # as loaded until first shown
        for window in (bar, detail):
            self.assertTrue(window["topmost"])
            self.assertEqual(window["owner"], 1, "owned by the hidden window")
            self.assertFalse(window["exstyle"] & WS_EX_APPWINDOW)
            self.assertEqual(window["alpha"], 255)

    def test_controls_stand_at_their_design_places(self):
        bar = self.launch()
        labels = [c for c in bar["children"] if c["class"] == "VexmoraLabel"]
        places = [(c["left"] - bar["left"], c["top"] - bar["top"], c["width"], c["height"], c["enabled"])
                  for c in labels]
        # In z-order: the rate labels above the hover label.
        self.assertEqual(places, [(91, 5, 55, 14, False), (17, 5, 55, 14, False), (1, -6, 159, 30, True)])
        self.assertTrue(all(c["exstyle"] & WS_EX_TRANSPARENT for c in labels))
        self.assertEqual(labels[2]["text"], "")
        edits = [c for c in bar["children"] if c["class"].lower() == "edit"]
        self.assertEqual(len(edits), 1)
        self.assertFalse(edits[0]["visible"])
        detail = self.detail()
        panel = [(c["left"] - detail["left"], c["top"] - detail["top"], c["width"], c["height"], c["enabled"])
                 for c in detail["children"]]
        self.assertEqual(panel, [(14, 11, 127, 14, False), (23, 36, 120, 14, False), (23, 55, 120, 14, False),
                                 (23, 79, 120, 14, False), (23, 97, 120, 14, False), (23, 114, 120, 14, False)])
        self.assertEqual(detail["children"][0]["text"], "Vexmora")

    def test_stored_place_is_used_unchanged(self):
        for x, y in ((300, 400), (-60, -8), (1200, 790)):  # partly off the screen stays too
            with self.subTest(x=x, y=y):
                self.s.delete_key()
                bar = self.launch(x=x, y=y)
                self.assertEqual(rect(bar), (x, y, 155, 22))
                values = self.s.values()
                self.assertEqual((values["x"], values["y"]), (x, y))
                self.tearDown()

    def test_always_on_top_stored_off_leaves_both_windows_ordinary(self):
        bar = self.launch(置顶=0)
        self.assertFalse(bar["topmost"])
        self.assertFalse(self.detail()["topmost"])
        self.hover(bar["left"] + 60, bar["top"] + 10)
        self.assertFalse(self.wait_detail(True)["topmost"])

    def test_opacity_applies_to_both_windows(self):
        bar = self.launch(透明度=50)
        self.assertEqual(bar["alpha"], 50)
        self.assertEqual(self.detail()["alpha"], 50)

    # -- look and outline ---------------------------------------------------------
    def test_bar_shows_its_picture_and_rate_texts_inside_a_cut_outline(self):
        bar = self.launch(x=300, y=300)
        self.wait_rate_texts()
        time.sleep(0.5)
        self.s.screenshot("windows-bar")
        px = self.s.pixels(299, 299, 157, 24)  # one pixel of desktop around the bar

        def at(x, y):  # bar coordinates
            return px[y + 1][x + 1]

        outside = at(-1, 10)
        for x, y in ((0, 10), (154, 10), (70, 0), (70, 21), (1, 1), (153, 1), (1, 20), (153, 20)):
            self.assertNotEqual(at(x, y), KEY, (x, y))
            self.assertEqual(at(x, y), outside, f"cut-away pixel {x},{y} shows the desktop")
        for x, y in ((1, 10), (153, 10), (70, 1), (70, 20), (2, 1)):
            self.assertEqual(at(x, y), BAR_BORDER, (x, y))
        self.assertEqual(at(70, 2), (255, 255, 255))
        self.assertEqual(at(11, 7), (0xFC, 0xE4, 0x0F))   # down arrow's tail
        self.assertEqual(at(85, 14), (0x0F, 0x90, 0x0F))  # up arrow's tail
        self.assertEqual(at(76, 11), (0xBF, 0xD9, 0xEB))  # divider
        # Text in both rate labels, right-aligned: dark pixels near their right ends.
        for label_left in (17, 91):
            area = [at(x, y) for y in range(5, 19) for x in range(label_left, label_left + 55)]
            self.assertGreater(sum(map(dark, area)), 15, label_left)
            right_part = [at(x, y) for y in range(5, 19) for x in range(label_left + 35, label_left + 55)]
            self.assertGreater(sum(map(dark, right_part)), 5, label_left)
        # Nothing dark where no label is.
        self.assertEqual(sum(dark(at(x, y)) for y in range(3, 19) for x in range(74, 80)), 0)

    def receive_text(self):
        bar = self.s.program_windows("VexmoraBar")[0]
        return next(c["text"] for c in bar["children"] if c["left"] - bar["left"] == 17)

    def test_a_shorter_rate_text_leaves_no_trace_of_the_longer_one(self):
        bar = self.launch(traced=True, x=300, y=300)  # interface 1 is the loopback one under Wine
        self.wait_rate_texts()

        def left_part_dark():
            px = self.s.pixels(bar["left"] + 17, bar["top"] + 5, 10, 14)
            return sum(dark(p) for row in px for p in row)

        traffic = LoopbackTraffic(400 * 1024)
        try:
            # A busy machine may pace the traffic unevenly: wait for a second in
            # which the long text stands, drawn out to the label's left part.
            self.s.wait_for(lambda: len(self.receive_text()) >= 9 and left_part_dark() > 0, timeout=30,
                            message="a long rate text reaching the label's left part")
            before = self.s.live_gdi_objects(self.program)
            self.s.screenshot("windows-long-rate")
            time.sleep(5)  # five more ticks with changing texts
            after = self.s.live_gdi_objects(self.program)
        finally:
            traffic.stop()
        self.assertIsNotNone(before, "no GDI trace")
        self.assertLessEqual(after, before + 2, "GDI objects held by painting")
        self.s.wait_for(lambda: self.receive_text() == "0.0KB/S", timeout=20, message="the idle rate text")
        time.sleep(0.5)
        self.s.screenshot("windows-short-rate")
        self.assertEqual(left_part_dark(), 0, "remains of the longer text")
        px = self.s.pixels(bar["left"] + 17, bar["top"] + 5, 55, 14)
        self.assertGreater(sum(dark(p) for row in px for p in row[30:]), 15, "the short text itself")

    def test_pointer_on_the_cut_away_ring_does_not_reach_the_bar(self):
        bar = self.launch(x=300, y=300)
        self.s.move_pointer(bar["left"], bar["top"] + 10)  # column 0: key ring
        time.sleep(1.5)
        self.assertFalse(self.detail()["visible"])
        self.s.move_pointer(bar["left"] + 1, bar["top"] + 10)  # column 1: the border
        time.sleep(0.3)
        self.s.move_pointer(bar["left"] + 1, bar["top"] + 11)
        self.wait_detail(True)

    # -- hover ------------------------------------------------------------------
    def test_hover_over_a_rate_label_opens_the_panel_below_and_leaving_hides_it(self):
        bar = self.launch(x=300, y=199)
        self.wait_rate_texts()
        # Over the receive label, which is disabled: the pointer reaches the hover label.
        self.hover(bar["left"] + 40, bar["top"] + 10)
        detail = self.wait_detail(True)
        self.assertEqual(rect(detail), (300, 222, 155, 157))
        self.assertEqual(detail["alpha"], 255)
        time.sleep(0.5)
        self.s.screenshot("windows-panel-below")
        px = self.s.pixels(299, 222, 156, 157)
        px = [row[1:] + [row[0]] for row in px]  # px[y][-1]: the desktop left of the panel
        # 155 x 157, but only the picture's outline is there: rows 133 on show the desktop.
        for y in (133, 140, 156):
            self.assertEqual(px[y][70], px[y][-1], y)
        self.assertEqual(px[132][70], PANEL_BORDER)
        self.assertEqual(px[10][1], PANEL_BORDER)
        self.assertNotEqual(px[10][0], KEY)
        self.assertEqual(px[1][1], px[10][0], "corner pixel cut away")
        self.assertEqual(px[29][77], (0xD9, 0xED, 0xF4))  # etched separator
        self.assertEqual(px[40][11], (0xFC, 0xE4, 0x0F))  # down arrow beside 下载速度
        blue = sum(1 for y in range(11, 25) for x in range(14, 141) if px[y][x][2] > 180 and px[y][x][0] < 120)
        self.assertGreater(blue, 20, "blue title text")
        red = sum(1 for y in range(114, 128) for x in range(23, 143) if px[y][x][0] > 180 and px[y][x][1] < 120)
        self.assertGreater(red, 20, "red total text")
        for top in (36, 55, 79, 97):
            self.assertGreater(sum(dark(px[y][x]) for y in range(top, top + 14) for x in range(23, 143)), 20, top)
        # Moving on over the bar keeps the panel where it is.
        self.s.move_pointer(bar["left"] + 120, bar["top"] + 12)
        time.sleep(0.8)
        self.assertEqual(rect(self.detail()), (300, 222, 155, 157))
        self.assertTrue(self.detail()["visible"])
        self.s.move_pointer(900, 700)
        self.wait_detail(False)

    def test_hover_opens_the_panel_above_from_top_200(self):
        bar = self.launch(x=500, y=200)
        self.hover(bar["left"] + 100, bar["top"] + 10)
        detail = self.wait_detail(True)
        self.assertEqual(rect(detail), (500, 65, 155, 157))
        self.s.move_pointer(900, 700)
        self.wait_detail(False)

    def test_press_on_the_panel_hides_it_and_the_next_visit_opens_it(self):
        bar = self.launch(x=300, y=300)
        self.hover(bar["left"] + 60, bar["top"] + 10)
        detail = self.wait_detail(True)
        self.assertEqual(rect(detail), (300, 165, 155, 157))
        self.s.xdotool("mousemove", detail["left"] + 70, detail["top"] + 60, "click", 1)
        self.wait_detail(False)
        # (Whether a return to the bar before the leave notice keeps the panel
        # away depends on when Wine polls the pointer; the unit tests hold that
        # state.) Once the pointer has left the bar, the next visit opens it.
        self.s.move_pointer(900, 700)
        time.sleep(1)
        self.hover(bar["left"] + 60, bar["top"] + 10)
        self.wait_detail(True)

    # -- drag ---------------------------------------------------------------------
    def test_drag_moves_the_bar_and_stores_the_drop(self):
        bar = self.launch(x=300, y=400)
        self.hover(340, 410)
        self.wait_detail(True)
        self.s.xdotool("mousedown", 1)
        for step in range(1, 9):
            self.s.move_pointer(341 + 20 * step, 410 - 14 * step)
            time.sleep(0.1)
        time.sleep(0.3)
        self.s.xdotool("mouseup", 1)
        moved = self.s.wait_for(
            lambda: (b := self.s.program_windows("VexmoraBar")[0])["left"] != 300 and b, message="bar moved")
        time.sleep(0.5)
        moved = self.s.program_windows("VexmoraBar")[0]
        self.assertEqual((moved["left"], moved["top"]), (460, 288))
        values = self.s.values()
        self.assertEqual((values["x"], values["y"]), (460, 288))
        # The panel, opened above the bar before the drag, did not follow it.
        self.assertEqual(rect(self.detail()), (300, 265, 155, 157))


if __name__ == "__main__":
    unittest.main()
