#pragma once
#include <QMimeData>

#include <cstdint>
#include <vector>

namespace mirth {

// What the program puts on the desktop clipboard. The bitmap format, one BMP file, is
// offered to other programs as image/bmp, image/png and Qt's own image type (through
// which Qt offers every other type it can write), but each is made only when a program
// asks for it: copying a photograph costs one BMP file, not a PNG encoding nobody may
// want. Other formats travel as private types set with setData.
class TClipboardMimeData : public QMimeData {
public:
    void SetBitmap(std::vector<uint8_t> bmpFile) { bitmap_ = std::move(bmpFile); }
    const std::vector<uint8_t>& Bitmap() const { return bitmap_; }

    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    std::vector<uint8_t> bitmap_;
};

} // namespace mirth
