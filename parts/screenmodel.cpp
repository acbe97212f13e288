// The desktop's monitors and resolution, kept up to date.
#include "screenmodel.h"

namespace sw {

ScreenModel::ScreenModel(Screen& screen, QObject* parent)
    : QObject(parent), screen_(screen), metrics_(screen.metrics()) {
    screen_.setMonitorsHandler([this] { reread(); });
}

ScreenModel::~ScreenModel() {
    screen_.setMonitorsHandler(nullptr);
}

void ScreenModel::reread() {
    ScreenMetrics now = screen_.metrics();
    if (now == metrics_) return;
    metrics_ = std::move(now);
    emit changed();
}

}  // namespace sw
