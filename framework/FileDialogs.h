#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Classes.h"

namespace mirth {

// What a file dialog asks the user for.
struct TFileRequest {
    enum TKind { Open, Save } kind = Open;
    std::string fileName;            // the name proposed
    std::vector<std::string> filters; // Qt filters, "Description (*.a *.b)"
    int filterIndex = 1;             // 1-based, as the dialogs count
};

struct TFileChoice {
    std::string fileName;
    int filterIndex = 1;
};

// Who answers file dialogs: the desktop's dialog, or a script in the tests, so that no
// test ever waits on a real dialog.
class TFileChooser {
public:
    virtual ~TFileChooser() = default;
    // Nothing when the user cancels.
    virtual std::optional<TFileChoice> Choose(const TFileRequest& request) = 0;
};

class TDesktopFileChooser : public TFileChooser {
public:
    std::optional<TFileChoice> Choose(const TFileRequest& request) override;
};

// Replaces who answers file dialogs and returns the previous chooser.
std::unique_ptr<TFileChooser> SetFileChooser(std::unique_ptr<TFileChooser> chooser);

// The stored filter "description|patterns|description|patterns…", patterns separated by
// ";", as Qt's filter strings "description (patterns)"; a description that already ends
// with its patterns in that form is taken as it is.
std::vector<std::string> QtFilters(const std::string& stored);

class TFileDialog : public TObject {
public:
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
    const std::string& Filter() const { return filter_; }
    void SetFilter(std::string filter) { filter_ = std::move(filter); }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(std::string extension) { defaultExt_ = std::move(extension); }

    // Asks for a name; true and FileName set when the user chose one, false and nothing
    // changed when they cancelled.
    bool Execute();

protected:
    explicit TFileDialog(TFileRequest::TKind kind) : kind_(kind) {}

private:
    TFileRequest::TKind kind_;
    std::string fileName_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string defaultExt_;
};

class TOpenDialog : public TFileDialog {
public:
    TOpenDialog() : TFileDialog(TFileRequest::Open) {}
};

// Replaces an existing file without asking; a name chosen without an extension gets
// DefaultExt.
class TSaveDialog : public TFileDialog {
public:
    TSaveDialog() : TFileDialog(TFileRequest::Save) {}
};

} // namespace mirth
