// The target's watcher: whenever the desktop says something changed, it reads which window is in
// the foreground, decides the target (never one of the program's own windows, never an untitled
// window once a target has been seen) and reads the target's title, frame and state. When it
// starts, an untitled foreground window is pushed to the back, up to ten times, for a titled one.
#pragma once

#include <chrono>

#include <QObject>

#include "clock.h"
#include "desktop.h"

class QTimer;

namespace sw {

// What one reading found.
struct TargetReading {
    WindowId foreground = 0;
    bool foregroundIsOwn = false;  // one of the program's own windows
    WindowId window = 0;           // the target
    WindowInfo info;               // as read, the title cut to 254 characters
    // The frame as the program shows it: a minimised window at (-32000, -32000) with the size it
    // is restored to; while a command lands, what the command asked for.
    Rect frame;
    // A command's change has not landed yet.
    bool landing = false;
    friend bool operator==(const TargetReading&, const TargetReading&) = default;
};

// Left and Top of a minimised window as the program shows and reasons with them: where Windows
// parks such windows.
inline constexpr std::int32_t kMinimisedPosition = -32000;

// The one place where a window's state becomes the program's own encoding: a minimised window
// reads at (-32000, -32000) with the size it is restored to; any other window as it is.
Rect shownFrame(const WindowInfo& info);

class TargetWatcher final : public QObject {
    Q_OBJECT

public:
    // How many times the start pushes an untitled foreground window back.
    static constexpr int kStartAttempts = 10;
    // A burst of changes is read at its first change, then at most this often.
    static constexpr std::chrono::milliseconds kReadSpacing{10};

    TargetWatcher(WindowSystem& windows, Clock clock, QObject* parent = nullptr);

    // Picks the first target, then reads whenever the desktop changes, until stop().
    void start();
    void stop();
    // A reading as soon as the spacing allows, from the event loop.
    void readSoon();
    // Whether a window is one of the program's own.
    static bool isOwnWindow(WindowId window);

signals:
    void read(const sw::TargetReading& reading);

private:
    void pickFirst();
    void desktopChanged();
    bool mayReadNow() const;
    void readNow();

    WindowSystem& windows_;
    Clock clock_;
    QTimer* due_ = nullptr;  // the next reading, when one is due
    bool running_ = false;
    WindowId target_ = 0;
    WindowInfo info_;
    TimePoint lastRead_{};
    // The spacing holds back bursts of changes, which is what each reading in them finds. A
    // reading that found nothing new holds back no reading: a window manager announces a switch
    // in steps a millisecond apart (the old window's frame, no active window, the new one), and
    // the last step would wait out the spacing.
    bool holdsNextBack_ = true;
};

}  // namespace sw
