"""`cmake --install` into a temporary prefix: every file Sizewise installs is in place, and the
desktop entry, AppStream metadata, manual page, icons and help links pass their checks."""

import gzip
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest

BUILD, SOURCE = os.environ.get("SIZEWISE_BUILD_DIR", "build"), os.environ.get("SIZEWISE_SOURCE_DIR", ".")
ICONS = {"share/icons/hicolor/%dx%d/apps/sizewise.png" % (s, s): s for s in (16, 22, 24, 32, 48, 64, 128, 256)}
METAINFO = "share/metainfo/io.github.sizewise.Sizewise.metainfo.xml"
HELP = sorted(os.listdir(os.path.join(SOURCE, "docs", "help")))


def run(*command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=120, **kwargs)


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="sizewise-install-")
        # The install rewrites the build's list of installed files, which a developer's own
        # install left there for uninstalling: it is put back afterwards.
        cls.manifest = os.path.join(BUILD, "install_manifest.txt")
        cls.saved = open(cls.manifest, "rb").read() if os.path.isfile(cls.manifest) else None
        result = run("cmake", "--install", BUILD, "--prefix", cls.prefix)
        assert result.returncode == 0, "cmake --install failed:\n" + result.stdout + result.stderr

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)
        if cls.saved is not None:
            open(cls.manifest, "wb").write(cls.saved)
        elif os.path.isfile(cls.manifest):
            os.remove(cls.manifest)

    def path(self, relative):
        return os.path.join(self.prefix, relative)

    def checked(self, *command):
        result = run(*command, env=dict(os.environ, MANWIDTH="80"))
        self.assertEqual((result.returncode, result.stderr.strip()), (0, ""), result.stdout)
        return result.stdout

    def test_every_file_is_in_place_and_valid(self):
        files = ["bin/sizewise", "share/applications/sizewise.desktop", "share/icons/hicolor/scalable/apps/sizewise.svg",
                 METAINFO, "share/man/man1/sizewise.1.gz", "share/doc/sizewise/copyright",
                 "share/doc/sizewise/changelog.Debian.gz"] + list(ICONS) + ["share/sizewise/help/" + p for p in HELP] + \
            [f"share/sizewise/gnome-shell/sizewise-gnome{v}.zip" for v in (43, 45)]
        self.assertEqual([f for f in files if not os.path.isfile(self.path(f))], [])
        for icon, size in ICONS.items():
            header = open(self.path(icon), "rb").read(24)
            self.assertEqual((header[:8], struct.unpack(">II", header[16:24])), (b"\x89PNG\r\n\x1a\n", (size, size)))
        self.checked("desktop-file-validate", self.path("share/applications/sizewise.desktop"))
        entry = open(self.path("share/applications/sizewise.desktop")).read()
        self.assertRegex(entry, r"(?m)^Exec=sizewise\n(?:.*\n)*?Icon=sizewise$")
        self.checked("appstreamcli", "validate", "--no-net", self.path(METAINFO))
        text = open(self.path(METAINFO)).read()
        self.assertIn('<url type="homepage">%s</url>' % os.environ.get("SIZEWISE_HOMEPAGE", ""), text)
        self.assertIsNone(re.search(r"@[A-Z_]+@", text), "a variable left unfilled")

    def test_the_manual_page_renders_and_the_help_links_lead_to_installed_pages(self):
        page = self.path("share/man/man1/sizewise.1.gz")
        for section in ("NAME", "SYNOPSIS", "OPTIONS", "DESCRIPTION", "FILES"):
            self.assertRegex(gzip.open(page, "rt").read(), r"(?m)^\.SH %s$" % section)
        self.checked("man", "--warnings", "-l", page)
        self.assertIn('"sizewise - ', run("lexgrog", page).stdout)
        folder = self.path("share/sizewise/help")
        links = [(p, t) for p in HELP if p.endswith(".html")
                 for t in re.findall(r'(?:href|src)="([^"#]+)', open(os.path.join(folder, p)).read())]
        self.assertEqual([f"{p} -> {t}" for p, t in links if "://" not in t and not t.startswith("mailto:")
                          and not os.path.isfile(os.path.join(folder, t))], [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
