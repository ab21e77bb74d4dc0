#pragma once
// The real window at a desktop size, offscreen, with a photograph-sized picture in it.
#include <QTest>

#include <filesystem>
#include <memory>
#include <unistd.h>

#include "Photo.h"
#include "app/Form1.h"

namespace mirth::bench {

inline std::string BenchFile(const std::string& name)
{
    return (std::filesystem::temp_directory_path() /
            ("mirth-bench-" + std::to_string(::getpid()) + "-" + name)).string();
}

// A shown 1280 × 800 window holding the 6000 × 4000 photo, loaded as a user would.
inline std::unique_ptr<TForm1> WindowWithPhoto()
{
    auto form = std::make_unique<TForm1>();
    form->resize(1280, 800);
    form->show();
    QTest::qWaitForWindowExposed(form.get());
    const std::string path = BenchFile("window-photo.bmp");
    Photo()->SaveFile(path);
    form->LoadPicture(path);
    std::filesystem::remove(path);
    return form;
}

} // namespace mirth::bench
