"""The title shown is the target's, read exactly over AT-SPI: xterm sets only WM_NAME, as
COMPOUND_TEXT when the title is not Latin-1."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

TITLE = "xterm 标题 日本語 Ünï"


class TitleTest(harness.DesktopTest):
    def shown_title(self) -> str:
        # The main window's "Window:", then the title; the rulers' read-outs are labels too.
        labels = self.desktop.shown_labels()
        at = labels.index("Window:") + 1 if "Window:" in labels else len(labels)
        return labels[at] if at < len(labels) else ""

    def test_title_follows_wm_name_in_any_encoding(self) -> None:
        d = self.desktop
        d.start_accessibility()
        target = d.start_xterm(TITLE)
        properties = d.run(["xprop", "-id", str(target)])
        self.assertNotIn("_NET_WM_NAME", properties)
        self.assertIn("WM_NAME(COMPOUND_TEXT)", properties)
        self.watch(target)
        harness.wait_until(lambda: self.shown_title() == TITLE, timeout=10,
                           what=f"the title {TITLE!r}, shown: {self.shown_title()!r}")

        for fmt, title in (("8s", "A Latin-1 title: Ünï"), ("8t", "複合テキスト ≠ UTF-8"),
                           ("8u", "UTF-8 ✓")):
            # xprop stores STRING as the bytes it is given, and converts compound text from its
            # locale's encoding: UTF-8 here.
            text = title.encode("latin-1" if fmt == "8s" else "utf-8")
            d.run(["env", "LC_ALL=C.UTF-8", "xprop", "-id", str(target), "-f", "WM_NAME", fmt,
                   "-set", "WM_NAME", text])
            harness.wait_until(lambda: self.shown_title() == title, timeout=5,
                               what=f"the title {title!r}, shown: {self.shown_title()!r}")
        self.assert_sizewise_running()


if __name__ == "__main__":
    unittest.main(verbosity=2)
