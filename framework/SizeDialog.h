#pragma once
#include <cstdint>
#include <memory>
#include <optional>

namespace mirth {

// What the size dialog asks: a longest side in pixels, from 1 to maximum.
struct TSizeRequest {
    int32_t proposed = 0;
    int32_t maximum = 0;
};

// Who answers the size dialog: the desktop's dialog, or a script in the tests.
class TSizeChooser {
public:
    virtual ~TSizeChooser() = default;
    // Nothing when the user cancels.
    virtual std::optional<int32_t> Choose(const TSizeRequest& request) = 0;
};

class TDesktopSizeChooser : public TSizeChooser {
public:
    std::optional<int32_t> Choose(const TSizeRequest& request) override;
};

// Replaces who answers the size dialog and returns the previous chooser.
std::unique_ptr<TSizeChooser> SetSizeChooser(std::unique_ptr<TSizeChooser> chooser);

// Asks for the longest side of saved frames; an answer outside 1..maximum is brought
// into it.
std::optional<int32_t> AskLongestSide(const TSizeRequest& request);

} // namespace mirth
