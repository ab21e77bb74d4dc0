#include "imaging/picture/ClipboardBinding.h"

#include "imaging/picture/MemoryClipboard.h"
#include "runtime/Exceptions.h"

namespace mirth {

TClipboardFormat TFormatNameTable::Register(const std::string& name)
{
    constexpr TClipboardFormat kFirstRegistered = 0xC000;
    return numbers_.try_emplace(name, kFirstRegistered + TClipboardFormat(numbers_.size())).first->second;
}

namespace {

struct SystemBinding {
    std::unique_ptr<ClipboardBinding> binding;
    bool inUse = false;
};

SystemBinding& System()
{
    // Never destroyed: the clipboard object and the registered format numbers
    // refer to it until the process ends.
    static auto* system = new SystemBinding;
    return *system;
}

} // namespace

ClipboardBinding& SystemClipboardBinding()
{
    SystemBinding& system = System();
    if (!system.binding)
        system.binding = std::make_unique<MemoryClipboardBinding>();
    system.inUse = true;
    return *system.binding;
}

void InstallSystemClipboardBinding(std::unique_ptr<ClipboardBinding> binding)
{
    // Format numbers handed out by one binding mean nothing to another.
    if (System().inUse)
        throw EInvalidOperation("Clipboard binding is already in use");
    System().binding = std::move(binding);
}

} // namespace mirth
