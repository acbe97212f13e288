// The desktop's monitors and resolution as the program knows them: read once at start and again
// whenever the desktop says they changed, held in one place, and told to the parts that show or
// place anything by them.
#pragma once

#include <QObject>

#include "desktop.h"

namespace sw {

class ScreenModel final : public QObject {
    Q_OBJECT

public:
    explicit ScreenModel(Screen& screen, QObject* parent = nullptr);
    ~ScreenModel() override;

    const ScreenMetrics& metrics() const { return metrics_; }
    const std::vector<Rect>& monitors() const { return metrics_.monitors; }

signals:
    // The monitors or the resolution changed; metrics() holds the new ones.
    void changed();

private:
    void reread();

    Screen& screen_;
    ScreenMetrics metrics_;
};

}  // namespace sw
