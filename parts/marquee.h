// The title marquee's motion, free of widgets: which text the scrolling label
// holds and where it stands after each 50 ms step, when it rests, and when the
// title needs its "..." indicator.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sw {

// The single line the marquee starts with, before the messages take turns.
std::string marqueeFirstText(const std::string& title, const std::string& maker);

// The three messages, by index: the title, "FreeWare From", the maker's name.
std::array<std::string, 3> marqueeMessages(const std::string& title, const std::string& maker);

// The label's rise through its viewport, in twips. A message enters from below
// the viewport, stops for a pause when its top reaches the viewport's top and
// leaves upwards; the next one is placed as the last leaves.
class Marquee {
public:
    static constexpr int kStepTwips = 20;

    Marquee(int viewportHeight, int labelHeight, std::string firstText,
            std::array<std::string, 3> messages);

    // One step of the 50 ms timer. Returns true when the label has just come to
    // rest at the top, which is when the caller starts the pause; while resting,
    // a step changes nothing.
    bool step();
    // The pause is over: the next step scrolls again.
    void endPause() { resting_ = false; }

    int top() const { return top_; }
    const std::string& caption() const { return caption_; }
    bool resting() const { return resting_; }

private:
    int viewportHeight_;
    int labelHeight_;
    std::array<std::string, 3> messages_;
    std::string caption_;
    int top_ = 0;
    std::int16_t messageIndex_ = 0;
    bool resting_ = false;
};

// Whether the "..." label shows after a title whose label ends at titleRight:
// only when that edge lies beyond the indicator's left edge (both in twips).
bool ellipsisVisible(double titleRight, double ellipsisLeft);

// The web button's visible ellipse, in pixels relative to the button: the
// button's box inset by 80 twips on every side. right and bottom are the
// exclusive edges, as the window system's elliptic regions take them.
struct EllipseBox {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const EllipseBox&, const EllipseBox&) = default;
};
EllipseBox roundButtonEllipse(double widthTwips, double heightTwips, double twipsPerPixelX,
                              double twipsPerPixelY);

// The pixels of an ellipse filling box, row by row: each row's first pixel and
// the pixel after its last (a pixel belongs when its centre lies inside).
struct PixelRow {
    std::int32_t y = 0;
    std::int32_t left = 0;
    std::int32_t right = 0;
};
std::vector<PixelRow> ellipseRows(const EllipseBox& box);

}  // namespace sw
