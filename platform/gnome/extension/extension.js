// Sizewise's GNOME Shell extension for GNOME 43 and 44 (the `imports` style): serves Sizewise's D-Bus interface while enabled.
/* exported init */

const {Gio, GLib, Meta} = imports.gi;
const Config = imports.misc.config;
const ExtensionUtils = imports.misc.extensionUtils;

const {SizewiseService} = ExtensionUtils.getCurrentExtension().imports.service;

class Extension {
    constructor(extension) {
        this._dir = extension.dir;
    }

    enable() {
        const file = this._dir.get_child('io.github.sizewise.Shell1.xml');
        const [, bytes] = file.load_contents(null);
        this._service = new SizewiseService({
            Gio, GLib, Meta, global, shellVersion: Config.PACKAGE_VERSION,
            interfaceXml: new TextDecoder().decode(bytes),
        });
        this._service.enable();
    }

    disable() {
        this._service.disable();
        this._service = null;
    }
}

function init(extension) {
    return new Extension(extension);
}
