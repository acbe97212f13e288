// Sizewise's D-Bus service inside GNOME Shell: reports windows, monitors and the pointer, and places windows.
/* exported SizewiseService */
/*
 * Under Wayland no ordinary client may read or place another program's window, nor place or raise
 * its own; the Shell can, so this extension does it on Sizewise's behalf over the session bus
 * (io.github.sizewise.Shell1.xml next to this file describes the interface).
 *
 * This file is shared by both flavours of the extension: GNOME 43/44 load it through `imports`,
 * GNOME 45+ as an ES module (build-extension.sh appends the export). So it imports nothing: the
 * flavour's extension.js hands it the libraries and `global`.
 *
 * Who may call: the session bus is the user's own (its socket is in the user's runtime directory),
 * so other users cannot normally reach it; a bus configured to let others in (a test bus that
 * root joins) is still guarded by checking each caller's uid with the bus daemon, once per
 * connection: the Shell's user and root are served, anybody else is refused.
 */

const VERSION = 2;
const BUS_NAME = 'io.github.sizewise.Shell';
const OBJECT_PATH = '/io/github/sizewise/Shell';
const INTERFACE = 'io.github.sizewise.Shell1';
// How often the pointer is read while Sizewise watches it: fast enough that a click (a press held
// for about 100 ms) is not missed, slow enough to cost the Shell nothing noticeable.
const POINTER_POLL_MS = 30;

var SizewiseService = class SizewiseService {
    constructor({Gio, GLib, Meta, global, shellVersion, interfaceXml}) {
        Object.assign(this, {Gio, GLib, Meta, global, shellVersion});
        this._interfaceXml = interfaceXml;
        this._info = Gio.DBusNodeInfo.new_for_xml(interfaceXml).lookup_interface(INTERFACE);
        this._uid = new Gio.Credentials().get_unix_user();
        this._callers = new Map(); // unique bus name -> Promise of whether it may call
        this._watched = new Map(); // window id -> {window, handlers}
        this._pending = new Map(); // window id -> window, changes waiting for the idle report
        this._ownPids = new Set();
        this._madeAbove = new Set(); // windows this service keeps above, let go at the end
        this._pointerWatchers = new Map(); // unique bus name -> name watch id
        this._displayHandlers = [];
    }

    enable() {
        const {Gio, Meta, global} = this;
        this._bus = Gio.DBus.session;
        this._exported = Gio.DBusExportedObject.wrapJSObject(this._interfaceXml, this);
        for (const method of this._info.methods)
            this[`${method.name}Async`] = (params, invocation) => this._serve(method, params, invocation);
        this._exported.export(this._bus, OBJECT_PATH);
        this._nameId = Gio.bus_own_name_on_connection(this._bus, BUS_NAME, Gio.BusNameOwnerFlags.NONE, null, null);

        const display = global.display;
        this._connect(this._displayHandlers, display, 'notify::focus-window', () => this._focusChanged());
        this._monitorManager = global.backend.get_monitor_manager();
        this._monitorsId = this._monitorManager.connect('monitors-changed', () =>
            this._emit('MonitorsChanged', '(a(iiiidb))', [this._monitors()]));
        this._active = display.focus_window;
        if (this._active)
            this._watch(this._active);
    }

    disable() {
        const {Gio, GLib} = this;
        for (const [object, id] of this._displayHandlers)
            object.disconnect(id);
        this._displayHandlers = [];
        this._monitorManager.disconnect(this._monitorsId);
        for (const id of [...this._watched.keys()])
            this._unwatch(id);
        for (const window of this._madeAbove)
            window.unmake_above();
        this._madeAbove.clear();
        for (const watchId of this._pointerWatchers.values())
            Gio.bus_unwatch_name(watchId);
        this._pointerWatchers.clear();
        this._syncPointerTimer();
        if (this._idleId)
            GLib.source_remove(this._idleId);
        this._idleId = 0;
        this._pending.clear();
        this._active = null;
        // Giving the name up is what tells Sizewise the extension is gone (NameOwnerChanged).
        Gio.bus_unown_name(this._nameId);
        this._exported.unexport();
        this._exported = null;
        this._callers.clear();
    }

    get Version() {
        return VERSION;
    }

    get ShellVersion() {
        return this.shellVersion;
    }

    // --- calls -------------------------------------------------------------------------------------

    // Every method goes through here: the caller's uid is checked, then the method named "_do" + its
    // D-Bus name runs with the call's arguments and its value is sent with the out signature.
    _serve(method, params, invocation) {
        const {GLib} = this;
        this._mayCall(invocation.get_sender()).then(allowed => {
            // Disabled while the bus daemon was being asked: nothing may start again (a pointer
            // timer would outlive the extension).
            if (!this._exported) {
                invocation.return_dbus_error('org.freedesktop.DBus.Error.ServiceUnknown', 'the extension is disabled');
                return;
            }
            if (!allowed) {
                invocation.return_dbus_error('org.freedesktop.DBus.Error.AccessDenied',
                    'only the Shell\'s own user may call this');
                return;
            }
            try {
                const value = this[`_do${method.name}`](...params, invocation.get_sender());
                const signature = `(${method.out_args.map(arg => arg.signature).join('')})`;
                invocation.return_value(signature === '()' ? null
                    : new GLib.Variant(signature, method.out_args.length === 1 ? [value] : value));
            } catch (e) {
                if (e instanceof GLib.Error)
                    invocation.return_gerror(e);
                else
                    invocation.return_dbus_error('org.freedesktop.DBus.Error.Failed', String(e.message || e));
            }
        }).catch(e => invocation.return_dbus_error('org.freedesktop.DBus.Error.Failed', String(e)));
    }

    // Unique names are never reused on a bus, so the answer is kept for the connection's life;
    // the map is only cut back when it grows, which costs a caller one more question.
    _mayCall(sender) {
        const {Gio, GLib} = this;
        let answer = this._callers.get(sender);
        if (answer)
            return answer;
        if (this._callers.size > 64)
            this._callers.clear();
        answer = new Promise(resolve => {
            this._bus.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
                'GetConnectionUnixUser', new GLib.Variant('(s)', [sender]), new GLib.VariantType('(u)'),
                Gio.DBusCallFlags.NONE, -1, null, (bus, result) => {
                    try {
                        const [uid] = bus.call_finish(result).deepUnpack();
                        resolve(uid === this._uid || uid === 0);
                    } catch (e) {
                        resolve(false);
                    }
                });
        });
        this._callers.set(sender, answer);
        return answer;
    }

    _invalid(message) {
        const {Gio, GLib} = this;
        return new GLib.Error(Gio.DBusError, Gio.DBusError.INVALID_ARGS, message);
    }

    _window(id) {
        const watched = this._watched.get(id);
        if (watched)
            return watched.window;
        const window = this._windows().find(w => w.get_id() === id);
        if (!window)
            throw this._invalid(`no window ${id}`);
        this._watch(window);
        return window;
    }

    _windows() {
        return this.global.get_window_actors().map(actor => actor.meta_window).filter(w => w);
    }

    _doSetOwnProcesses(pids) {
        this._ownPids = new Set(pids);
    }

    _doGetActiveWindow() {
        return this._describe(this.global.display.focus_window);
    }

    _doGetWindow(id) {
        return this._describe(this._window(id));
    }

    _doPlace(id, x, y, width, height) {
        const {Meta} = this;
        const window = this._window(id);
        if (width < 1 || height < 1)
            throw this._invalid(`no frame of ${width} x ${height}`);
        if (window.minimized)
            window.unminimize();
        if (window.get_maximized())
            window.unmaximize(Meta.MaximizeFlags.BOTH);
        // As a user's own move would: the Shell then keeps the frame on the workspace's monitors
        // the way it does for a drag, rather than clamping it as a program's request.
        window.move_resize_frame(true, x, y, width, height);
        window.activate(this.global.get_current_time());
    }

    _doMinimize(id) {
        this._window(id).minimize();
    }

    _doUnminimize(id) {
        this._window(id).unminimize();
    }

    _doMaximize(id) {
        const window = this._window(id);
        if (window.minimized)
            window.unminimize();
        window.maximize(this.Meta.MaximizeFlags.BOTH);
    }

    _doUnmaximize(id) {
        this._window(id).unmaximize(this.Meta.MaximizeFlags.BOTH);
    }

    _doActivate(id) {
        this._window(id).activate(this.global.get_current_time());
    }

    _doSetAbove(id, above) {
        const window = this._window(id);
        if (above) {
            window.make_above();
            this._madeAbove.add(window);
        } else {
            window.unmake_above();
            this._madeAbove.delete(window);
        }
    }

    _doLower(id) {
        const {global} = this;
        const window = this._window(id);
        const hadFocus = window === global.display.focus_window;
        window.lower();
        if (!hadFocus)
            return;
        // Sizewise's own windows stay above all others: the next one is the topmost of the rest.
        const workspace = global.workspace_manager.get_active_workspace();
        const next = global.display.sort_windows_by_stacking(workspace.list_windows()).reverse().find(w =>
            w !== window && w.showing_on_its_workspace() && !w.minimized && !this._ownPids.has(w.get_pid()) &&
            w.get_window_type() === this.Meta.WindowType.NORMAL);
        if (next)
            next.activate(global.get_current_time());
    }

    _doGetMonitors() {
        return this._monitors();
    }

    _doGetPointer() {
        return this.global.get_pointer();
    }

    // A SHIFT+click over another program's window reaches that program, not the Shell's stage, and
    // a click without motion moves nothing the cursor tracker would signal; the only way to see the
    // button and modifier state is to read it, so it is read on a timer, and only while Sizewise
    // asks for it (it does while its rulers wait for a measuring click).
    _doWatchPointer(on, sender) {
        const {Gio} = this;
        const watchId = this._pointerWatchers.get(sender);
        if (on && watchId === undefined) {
            // A Sizewise that ends without saying off stops the polling by leaving the bus.
            this._pointerWatchers.set(sender, Gio.bus_watch_name_on_connection(this._bus, sender,
                Gio.BusNameWatcherFlags.NONE, null, () => this._doWatchPointer(false, sender)));
        } else if (!on && watchId !== undefined) {
            Gio.bus_unwatch_name(watchId);
            this._pointerWatchers.delete(sender);
        }
        this._lastPointer = null;
        this._syncPointerTimer();
    }

    _syncPointerTimer() {
        const {GLib} = this;
        if (this._pointerWatchers.size && !this._pointerTimer) {
            this._pointerTimer = GLib.timeout_add(GLib.PRIORITY_DEFAULT, POINTER_POLL_MS, () => {
                this._pollPointer();
                return GLib.SOURCE_CONTINUE;
            });
            this._pollPointer();
        } else if (!this._pointerWatchers.size && this._pointerTimer) {
            GLib.source_remove(this._pointerTimer);
            this._pointerTimer = 0;
        }
    }

    _pollPointer() {
        const pointer = this.global.get_pointer();
        const [x, y, mask] = pointer;
        const last = this._lastPointer;
        if (last && last[0] === x && last[1] === y && last[2] === mask)
            return;
        this._lastPointer = pointer;
        this._emit('PointerChanged', '(iiu)', [x, y, mask]);
    }

    // --- reports ------------------------------------------------------------------------------------

    _describe(window) {
        const {GLib, Meta} = this;
        if (!window)
            return {};
        const frame = window.get_frame_rect();
        const horizontal = window.maximized_horizontally, vertical = window.maximized_vertically;
        const maximized = horizontal && vertical ? 'full' : horizontal ? 'horizontal' : vertical ? 'vertical' : 'none';
        const pid = window.get_pid();
        const v = (type, value) => new GLib.Variant(type, value);
        return {
            id: v('t', window.get_id()),
            title: v('s', window.get_title() || ''),
            x: v('i', frame.x), y: v('i', frame.y), width: v('i', frame.width), height: v('i', frame.height),
            state: v('s', window.minimized ? 'minimized' : maximized !== 'none' ? 'maximized' : 'normal'),
            minimized: v('b', window.minimized),
            maximized: v('s', maximized),
            above: v('b', window.is_above()),
            active: v('b', window === this.global.display.focus_window),
            pid: v('i', Math.max(pid, 0)),
            own: v('b', pid > 0 && this._ownPids.has(pid)),
            client: v('s', window.get_client_type() === Meta.WindowClientType.X11 ? 'x11' : 'wayland'),
        };
    }

    _monitors() {
        const display = this.global.display;
        const primary = display.get_primary_monitor();
        const monitors = [];
        for (let i = 0; i < display.get_n_monitors(); ++i) {
            const r = display.get_monitor_geometry(i);
            monitors.push([r.x, r.y, r.width, r.height, display.get_monitor_scale(i), i === primary]);
        }
        return monitors.sort((a, b) => b[5] - a[5]);
    }

    _emit(name, signature, values) {
        if (this._exported)
            this._exported.emit_signal(name, new this.GLib.Variant(signature, values));
    }

    _connect(handlers, object, signal, callback) {
        handlers.push([object, object.connect(signal, callback)]);
    }

    _watch(window) {
        const id = window.get_id();
        if (this._watched.has(id))
            return;
        const handlers = [];
        const changed = () => this._changed(window);
        for (const signal of ['position-changed', 'size-changed', 'notify::title', 'notify::minimized',
            'notify::maximized-horizontally', 'notify::maximized-vertically', 'notify::above'])
            this._connect(handlers, window, signal, changed);
        this._connect(handlers, window, 'unmanaged', () => {
            this._unwatch(id);
            this._madeAbove.delete(window);
            this._emit('WindowClosed', '(t)', [id]);
        });
        this._watched.set(id, {window, handlers});
    }

    _unwatch(id) {
        const watched = this._watched.get(id);
        if (!watched)
            return;
        for (const [object, handler] of watched.handlers)
            object.disconnect(handler);
        this._watched.delete(id);
        this._pending.delete(id);
    }

    // Changes that come together (a maximise moves, resizes and changes two properties) are sent as
    // one report of the window's latest state, from an idle callback of the main loop.
    _changed(window) {
        const {GLib} = this;
        this._pending.set(window.get_id(), window);
        if (!this._idleId) {
            this._idleId = GLib.idle_add(GLib.PRIORITY_DEFAULT, () => {
                this._idleId = 0;
                const pending = [...this._pending.values()];
                this._pending.clear();
                for (const w of pending)
                    this._emit('WindowChanged', '(ta{sv})', [w.get_id(), this._describe(w)]);
                return GLib.SOURCE_REMOVE;
            });
        }
    }

    _focusChanged() {
        const window = this.global.display.focus_window;
        if (window === this._active)
            return;
        this._active = window;
        if (window)
            this._watch(window);
        this._emit('ActiveWindowChanged', '(ta{sv})', [window ? window.get_id() : 0, this._describe(window)]);
    }
};
