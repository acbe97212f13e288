// The ten preset slots of the running program, which tell of their changes.
#pragma once

#include <QObject>

#include "presets.h"

namespace sw {

// The ten slots, owned for the whole run: read at start, changed by the editor, applied by the
// preset buttons and menu and written at the end.
class Presets final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const PresetValues& values() const { return values_; }
    void setValues(const PresetValues& values);

signals:
    void changed();

private:
    PresetValues values_;
};

}  // namespace sw
