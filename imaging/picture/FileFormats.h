#pragma once
#include <string>
#include <vector>

#include "imaging/bitmap/Graphic.h"

namespace mirth {

// Which graphic class reads a file, by the file's extension.
class TFileFormatsList {
public:
    struct Row {
        std::string extension;  // lower case, without the dot
        std::string description;
        const TGraphicClass* graphicClass;
    };

    // Metafiles, icons and bitmaps; RegisterImageFormats adds the JPEG rows.
    TFileFormatsList();

    void Add(const std::string& extension, const std::string& description, const TGraphicClass& graphicClass);
    // Removes every row whose class is graphicClass or derives from it.
    void Remove(const TGraphicClass& graphicClass);
    // The class registered last for extension (without the dot), in any letter
    // case; none when there is no row.
    const TGraphicClass* FindExtension(const std::string& extension) const;
    const std::vector<Row>& Rows() const { return rows_; }

private:
    std::vector<Row> rows_;
};

// The one registry, made on first use and kept to the end of the process.
TFileFormatsList& FileFormats();

} // namespace mirth
