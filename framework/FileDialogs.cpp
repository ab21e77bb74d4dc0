#include "framework/FileDialogs.h"

#include <QApplication>
#include <QFileDialog>

#include "runtime/FileNames.h"

namespace mirth {

namespace {

std::unique_ptr<TFileChooser>& Chooser()
{
    static std::unique_ptr<TFileChooser> chooser = std::make_unique<TDesktopFileChooser>();
    return chooser;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace

std::vector<std::string> QtFilters(const std::string& stored)
{
    std::vector<std::string> filters;
    if (stored.empty())
        return filters;
    const std::vector<std::string> parts = Split(stored, '|');
    for (size_t k = 0; k + 1 < parts.size(); k += 2) {
        std::string patterns;
        for (const std::string& pattern : Split(parts[k + 1], ';'))
            patterns += (patterns.empty() ? "" : " ") + pattern;
        // Qt filters by the last parenthesised list and shows the whole text, so a
        // description that already ends with exactly that list must not get it twice.
        const std::string shown = "(" + patterns + ")";
        const std::string& description = parts[k];
        const bool showsPatterns = description.size() >= shown.size() &&
                                   description.compare(description.size() - shown.size(), shown.size(), shown) == 0;
        filters.push_back(showsPatterns ? description : description + " " + shown);
    }
    return filters;
}

std::unique_ptr<TFileChooser> SetFileChooser(std::unique_ptr<TFileChooser> chooser)
{
    std::swap(chooser, Chooser());
    return chooser;
}

std::optional<TFileChoice> TDesktopFileChooser::Choose(const TFileRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow());
    const bool save = request.kind == TFileRequest::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const std::string& filter : request.filters)
        filters << QString::fromStdString(filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.fileName.empty())
        dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return TFileChoice{dialog.selectedFiles().front().toStdString(),
                       static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1};
}

bool TFileDialog::Execute()
{
    const std::optional<TFileChoice> choice =
        Chooser()->Choose({kind_, fileName_, QtFilters(filter_), filterIndex_});
    if (!choice)
        return false;
    fileName_ = choice->fileName;
    if (kind_ == TFileRequest::Save && !defaultExt_.empty() && ExtractFileExt(fileName_).empty())
        fileName_ += "." + defaultExt_;
    filterIndex_ = choice->filterIndex;
    return true;
}

} // namespace mirth
