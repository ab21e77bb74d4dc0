#pragma once
#include <functional>

namespace mirth {

// The root of everything that can send an event; handlers receive the sender.
class TObject {
public:
    virtual ~TObject() = default;
};

class TPersistent : public TObject {};

using TNotifyEvent = std::function<void(TObject* sender)>;

} // namespace mirth
