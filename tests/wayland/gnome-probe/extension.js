// A test-only GNOME Shell 43 extension: puts the Shell in unsafe mode so that the tests can ask it through org.gnome.Shell.Eval.
/* exported init */

// GNOME 41 and later answer org.gnome.Shell.Eval only in unsafe mode, which no command-line
// option or setting turns on; Looking Glass can, but a headless Shell has no keyboard to open it.
// Code running inside the Shell can, so this extension does, and the tests then read windows the
// way the Shell itself sees them, independently of Sizewise's extension.
class Probe {
    enable() {
        global.context.unsafe_mode = true;
    }

    disable() {
        global.context.unsafe_mode = false;
    }
}

function init() {
    return new Probe();
}
