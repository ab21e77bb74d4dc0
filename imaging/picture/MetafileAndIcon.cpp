#include "imaging/picture/MetafileAndIcon.h"

#include "runtime/Exceptions.h"

namespace mirth {

const TGraphicClass TMetafile::Class{"TMetafile", [] { return std::unique_ptr<TGraphic>(new TMetafile); },
                                     &TGraphic::Class};
const TGraphicClass TIcon::Class{"TIcon", [] { return std::unique_ptr<TGraphic>(new TIcon); },
                                 &TGraphic::Class};

void TUnreadableGraphic::CopyFrom(TGraphic* source)
{
    if (source == nullptr || !source->ClassType().InheritsFrom(&ClassType()))
        TGraphic::CopyFrom(source);
    else
        Changed();
}

void TUnreadableGraphic::LoadStream(TStream&) { throw EInvalidGraphic(InvalidMessage()); }

void TUnreadableGraphic::LoadFromClipboardFormat(TClipboardFormat, const std::vector<uint8_t>& data,
                                                 const TPalette&)
{
    if (data.empty())
        throw EInvalidGraphic("Unsupported clipboard format");
    throw EInvalidGraphic(InvalidMessage());
}

void TUnreadableGraphic::SaveToClipboardFormat(TClipboardFormat& format, std::vector<uint8_t>& data,
                                               TPalette& palette)
{
    format = 0;
    data.clear();
    palette.clear();
}

} // namespace mirth
