// The six dimensions on the main window: captions and values of Left, Top, Right, Bottom, Width
// and Height, as the target shows its frame, and the entry panel that opens over a clicked value
// to type a new one, which places the target.
#pragma once

#include <array>

#include <QObject>

#include "dimensionedit.h"

class QFrame;
class QToolButton;
class QWidget;

namespace sw {

class ClickLabel;
class Target;
class ValueBox;
struct TargetReading;

class DimensionPanel final : public QObject {
    Q_OBJECT

public:
    // The labels and the panel are made on window, at their design places.
    DimensionPanel(QWidget* window, Target& target);
    ~DimensionPanel() override;

    // Opens the entry panel over a value, with the value selected.
    void openEntry(Dimension which);
    // Hides the entry panel without applying it.
    void closeEntry();

private:
    void createValues(QWidget* window);
    void createEntry(QWidget* window);
    void show(const TargetReading& reading);
    // The typed value placed the target; byKeys when Enter applied it.
    void apply(bool byKeys);

    Target& target_;
    std::array<ClickLabel*, kDimensions> captions_{};
    std::array<ClickLabel*, kDimensions> values_{};
    QFrame* entry_ = nullptr;
    ValueBox* box_ = nullptr;
    QToolButton* cancel_ = nullptr;
    QToolButton* ok_ = nullptr;
    Dimension editing_ = Dimension::Left;
    bool opening_ = false;
};

}  // namespace sw
