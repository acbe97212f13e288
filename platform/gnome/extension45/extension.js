// Sizewise's GNOME Shell extension for GNOME 45 and later (ES modules): serves Sizewise's D-Bus interface while enabled.

// service.js is the one of platform/gnome/extension with an export added (build-extension.sh):
// everything that talks to the Shell and the bus is shared with the GNOME 43/44 flavour.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';

import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';
import {PACKAGE_VERSION} from 'resource:///org/gnome/shell/misc/config.js';

import {SizewiseService} from './service.js';

export default class SizewiseExtension extends Extension {
    enable() {
        const [, bytes] = this.dir.get_child('io.github.sizewise.Shell1.xml').load_contents(null);
        this._service = new SizewiseService({
            Gio, GLib, Meta, global, shellVersion: PACKAGE_VERSION,
            interfaceXml: new TextDecoder().decode(bytes),
        });
        this._service.enable();
    }

    disable() {
        this._service.disable();
        this._service = null;
    }
}
