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

BUILD = os.environ.get("SIZEWISE_BUILD_DIR", "build")
SOURCE = os.environ.get("SIZEWISE_SOURCE_DIR", ".")
HOMEPAGE = os.environ.get("SIZEWISE_HOMEPAGE", "")
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
METAINFO = "share/metainfo/io.github.sizewise.Sizewise.metainfo.xml"


def help_pages():
    return sorted(os.listdir(os.path.join(SOURCE, "docs", "help")))


def expected_files():
    files = [
        "bin/sizewise",
        "share/applications/sizewise.desktop",
        "share/icons/hicolor/scalable/apps/sizewise.svg",
        METAINFO,
        "share/man/man1/sizewise.1.gz",
        "share/doc/sizewise/copyright",
        "share/doc/sizewise/changelog.Debian.gz",
    ]
    files += ["share/icons/hicolor/%dx%d/apps/sizewise.png" % (s, s) for s in ICON_SIZES]
    files += ["share/sizewise/help/" + page for page in help_pages()]
    return files


def run(*command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=120, **kwargs)


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    assert header[:8] == b"\x89PNG\r\n\x1a\n", path + " is no PNG"
    return struct.unpack(">II", header[16:24])


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="sizewise-install-")
        # cmake --install overwrites the build's list of installed files, which a developer's
        # own install left there for uninstalling; it is put back afterwards.
        cls.manifest = os.path.join(BUILD, "install_manifest.txt")
        cls.saved_manifest = None
        if os.path.isfile(cls.manifest):
            with open(cls.manifest, "rb") as f:
                cls.saved_manifest = f.read()
        result = run("cmake", "--install", BUILD, "--prefix", cls.prefix)
        if result.returncode != 0:
            cls.tearDownClass()
            raise AssertionError("cmake --install failed:\n" + result.stdout + result.stderr)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)
        if cls.saved_manifest is None:
            if os.path.isfile(cls.manifest):
                os.remove(cls.manifest)
        else:
            with open(cls.manifest, "wb") as f:
                f.write(cls.saved_manifest)

    def path(self, relative):
        return os.path.join(self.prefix, relative)

    def test_every_file_is_installed(self):
        missing = [f for f in expected_files() if not os.path.isfile(self.path(f))]
        self.assertEqual(missing, [])
        self.assertTrue(os.access(self.path("bin/sizewise"), os.X_OK))

    def test_the_help_is_where_the_program_looks_relative_to_itself(self):
        beside = os.path.join(self.path("bin"), "..", "share", "sizewise", "help", "index.html")
        self.assertTrue(os.path.isfile(beside))

    def test_desktop_entry_validates_and_names_the_program_and_icon(self):
        entry = self.path("share/applications/sizewise.desktop")
        result = run("desktop-file-validate", entry)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertNotIn("error", result.stdout + result.stderr)
        with open(entry, encoding="utf-8") as f:
            text = f.read()
        self.assertRegex(text, r"(?m)^Exec=sizewise$")
        self.assertRegex(text, r"(?m)^Icon=sizewise$")

    def test_appstream_metadata_validates_and_carries_the_web_site(self):
        metainfo = self.path(METAINFO)
        result = run("appstreamcli", "validate", "--no-net", metainfo)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        with open(metainfo, encoding="utf-8") as f:
            text = f.read()
        self.assertIn('<url type="homepage">%s</url>' % HOMEPAGE, text)
        self.assertIn("<launchable type=\"desktop-id\">sizewise.desktop</launchable>", text)
        self.assertIsNone(re.search(r"@[A-Z_]+@", text), "a variable left unfilled")

    def test_manual_page_renders_without_warnings_and_has_its_name_line(self):
        page = self.path("share/man/man1/sizewise.1.gz")
        with gzip.open(page, "rt", encoding="utf-8") as f:
            source = f.read()
        for section in ("NAME", "SYNOPSIS", "DESCRIPTION", "ENVIRONMENT", "FILES", "NOTES"):
            self.assertRegex(source, r"(?m)^\.SH %s$" % section)
        self.assertIn("Sizewise.conf", source)
        rendered = run("man", "--warnings", "-l", page, env=dict(os.environ, MANWIDTH="80"))
        self.assertEqual(rendered.returncode, 0, rendered.stderr)
        self.assertEqual(rendered.stderr.strip(), "")
        name = run("lexgrog", page)
        self.assertEqual(name.returncode, 0, name.stdout + name.stderr)
        self.assertIn('"sizewise - ', name.stdout)

    def test_each_icon_is_the_size_its_folder_names(self):
        for s in ICON_SIZES:
            self.assertEqual(png_size(self.path("share/icons/hicolor/%dx%d/apps/sizewise.png" % (s, s))), (s, s))

    def test_every_link_between_help_pages_leads_to_an_installed_file(self):
        folder = self.path("share/sizewise/help")
        broken = []
        for page in help_pages():
            if not page.endswith(".html"):
                continue
            with open(os.path.join(folder, page), encoding="utf-8") as f:
                for target in re.findall(r'(?:href|src)="([^"#]+)', f.read()):
                    if "://" in target or target.startswith("mailto:"):
                        continue
                    if not os.path.isfile(os.path.join(folder, target)):
                        broken.append(page + " -> " + target)
        self.assertEqual(broken, [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
