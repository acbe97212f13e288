"""The two rulers with the real program on real window managers: first-run place, locks and
following a real client, the refusal for a minimised target, stretching to the minimum, the
locked drag, the pointer read-out and measuring, the switch, settings across a restart, and the
scale's ticks on the exact screen pixels at device pixel ratios 1 and 2."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Rect, wait_until  # noqa: E402

H_NAME, V_NAME = "Sizewise Horizontal Ruler", "Sizewise Vertical Ruler"
H_THICK, V_THICK = 41, 57
# The lock buttons: along the horizontal ruler's control box, which ends 15 px before the
# ruler's far end, and down the vertical ruler's box at 16 px.
H_LOCK = {"screen": -100 + 10, "window": -100 + 31, "free": -100 + 52, "close": -100 + 74}
V_LOCK = {"screen": 16 + 10, "window": 16 + 31, "free": 16 + 52}


def ruler_settings(h_left: int, h_top: int, v_left: int, v_top: int, mode: int = 0,
                   h_len: int = 433, v_len: int = 433) -> str:
    t = harness.TWIPS
    return (f"[HorizontalRulerConfig]\nTop={h_top * t}\nLeft={h_left * t}\nWidth={h_len}\n"
            f"[RulerConfig]\nMode={mode}\n"
            f"[VerticalRulerConfig]\nLeft={v_left * t}\nTop={v_top * t}\nHeight={v_len}\n")


class RulersTest(harness.DesktopTest):
    def ruler(self, name: str) -> int:
        def find():
            for w in self.desktop.search("--name", f"^{name}$"):
                if self.desktop.exists(w) and self.desktop.is_viewable(w):
                    return w
            return None
        return wait_until(find, timeout=10, what=name)

    def rect(self, window: int) -> Rect:
        return self.desktop.client_rect(window)

    def assert_rect(self, window: int, expected: Rect, timeout: float = 3) -> None:
        try:
            wait_until(lambda: self.rect(window) == expected, timeout=timeout)
        except AssertionError:
            self.assertEqual(self.rect(window), expected)

    def click_lock(self, window: int, which: str) -> None:
        if window == self.h:
            self.desktop.click(window, self.rect(window).w + H_LOCK[which], 10)
        else:
            self.desktop.click(window, 10, V_LOCK[which])
        time.sleep(harness.POLL_WAIT)

    def drag_on_screen(self, window: int, start: tuple, offset: tuple, steps: int = 10) -> None:
        """Presses at start (window co-ordinates) and moves by offset in screen co-ordinates:
        the window moves under the pointer, so the steps must not be relative to it."""
        r = self.rect(window)
        x0, y0 = r.x + start[0], r.y + start[1]
        args = ["xdotool", "mousemove", str(x0), str(y0), "mousedown", "1"]
        for step in range(1, steps + 1):
            args += ["sleep", "0.02", "mousemove", str(x0 + round(offset[0] * step / steps)),
                     str(y0 + round(offset[1] * step / steps))]
        self.desktop.run(args + ["sleep", "0.05", "mouseup", "1"], timeout=30)

    def start_with_rulers(self, settings: str = "") -> None:
        if settings:
            self.desktop.write_settings(settings)
        self.watch()
        self.h, self.v = self.ruler(H_NAME), self.ruler(V_NAME)

    def test_locks_follow_the_target_and_refuse_a_minimised_one(self) -> None:
        d = self.desktop
        self.start_with_rulers(ruler_settings(300, 400, 900, 200))
        # Above every window, out of the task bar and the pager.
        wanted = {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}
        for ruler in (self.h, self.v):
            wait_until(lambda: wanted <= d.net_wm_state(ruler), timeout=3,
                       what=f"{wanted} on the ruler: {d.net_wm_state(ruler)}")
        self.click_lock(self.h, "screen")
        self.assert_rect(self.h, Rect(0, 400, 1024, H_THICK))
        self.click_lock(self.h, "window")
        self.click_lock(self.v, "window")
        frame = d.outer_rect(self.target)
        self.assert_rect(self.h, Rect(frame.x, 400, frame.w, H_THICK))
        self.assert_rect(self.v, Rect(900, frame.y, V_THICK, frame.h))

        # Moved and resized by another program: the rulers follow within a poll or two.
        d.run(["xdotool", "windowsize", str(self.target), "500", "300",
               "windowmove", str(self.target), "120", "90"])
        moved = wait_until(lambda: (lambda f: f if f != frame and f.w < frame.w else None)(
            d.outer_rect(self.target)), timeout=3, what="the target moved and resized")
        time.sleep(0.3)
        moved = d.outer_rect(self.target)
        self.assert_rect(self.h, Rect(moved.x, 400, moved.w, H_THICK), timeout=1)
        self.assert_rect(self.v, Rect(900, moved.y, V_THICK, moved.h), timeout=1)

        other = d.start_testclient("Other window", "300x200+500+450")
        d.activate(other)
        other_frame = d.outer_rect(other)
        self.assert_rect(self.h, Rect(other_frame.x, 400, other_frame.w, H_THICK), timeout=1)

        # Minimised from Sizewise itself, the window stays the target.
        d.focus_sizewise(self.main)
        d.click(self.main, *harness.BUTTON_MINIMISE)
        wait_until(lambda: not d.is_viewable(other), timeout=3, what="the target minimised")
        time.sleep(harness.POLL_WAIT)
        before = self.rect(self.v)
        self.click_lock(self.v, "screen")
        self.click_lock(self.v, "window")
        message = wait_until(self.lock_refusal, timeout=3, what="the lock refusal")
        self.assertEqual(self.rect(self.v), Rect(900, 0, V_THICK, 768))
        self.assertNotEqual(before, self.rect(self.v))
        d.activate(message)
        d.key("Return")
        wait_until(lambda: not d.exists(message) or not d.is_viewable(message), timeout=3,
                   what="the refusal closed")
        self.assert_sizewise_running()

    def lock_refusal(self):
        for w in self.desktop.search("--name", "^Sizewise$"):
            if w != self.main and self.desktop.exists(w) and self.desktop.is_viewable(w):
                return w
        return None

    def test_handles_stop_at_301_and_a_locked_ruler_moves_only_across(self) -> None:
        d = self.desktop
        self.start_with_rulers(ruler_settings(300, 400, 900, 200))
        self.drag_on_screen(self.h, (428, 22), (-200, 0))
        self.assert_rect(self.h, Rect(300, 400, 301, H_THICK))
        self.drag_on_screen(self.v, (12, 5), (0, 200))
        self.assert_rect(self.v, Rect(900, 332, V_THICK, 301))

        self.click_lock(self.h, "screen")
        self.assert_rect(self.h, Rect(0, 400, 1024, H_THICK))
        self.drag_on_screen(self.h, (600, 20), (60, 100))
        self.assert_rect(self.h, Rect(0, 500, 1024, H_THICK))
        self.click_lock(self.h, "free")
        self.assert_rect(self.h, Rect(300, 500, 301, H_THICK))
        self.drag_on_screen(self.h, (190, 20), (40, 30))
        self.assert_rect(self.h, Rect(340, 530, 301, H_THICK))

        # Saved as free, at the place each had when last free.
        self.click_lock(self.h, "screen")
        d.menu_exit(self.main)
        self.assert_exits_cleanly()
        s = d.read_settings()
        t = harness.TWIPS
        self.assertEqual(dict(s["HorizontalRulerConfig"]),
                         {"Top": str(530 * t), "Left": str(340 * t), "Width": "301"})
        self.assertEqual(dict(s["VerticalRulerConfig"]),
                         {"Left": str(900 * t), "Top": str(332 * t), "Height": "301"})

    def test_first_run_the_switch_and_a_restart(self) -> None:
        d = self.desktop
        self.start_with_rulers()
        self.assertEqual(self.rect(self.h), Rect(0, 0, 433, H_THICK))
        self.assertEqual(self.rect(self.v), Rect(0, 0, V_THICK, 433))
        # The close button, then the menu entry, hide and show both.
        # Out of the main window's way: at first both lie over its corner.
        d.run(["xdotool", "windowmove", str(self.h), "200", "300"])
        d.run(["xdotool", "windowmove", str(self.v), "700", "300"])
        self.assert_rect(self.h, Rect(200, 300, 433, H_THICK))
        self.assert_rect(self.v, Rect(700, 300, V_THICK, 433))
        self.click_lock(self.h, "close")
        wait_until(lambda: not d.is_viewable(self.h) and not d.is_viewable(self.v), timeout=3,
                   what="both rulers hidden")
        d.open_menu(self.main)
        d.key("o", "r")
        wait_until(lambda: d.is_viewable(self.h) and d.is_viewable(self.v), timeout=3,
                   what="both rulers shown")
        d.click(self.main, *harness.RULERS_CHECK)
        wait_until(lambda: not d.is_viewable(self.h), timeout=3, what="hidden by the switch")
        d.menu_exit(self.main)
        self.assert_exits_cleanly()
        self.assertEqual(d.config()["ShowRuler"], "False")
        self.assertEqual(dict(d.read_settings()["RulerConfig"]), {"Mode": "0"})

        d.write_settings(open(d.settings_path).read().replace("ShowRuler=False", "ShowRuler=True"))
        self.main = self.start_sizewise()
        self.h = self.ruler(H_NAME)
        self.assert_rect(self.h, Rect(200, 300, 433, H_THICK))


class MeasuringTest(harness.DesktopTest):
    """The read-outs are read exactly over AT-SPI."""

    def labels(self) -> list:
        return self.desktop.shown_labels()

    def test_coordinates_and_shift_click_measuring_anywhere_on_the_desktop(self) -> None:
        d = self.desktop
        d.start_accessibility()
        d.write_settings(ruler_settings(150, 500, 700, 80))
        self.watch()
        d.run(["xdotool", "mousemove", "400", "300"])
        wait_until(lambda: "250,220" in self.labels(), timeout=10,
                   what=f"the relative read-out 250,220 in {self.labels()}")

        # Absolute, from the ruler's menu: both numbers are screen co-ordinates now.
        h = wait_until(lambda: (d.search("--name", f"^{H_NAME}$") or [None])[0], what="ruler")
        d.click(h, 28, 8)
        wait_until(d.popup_menu, timeout=3, what="the ruler's menu")
        d.key("Down", "Right", "Down", "Return")
        d.run(["xdotool", "mousemove", "400", "301"])
        wait_until(lambda: "400,301" in self.labels(), timeout=5,
                   what=f"the absolute read-out 400,301 in {self.labels()}")

        # SHIFT+click in another application's window starts; the read-out follows the pointer.
        d.run(["xdotool", "mousemove", "300", "250", "keydown", "shift", "click", "1", "keyup",
               "shift", "mousemove", "450", "310"])
        wait_until(lambda: "150 X 60" in self.labels(), timeout=5,
                   what=f"the measure 150 X 60 in {self.labels()}")
        # A left click ends it and keeps the size; a right click clears it.
        d.run(["xdotool", "click", "1", "mousemove", "500", "400"])
        time.sleep(0.3)
        self.assertIn("150 X 60", self.labels())
        d.run(["xdotool", "click", "3"])
        wait_until(lambda: not any(" X " in t and t != "0 X 0" for t in self.labels()), timeout=5,
                   what=f"the measure cleared in {self.labels()}")
        self.assert_sizewise_running()


class ScaleTest(harness.DesktopTest):
    """Ticks every 10 screen pixels and half ticks between, on the exact columns: the bottom row
    of the horizontal ruler is black exactly where the screen x is a multiple of 5 (absolute
    numbers, so the tick numbered N stands at screen x = N)."""

    def tick_columns(self, row: int) -> set:
        width, height, pixels = harness._ppm_pixels(self.desktop.capture("root", (0, row, 1024, 1)))
        return {x for x, p in enumerate(pixels) if not any(p)}

    def check(self, env: dict, thickness: int, length: int) -> None:
        d = self.desktop
        left, top = 100, 400
        d.write_settings(ruler_settings(left, top, 950, 0, mode=1) + "[Config]\nShowLayout=False\n")
        d.sizewise = d.spawn_sizewise(env=env)
        wait_until(lambda: d.search("--onlyvisible", "--name", f"^{H_NAME}$"), timeout=15,
                   what="the horizontal ruler")
        d.run(["xdotool", "mousemove", "1000", "700"])
        inside = range(left + 12 * 2, left + length - 12 * 2)  # clear of the handles
        expected = [x for x in inside if x % 5 == 0]
        # The splash stands in the middle of the screen for its first three seconds.
        row = top + thickness - 1
        seen = lambda: sorted(x for x in self.tick_columns(row) if x in inside)
        try:
            wait_until(lambda: seen() == expected, timeout=10, interval=0.25)
        except AssertionError:
            self.assertEqual(seen(), expected)
        d.sizewise.terminate()
        d.sizewise.wait(10)

    def test_ticks_on_exact_screen_pixels_at_ratio_1(self) -> None:
        self.check({}, 41, 433)

    def test_ticks_on_exact_screen_pixels_at_ratio_2(self) -> None:
        self.check({"QT_SCALE_FACTOR": "2"}, 82, 434)


class RulersOnXfwm4Test(RulersTest):
    wm = "xfwm4"


class RulersOnMetacityTest(RulersTest):
    wm = "metacity"


if __name__ == "__main__":
    unittest.main(verbosity=2)
