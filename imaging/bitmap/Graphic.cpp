#include "imaging/bitmap/Graphic.h"

#include "runtime/Exceptions.h"
#include "runtime/ReplacingFileStream.h"

namespace mirth {

const TGraphicClass TGraphic::Class{"TGraphic", nullptr, nullptr};

bool TGraphicClass::InheritsFrom(const TGraphicClass* ancestor) const
{
    for (const TGraphicClass* c = this; c != nullptr; c = c->parent)
        if (c == ancestor)
            return true;
    return false;
}

void TGraphic::FailAssign(const std::string& sourceName, const std::string& targetName)
{
    throw EConvertError(Format("Cannot assign a %s to a %s", sourceName, targetName));
}

void TGraphic::CopyFrom(TGraphic* source)
{
    if (source == nullptr)
        FailAssign("nil", ClassName());
    source->CopyTo(*this);
}

void TGraphic::CopyTo(TGraphic& destination) { FailAssign(ClassName(), destination.ClassName()); }

void TGraphic::Changed()
{
    modified_ = true;
    if (OnChange)
        OnChange(this);
}

bool TGraphic::Equals(TGraphic* other)
{
    if (other == nullptr)
        return false;
    if (Empty() || other->Empty())
        return Empty() && other->Empty();
    if (&ClassType() != &other->ClassType())
        return false;
    TMemoryStream mine, theirs;
    WriteData(mine);
    other->WriteData(theirs);
    return mine.Bytes() == theirs.Bytes();
}

void TGraphic::SetTransparent(bool transparent)
{
    if (transparent != transparent_) {
        transparent_ = transparent;
        Changed();
    }
}

void TGraphic::LoadFile(const std::string& path)
{
    TFileStream file(path, TFileMode::OpenRead);
    LoadStream(file);
}

void TGraphic::SaveFile(const std::string& path)
{
    TReplacingFileStream file(path);
    SaveStream(file);
    file.Commit();
}

void TGraphic::Progress(TProgressStage stage, uint8_t percentDone, bool redrawNow, const TRect& rect,
                        const std::string& message)
{
    if (OnProgress)
        OnProgress(this, stage, percentDone, redrawNow, rect, message);
}

} // namespace mirth
