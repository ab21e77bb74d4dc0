#pragma once
// The real window at a desktop size, offscreen, with a photograph-sized picture in it.
#include <QTest>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <unistd.h>

#include "Photo.h"
#include "app/Form1.h"

namespace mirth::bench {

inline std::string BenchFile(const std::string& name)
{
    return (std::filesystem::temp_directory_path() /
            ("mirth-bench-" + std::to_string(::getpid()) + "-" + name)).string();
}

// A shown 1280 × 800 window holding the 6000 × 4000 photo (or one of the size given),
// loaded as a user would.
inline std::unique_ptr<TForm1> WindowWithPhoto(int32_t width = kPhotoWidth, int32_t height = kPhotoHeight)
{
    auto form = std::make_unique<TForm1>();
    form->resize(1280, 800);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        throw std::runtime_error("the benchmark window never showed");
    const std::string path = BenchFile("window-photo.bmp");
    testing::RandomBitmap(width, height, 1)->SaveFile(path);
    form->LoadPicture(path);
    std::filesystem::remove(path);
    return form;
}

} // namespace mirth::bench
