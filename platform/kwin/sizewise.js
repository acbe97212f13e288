// Sizewise's agent inside KWin: reports the active window, its changes and the pointer, and carries out commands.
/*
 * Under Wayland no ordinary client may read or place another program's window, nor place its own;
 * KWin runs this script, which does both on Sizewise's behalf. Sizewise loads it at start over the
 * session bus (org.kde.KWin /Scripting org.kde.kwin.Scripting.loadScript(path, "sizewise"), then
 * org.kde.kwin.Script.run on /N under Plasma 5.27, on /Scripting/ScriptN in later KWin sources) and
 * unloads it at exit (unloadScript("sizewise")).
 *
 * PROTOCOL 1. A KWin script can call D-Bus methods but export none, so Sizewise is the service:
 * io.github.sizewise.Sizewise, object /Sizewise, interface io.github.sizewise.KWin1
 * (platform/kwin/io.github.sizewise.KWin1.xml). Every argument and answer is one JSON object in a
 * string (callDBus passes at most nine arguments).
 *
 * Script to Sizewise:
 *   Hello(s) -> s   {"protocol": 1, "plasma": 5|6}, once at start. Answer {"protocol": 1,
 *                   "pids": [...]}: Sizewise's processes, whose windows are its own. Nothing else
 *                   is sent before the answer; another protocol number stops the script.
 *   Changed(s)      {"seq": n, "active": ID, "windows": [WINDOW...], "gone": [ID...]}
 *                   ID is KWin's internalId as a string ("{uuid}"), stable for a window's life;
 *                   "" for no active window. "windows" holds the active window (always) and every
 *                   watched window that changed; "gone" the watched windows that closed. A window
 *                   is watched once it has been active or named in a command.
 *                   WINDOW: {"id", "caption", "x", "y", "w", "h" (the frame KWin places: the
 *                   title bar KWin draws included, a shadow the client draws left out),
 *                   "minimized": bool, "maximized": "none" | "vertical" |
 *                   "horizontal" | "full", "pid", "own": bool (one of Sizewise's), "keepAbove",
 *                   "x11Id": the X11 window id of a window of XWayland, 0 for a Wayland one}.
 *                   Under 5.27 a window maximised before the script started reads as "full" when
 *                   its frame fills its screen's maximise area (no property tells). A frame and a
 *                   state that change together may come as two reports, the frame first: the
 *                   latest report is right. Co-ordinates are KWin's logical pixels.
 *   Pointer(s)      {"x", "y"}, while Sizewise follows the pointer.
 *   Screens(s)      {"bounds": RECT, "screens": [RECT...]}, RECT {"x", "y", "w", "h"}; at start,
 *                   on the "screens" command and whenever the screens change.
 *   NextCommand(s) -> s
 *                   The long poll. In: the result of the previous command, {"seq": n, "ok": bool,
 *                   "error": "..."} ({"seq": 0} when there was none). Out: one command, or "" for
 *                   none, after which the script asks again at once. Sizewise holds the call until
 *                   it has a command but answers "" within 20 s: KWin drops a call unanswered
 *                   after D-Bus's 25 s and then never calls back.
 *
 * Sizewise to script (answers to NextCommand), each {"seq": n, "op": ..., ...}; an id may also be
 * the X11 window id (a number) of a window of XWayland, as Sizewise's own windows are:
 *   place {id, x, y, w, h}    restores the window if minimised or maximised, gives it this frame,
 *                             raises and activates it. The client may round the size (a terminal
 *                             to whole character cells): the report says what landed.
 *   minimize {id} | restore {id} | maximize {id} | activate {id}
 *                             restore brings back a minimised window, else unmaximises.
 *   above {id, above}         keeps the window above others, or no longer.
 *   tool {id}                 keeps the window out of the task bar, pager and switcher.
 *                             These two and describe wait for a window of Xwayland named by an
 *                             X11 id that KWin does not manage yet ("deferred": true in the
 *                             result).
 *   lower                     sends the active window to the back and activates the next one,
 *                             as KWin's "Lower Window" shortcut does.
 *   describe {id}             watches the window and reports it.
 *   own {pid, caption, x, y, w, h, above, tool}
 *                             one of Sizewise's own windows, found by process and caption: kept
 *                             above others (above, default true), out of the task bar, pager and
 *                             switcher (tool), given this frame, never activated. A window not yet
 *                             there gets it when it appears ("deferred": true in the result).
 *   pointer {follow}          reports the pointer now and, while follow, on every move.
 *   screens                   reports the screens.
 *   ping                      nothing: its result shows the script is alive.
 *
 * Sizewise's side: a command not acknowledged by the next NextCommand is lost. A live script asks
 * again within milliseconds of an answer, so a poll answered without a new one following soon
 * means the script is gone (unloaded, KWin restarted); so does no poll at all for 26 s. Sizewise
 * then loads the script again (unloadScript first), which starts over with Hello.
 *
 * Reports are sent on KWin's signals only, never on a timer. At most one Changed and one Pointer
 * call is in flight: what changes meanwhile is sent, latest state only, when Sizewise answers, so
 * the rate follows Sizewise's pace during a drag. An answer that never comes (Sizewise gone) stops
 * holding the next report back after IN_FLIGHT_MS.
 */

const SERVICE = "io.github.sizewise.Sizewise";
const PATH = "/Sizewise";
const INTERFACE = "io.github.sizewise.KWin1";
const PROTOCOL = 1;
const IN_FLIGHT_MS = 2000;
// KWin's D-Bus calls time out after 25 s and the callback is then never called: a poll older than
// this is taken for lost and asked again at the next event.
const POLL_LOST_MS = 26000;

// Plasma 6 renamed the client calls of 5.27 to window ones; everything else here is shared.
const plasma6 = workspace.windowActivated !== undefined;
const desk = {
    active: () => plasma6 ? workspace.activeWindow : workspace.activeClient,
    activate: w => { if (plasma6) workspace.activeWindow = w; else workspace.activeClient = w; },
    windows: () => plasma6 ? workspace.windowList() : workspace.clientList(),
    activated: plasma6 ? workspace.windowActivated : workspace.clientActivated,
    added: plasma6 ? workspace.windowAdded : workspace.clientAdded,
    removed: plasma6 ? workspace.windowRemoved : workspace.clientRemoved,
    screens: () => {
        if (workspace.screens !== undefined) {
            return workspace.screens.map(output => rect(output.geometry));
        }
        const rects = [];
        for (let i = 0; i < workspace.numScreens; ++i) {
            rects.push(rect(workspace.clientArea(KWin.ScreenArea, i, workspace.currentDesktop)));
        }
        return rects;
    },
    screensChanged: [workspace.screensChanged, workspace.numberScreensChanged, workspace.screenResized,
                     workspace.virtualScreenGeometryChanged].filter(s => s !== undefined),
};

const MAXIMIZED = ["none", "vertical", "horizontal", "full"];
// 5.27 has no property for a window's maximise mode: it is kept here from the signal.
const maximizeModes = {};
let ownPids = [];
let started = false;

function idOf(w) {
    return w ? String(w.internalId) : "";
}

// The X11 window id of a window of XWayland, 0 for a Wayland one.
function x11IdOf(w) {
    return w.windowId ? Number(w.windowId) : 0;
}

function rect(r) {
    return {x: Math.round(r.x), y: Math.round(r.y), w: Math.round(r.width), h: Math.round(r.height)};
}

function keepMaximizeMode(w, horizontally, vertically) {
    maximizeModes[idOf(w)] = (vertically ? 1 : 0) | (horizontally ? 2 : 0);
}

// The first of KWin's windows that passes the test; a loop, as the list is an array under Plasma 6
// but only list-like under 5.27.
function findWindow(test) {
    const windows = desk.windows();
    for (let i = 0; i < windows.length; ++i) {
        if (test(windows[i])) {
            return windows[i];
        }
    }
    return null;
}

function maximizeMode(w) {
    if (w.maximizeMode !== undefined) {
        return w.maximizeMode;
    }
    const known = maximizeModes[idOf(w)];
    if (known !== undefined) {
        return known;
    }
    const frame = rect(w.frameGeometry), area = rect(workspace.clientArea(KWin.MaximizeArea, w));
    return frame.x === area.x && frame.y === area.y && frame.w === area.w && frame.h === area.h ? 3 : 0;
}

function describe(w) {
    const frame = rect(w.frameGeometry);
    return {id: idOf(w), caption: String(w.caption), x: frame.x, y: frame.y, w: frame.w, h: frame.h,
            minimized: !!w.minimized, maximized: MAXIMIZED[maximizeMode(w)], pid: w.pid,
            own: ownPids.indexOf(w.pid) >= 0, keepAbove: !!w.keepAbove, x11Id: x11IdOf(w)};
}

// --- reports ---------------------------------------------------------------------------------------

const changes = {windows: {}, gone: {}, dirty: false, sentAt: 0, seq: 0};
const watched = {};

function send(method, message, answered) {
    callDBus(SERVICE, PATH, INTERFACE, method, JSON.stringify(message), answered);
}

function flushChanges() {
    if (!started || !changes.dirty || (changes.sentAt && Date.now() - changes.sentAt < IN_FLIGHT_MS)) {
        return;
    }
    const active = desk.active();
    if (active) {
        changes.windows[idOf(active)] = active;
    }
    const report = {seq: ++changes.seq, active: idOf(active), windows: [], gone: Object.keys(changes.gone)};
    for (const id in changes.windows) {
        report.windows.push(describe(changes.windows[id]));
    }
    changes.windows = {};
    changes.gone = {};
    changes.dirty = false;
    changes.sentAt = Date.now();
    send("Changed", report, () => {
        changes.sentAt = 0;
        flushChanges();
    });
}

function changed(w) {
    if (w) {
        changes.windows[idOf(w)] = w;
    }
    changes.dirty = true;
    flushChanges();
    pollIfLost();
}

function watch(w) {
    const id = idOf(w);
    if (watched[id]) {
        return;
    }
    watched[id] = w;
    const report = () => changed(w);
    w.frameGeometryChanged.connect(report);
    w.captionChanged.connect(report);
    w.minimizedChanged.connect(report);
    w.keepAboveChanged.connect(report);
    if (plasma6) {
        w.maximizedChanged.connect(report);
    } else {
        // Kept before the report reads it: the workspace's own signal may come after this one.
        w.clientMaximizedStateChanged.connect((window, horizontally, vertically) => {
            keepMaximizeMode(w, horizontally, vertically);
            report();
        });
    }
}

const pointer = {follow: false, dirty: false, sentAt: 0};

function flushPointer() {
    if (!pointer.dirty || (pointer.sentAt && Date.now() - pointer.sentAt < IN_FLIGHT_MS)) {
        return;
    }
    const position = workspace.cursorPos;
    pointer.dirty = false;
    pointer.sentAt = Date.now();
    send("Pointer", {x: Math.round(position.x), y: Math.round(position.y)}, () => {
        pointer.sentAt = 0;
        flushPointer();
    });
}

function reportScreens() {
    if (started) {
        send("Screens", {bounds: rect(workspace.virtualScreenGeometry), screens: desk.screens()});
    }
}

// --- commands --------------------------------------------------------------------------------------

const pendingOwn = [];

// A window of XWayland may be named by its X11 window id (a number), as Sizewise's own windows
// are, which live there.
function windowById(id) {
    const w = watched[id] || findWindow(candidate => idOf(candidate) === id ||
                                        (typeof id === "number" && x11IdOf(candidate) === id));
    if (!w) {
        throw new Error("no window " + id);
    }
    watch(w);
    return w;
}

function setFrame(w, c) {
    w.frameGeometry = {x: c.x, y: c.y, width: Math.max(1, c.w), height: Math.max(1, c.h)};
}

function placeOwn(w, c) {
    w.keepAbove = c.above !== false;
    if (c.tool) {
        w.skipTaskbar = true;
        w.skipPager = true;
        w.skipSwitcher = true;
    }
    setFrame(w, c);
}

function isOwn(w, c) {
    return w.pid === c.pid && String(w.caption) === c.caption;
}

function claimPendingOwn(w) {
    for (let i = pendingOwn.length - 1; i >= 0; --i) {
        if (isOwn(w, pendingOwn[i])) {
            placeOwn(w, pendingOwn.splice(i, 1)[0]);
        }
    }
}

function keepAbove(w, c) {
    w.keepAbove = c.above !== false;
}

function makeTool(w) {
    w.skipTaskbar = true;
    w.skipPager = true;
    w.skipSwitcher = true;
}

// Sizewise marks and reads its own windows of Xwayland, by their X11 ids, before KWin manages
// them too: such a command waits for the window.
const pendingX11 = [];

function deferForX11(c) {
    if (typeof c.id !== "number" || findWindow(w => x11IdOf(w) === c.id)) {
        return null;
    }
    pendingX11.push(c);
    return {deferred: true};
}

function claimPendingX11(w) {
    const id = x11IdOf(w);
    for (let i = 0; id && i < pendingX11.length; ++i) {
        if (pendingX11[i].id === id) {
            const c = pendingX11.splice(i--, 1)[0];
            if (c.op === "above") {
                keepAbove(w, c);
            } else if (c.op === "tool") {
                makeTool(w);
            } else {
                watch(w);
                changed(w);
            }
        }
    }
}

const commands = {
    place: c => {
        const w = windowById(c.id);
        if (w.minimized) {
            w.minimized = false;
        }
        if (maximizeMode(w) !== 0) {
            w.setMaximize(false, false);
        }
        setFrame(w, c);
        desk.activate(w);
    },
    minimize: c => { windowById(c.id).minimized = true; },
    restore: c => {
        const w = windowById(c.id);
        if (w.minimized) {
            w.minimized = false;
        } else {
            w.setMaximize(false, false);
        }
    },
    maximize: c => {
        const w = windowById(c.id);
        w.minimized = false;
        w.setMaximize(true, true);
    },
    activate: c => desk.activate(windowById(c.id)),
    above: c => deferForX11(c) || keepAbove(windowById(c.id), c),
    tool: c => deferForX11(c) || makeTool(windowById(c.id)),
    lower: () => workspace.slotWindowLower(),
    describe: c => deferForX11(c) || changed(windowById(c.id)),
    own: c => {
        const w = findWindow(candidate => isOwn(candidate, c));
        if (!w) {
            pendingOwn.push(c);
            return {deferred: true};
        }
        placeOwn(w, c);
    },
    pointer: c => {
        pointer.follow = !!c.follow;
        pointer.dirty = true;
        flushPointer();
    },
    screens: () => reportScreens(),
    ping: () => {},
};

function carryOut(text) {
    let command;
    try {
        command = JSON.parse(text);
        const action = commands[command.op];
        if (!action) {
            throw new Error("unknown command " + command.op);
        }
        return Object.assign({seq: command.seq, ok: true}, action(command) || {});
    } catch (e) {
        return {seq: command ? command.seq : -1, ok: false, error: String(e.message || e)};
    }
}

let pollSentAt = 0;

function poll(result) {
    pollSentAt = Date.now();
    send("NextCommand", result, answer => {
        pollSentAt = 0;
        poll(answer ? carryOut(answer) : {seq: 0});
    });
}

function pollIfLost() {
    if (pollSentAt && Date.now() - pollSentAt > POLL_LOST_MS) {
        poll({seq: 0});
    }
}

// --- start -----------------------------------------------------------------------------------------

desk.activated.connect(w => {
    if (w) {
        watch(w);
    }
    changed(w);
});
if (!plasma6) {
    workspace.clientMaximizeSet.connect(keepMaximizeMode);
}
// Sizewise's own windows may get their caption after they appear.
function adopt(w) {
    claimPendingOwn(w);
    claimPendingX11(w);
    w.captionChanged.connect(() => claimPendingOwn(w));
}
const present = desk.windows();
for (let i = 0; i < present.length; ++i) {
    adopt(present[i]);
}
desk.added.connect(adopt);
desk.removed.connect(w => {
    const id = idOf(w);
    delete maximizeModes[id];
    if (watched[id]) {
        delete watched[id];
        delete changes.windows[id];
        changes.gone[id] = true;
        changed(null);
    }
});
workspace.cursorPosChanged.connect(() => {
    if (pointer.follow) {
        pointer.dirty = true;
        flushPointer();
    }
});
desk.screensChanged.forEach(signal => signal.connect(reportScreens));

callDBus(SERVICE, PATH, INTERFACE, "Hello", JSON.stringify({protocol: PROTOCOL, plasma: plasma6 ? 6 : 5}), answer => {
    const welcome = JSON.parse(answer || "{}");
    if (welcome.protocol !== PROTOCOL) {
        print("sizewise.js: Sizewise speaks protocol " + welcome.protocol + ", this script " + PROTOCOL);
        return;
    }
    ownPids = welcome.pids || [];
    started = true;
    const active = desk.active();
    if (active) {
        watch(active);
    }
    changed(active);
    reportScreens();
    poll({seq: 0});
});
