#include "imaging/picture/FileFormats.h"

#include <algorithm>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/MetafileAndIcon.h"
#include "runtime/FileNames.h"

namespace mirth {

TFileFormatsList::TFileFormatsList()
{
    Add("wmf", "Metafiles", TMetafile::Class);
    Add("emf", "Enhanced Metafiles", TMetafile::Class);
    Add("ico", "Icons", TIcon::Class);
    Add("bmp", "Bitmaps", TBitmap::Class);
}

void TFileFormatsList::Add(const std::string& extension, const std::string& description,
                           const TGraphicClass& graphicClass)
{
    rows_.push_back(Row{LowerCaseAscii(extension), description, &graphicClass});
}

void TFileFormatsList::Remove(const TGraphicClass& graphicClass)
{
    std::erase_if(rows_, [&](const Row& row) { return row.graphicClass->InheritsFrom(&graphicClass); });
}

const TGraphicClass* TFileFormatsList::FindExtension(const std::string& extension) const
{
    const std::string wanted = LowerCaseAscii(extension);
    auto row = std::find_if(rows_.rbegin(), rows_.rend(), [&](const Row& r) { return r.extension == wanted; });
    return row == rows_.rend() ? nullptr : row->graphicClass;
}

TFileFormatsList& FileFormats()
{
    // Never destroyed: units that unregister at shutdown may run after any
    // static destructor.
    static auto* list = new TFileFormatsList;
    return *list;
}

} // namespace mirth
