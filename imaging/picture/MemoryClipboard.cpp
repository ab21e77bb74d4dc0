#include "imaging/picture/MemoryClipboard.h"

#include <algorithm>
#include <stdexcept>

namespace mirth {

bool MemoryClipboardBinding::Open()
{
    if (open_)
        throw std::logic_error("clipboard opened twice");
    if (refusingOpen_)
        return false;
    open_ = true;
    return true;
}

void MemoryClipboardBinding::Close()
{
    RequireOpen();
    open_ = false;
}

void MemoryClipboardBinding::Empty()
{
    RequireOpen();
    offered_.clear();
}

void MemoryClipboardBinding::SetData(TClipboardFormat format, std::vector<uint8_t> data)
{
    RequireOpen();
    auto entry = std::find_if(offered_.begin(), offered_.end(), [&](const auto& e) { return e.first == format; });
    if (entry != offered_.end())
        entry->second = std::move(data);
    else
        offered_.emplace_back(format, std::move(data));
}

std::vector<uint8_t> MemoryClipboardBinding::Data(TClipboardFormat format)
{
    RequireOpen();
    for (const auto& [offered, data] : offered_)
        if (offered == format)
            return data;
    return {};
}

std::vector<TClipboardFormat> MemoryClipboardBinding::OfferedFormats()
{
    RequireOpen();
    std::vector<TClipboardFormat> formats;
    for (const auto& entry : offered_)
        formats.push_back(entry.first);
    return formats;
}

bool MemoryClipboardBinding::Offers(TClipboardFormat format)
{
    return std::any_of(offered_.begin(), offered_.end(), [&](const auto& e) { return e.first == format; });
}

TClipboardFormat MemoryClipboardBinding::RegisterFormat(const std::string& name) { return names_.Register(name); }

void MemoryClipboardBinding::RequireOpen() const
{
    if (!open_)
        throw std::logic_error("clipboard used while closed");
}

} // namespace mirth
