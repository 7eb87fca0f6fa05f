#pragma once
// The updater's progress bar: a sunken trough filled from the left with the
// skin tile (bitmap 101, 10 x 10) in proportion to Value between Min and Max.

#include "base/Control_win.h"
#include "base/Handles_win.h"

#include <cstdint>

namespace tessaly::win {

class ProgressBar : public Control {
public:
    ProgressBar();
    ~ProgressBar() override;

    std::uint64_t Min() const { return min_; }
    std::uint64_t Max() const { return max_; }
    std::uint64_t Value() const { return value_; }
    void SetMin(std::uint64_t value);
    void SetMax(std::uint64_t value);
    void SetValue(std::uint64_t value);
    // The filled width in pixels for a bar of the given inner width.
    int FilledWidth(int width) const;

protected:
    void OnCreate() override;
    void OnPaint(HDC dc) override;

private:
    void Changed();
    std::uint64_t min_ = 0, max_ = 100, value_ = 0;
    UniqueBitmap tile_;
    int shown_ = -1; // the filled width last painted: equal values repaint nothing
};

} // namespace tessaly::win
