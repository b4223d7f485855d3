"""The update check at start, against a scripted update site on loopback.

vexmora_loopback.exe is the program built with its update site at
127.0.0.1:18480; everything else is the same program.
"""

import http.server
import os
import socket
import threading
import time
import unittest

from harness import BUILD_DIR, SessionTest, tearDownModule  # noqa: F401

LOOPBACK_EXE = os.path.abspath(os.path.join(BUILD_DIR, "vexmora_loopback.exe"))
PORT = 18480
DOWNLOAD_PAGE = f"http://127.0.0.1:{PORT}/qmv"


class Site:
    """A threaded HTTP server that answers every GET with one scripted response."""

    def __init__(self):
        self.status = 200
        self.body = b"2"
        self.silent = False
        self.trickle = False      # send the body one byte at a time, slowly
        self.requests = []        # (request line, headers dict)
        self.silent_hangups = []  # seconds from a silent request to the client closing
        self.trickle_hangups = []  # seconds from a trickled request to the client closing
        self.stopping = threading.Event()
        site = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                site.requests.append((self.requestline, {k.lower(): v for k, v in self.headers.items()}))
                if site.silent:
                    site.silent_hangups.append(self._wait_for_hangup())
                    return
                self.send_response(site.status)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(len(site.body)))
                self.end_headers()
                if not site.trickle:
                    self.wfile.write(site.body)
                    return
                arrived = time.time()
                try:
                    self.wfile.flush()
                    for byte in site.body:
                        if site.stopping.is_set():
                            return
                        self.connection.sendall(bytes([byte]))
                        time.sleep(0.3)
                except OSError:
                    site.trickle_hangups.append(time.time() - arrived)

            def _wait_for_hangup(self):
                arrived = time.time()
                self.connection.settimeout(0.1)
                while not site.stopping.is_set() and time.time() - arrived < 30:
                    try:
                        if self.connection.recv(1024) == b"":
                            return time.time() - arrived
                    except socket.timeout:
                        continue
                    except OSError:
                        return time.time() - arrived
                return None

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", PORT), Handler)
        self.server.daemon_threads = True
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.stopping.set()
        self.server.shutdown()
        self.server.server_close()
        self.thread.join(timeout=10)


class UpdateCheckTest(SessionTest):
    def setUp(self):
        super().setUp()
        self.seed_usable(提示=0)
        if os.path.exists(self.s.browser_log):
            os.remove(self.s.browser_log)
        self.site = None

    def tearDown(self):
        super().tearDown()
        if self.site:
            self.site.close()

    def serve(self, body=b"2", status=200, silent=False):
        self.site = Site()
        self.site.body, self.site.status, self.site.silent = body, status, silent
        return self.site

    def start_and_wait_for_bar(self):
        program = self.s.start(LOOPBACK_EXE)
        self.s.wait_for_window("VexmoraBar")
        return program

    def assert_opens_nothing(self):
        # The page would be opened before the bar is shown; give the
        # browser launcher time to report it all the same.
        time.sleep(3)
        self.assertEqual(self.s.browser_urls(), [])

    def assert_opens_the_download_page_once(self):
        self.s.wait_for(lambda: self.s.browser_urls(), timeout=20, message="browser launch")
        time.sleep(2)
        self.assertEqual(self.s.browser_urls(), [DOWNLOAD_PAGE])

    def test_our_own_version_text_opens_nothing_and_the_request_is_the_plain_one(self):
        site = self.serve(b"2")
        self.start_and_wait_for_bar()
        self.assert_opens_nothing()
        self.assertEqual(len(site.requests), 1)
        line, headers = site.requests[0]
        self.assertEqual(line, "GET /qmv/DRT.dll HTTP/1.0")
        self.assertEqual(headers.get("user-agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)")
        self.assertEqual(headers.get("accept"), "*/*")
        self.assertIn("no-cache", headers.get("pragma", "") + headers.get("cache-control", ""))

    def test_any_other_text_opens_the_download_page(self):
        for body in (b"2\n", b" 2", b"3"):
            with self.subTest(body=body):
                self.serve(body)
                try:
                    program = self.start_and_wait_for_bar()
                    self.assert_opens_the_download_page_once()
                    self.s.stop(program)
                finally:
                    self.site.close()
                    self.site = None
                    if os.path.exists(self.s.browser_log):
                        os.remove(self.s.browser_log)

    def test_only_the_text_before_a_nul_counts(self):
        self.serve(b"2\x00" + b"x" * 5000)
        self.start_and_wait_for_bar()
        self.assert_opens_nothing()

    def test_an_error_page_opens_nothing(self):
        self.serve(b"<html><body>Not Found</body></html>", status=404)
        self.start_and_wait_for_bar()
        self.assert_opens_nothing()

    def test_no_site_opens_nothing(self):
        with socket.socket() as probe:  # nothing listens on the port
            self.assertNotEqual(probe.connect_ex(("127.0.0.1", PORT)), 0)
        self.start_and_wait_for_bar()
        self.assert_opens_nothing()

    def test_a_silent_site_is_given_up_on_and_the_bar_still_appears(self):
        site = self.serve(silent=True)
        started = time.time()
        program = self.s.start(LOOPBACK_EXE)
        self.s.wait_for_window("VexmoraBar", timeout=60)
        shown_after = time.time() - started
        self.s.wait_for(lambda: site.silent_hangups, timeout=30, message="the client giving up")
        waited = site.silent_hangups[0]
        print(f"\nsilent site: client gave up after {waited:.2f} s; bar shown {shown_after:.2f} s after start")
        self.assertIsNotNone(waited, "the program never gave up on the silent site")
        self.assertLess(waited, 5.0)
        self.assert_opens_nothing()
        self.assertIsNone(program.poll())

    def test_a_trickled_body_is_cut_short_and_what_arrived_is_compared(self):
        site = self.serve(b"2" * 200)  # 60 s at this pace
        site.trickle = True
        program = self.start_and_wait_for_bar()
        self.s.wait_for(lambda: site.trickle_hangups, timeout=30, message="the client giving up")
        print(f"\ntrickled body: client gave up after {site.trickle_hangups[0]:.2f} s")
        self.assertLess(site.trickle_hangups[0], 5.0)
        # Some "2"s arrived; more than one is another text.
        self.assert_opens_the_download_page_once()
        self.assertIsNone(program.poll())

    def test_a_second_copy_checks_then_ends(self):
        site = self.serve(b"2")
        first = self.start_and_wait_for_bar()
        self.assertEqual(len(site.requests), 1)
        site.body = b"3"
        second = self.s.start(LOOPBACK_EXE)
        self.assertEqual(second.wait(timeout=60), 0)
        self.assertEqual(len(site.requests), 2)
        self.assert_opens_the_download_page_once()
        self.assertIsNone(first.poll())
        self.assertEqual(len(self.s.program_windows("VexmoraBar")), 1)


if __name__ == "__main__":
    unittest.main()
