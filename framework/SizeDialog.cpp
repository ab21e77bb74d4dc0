#include "framework/SizeDialog.h"

#include <QApplication>
#include <QInputDialog>

#include <algorithm>

namespace mirth {

namespace {

std::unique_ptr<TSizeChooser>& Chooser()
{
    static std::unique_ptr<TSizeChooser> chooser = std::make_unique<TDesktopSizeChooser>();
    return chooser;
}

} // namespace

std::optional<int32_t> TDesktopSizeChooser::Choose(const TSizeRequest& request)
{
    bool accepted = false;
    const int side = QInputDialog::getInt(QApplication::activeWindow(), QStringLiteral("Frame Size"),
                                          QStringLiteral("Longest side in pixels:"), request.proposed, 1,
                                          request.maximum, 1, &accepted);
    return accepted ? std::optional<int32_t>(side) : std::nullopt;
}

std::unique_ptr<TSizeChooser> SetSizeChooser(std::unique_ptr<TSizeChooser> chooser)
{
    std::swap(chooser, Chooser());
    return chooser;
}

std::optional<int32_t> AskLongestSide(const TSizeRequest& request)
{
    const std::optional<int32_t> side = Chooser()->Choose(request);
    if (!side)
        return std::nullopt;
    return std::clamp(*side, 1, std::max(request.maximum, 1));
}

} // namespace mirth
