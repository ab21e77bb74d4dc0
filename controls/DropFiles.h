#pragma once
#include <QEvent>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Classes.h"
#include "runtime/Set.h"

namespace mirth {

enum TDropFilesOption { dfoIncFolders, dfoIncFiles, dfoRecurseFolders };
using TDropFilesOptions = TSet<TDropFilesOption>;

using TDroppedFileFilter =
    std::function<void(TObject* sender, const std::string& fileName, bool isFolder, bool& accept)>;

// A component that vetoes dropped paths before they are listed.
class TDropFileFilter : public QObject, public TObject {
public:
    explicit TDropFileFilter(QObject* owner = nullptr) : QObject(owner) {}
    virtual bool Accept(const std::string& path, bool isFolder) = 0;
};

// What one drop hands over: local paths in the order given, and where it landed in the
// receiving form's coordinates.
struct TDrop {
    std::vector<std::string> paths;
    QPoint point;
};

// The registered "FORM_DROPFILES" request: a drop sent to a form by the program itself.
// Its packed position (x in the low 16 bits, y in the high 16, each signed) overrides the
// drop's own point. A form with a drop target answers it with result 1, unless handling
// the drop failed.
class TDropFilesEvent : public QEvent {
public:
    TDropFilesEvent(TDrop drop, uint32_t position);
    static QEvent::Type EventType();

    const TDrop& Drop() const { return drop_; }
    uint32_t Position() const { return position_; }
    int Result() const { return result_; }
    void SetResult(int result) { result_ = result; }

private:
    TDrop drop_;
    uint32_t position_;
    int result_ = 0;
};

uint32_t PackDropPosition(int x, int y);
QPoint UnpackDropPosition(uint32_t position);

class TSubClassedDropFiles;

// Does the work of a drop target: the settings and the list of collected paths.
class TAbstractDropFilesHelper : public TObject {
public:
    explicit TAbstractDropFilesHelper(TSubClassedDropFiles* owner) : owner_(owner) {}

    // The window that receives drops, if any.
    virtual QWidget* DropControl() const = 0;
    // Brings the window to the front when asked, then raises OnDropFiles.
    virtual void AfterDrop();
    // Raises OnBeforeDrop.
    virtual void BeforeDrop();

    // Replaces the list with the drop's paths, expanded and filtered by the options.
    void Collect(const TDrop& drop);

    struct TDroppedPath {
        std::string path;
        bool isFolder;
    };

    bool foregroundOnDrop = false;
    QPointer<TDropFileFilter> filter;
    QPoint dropPosition;
    std::vector<TDroppedPath> dropped;
    TDropFilesOptions options{dfoIncFolders, dfoIncFiles};

protected:
    TSubClassedDropFiles* Owner() const { return owner_; }

private:
    void AddPath(const std::string& path, std::vector<std::string>& openFolders);
    void AddFolderContents(const std::string& folder, std::vector<std::string>& openFolders);
    bool Accepted(const std::string& path, bool isFolder);

    TSubClassedDropFiles* owner_;
};

// The drop target's settings and results, whatever receives the drops.
class TSubClassedDropFiles : public QObject, public TObject {
public:
    ~TSubClassedDropFiles() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Cleared by itself when the filter component goes away.
    TDropFileFilter* Filter() const { return helper_->filter; }
    void SetFilter(TDropFileFilter* filter) { helper_->filter = filter; }
    bool ForegroundOnDrop() const { return helper_->foregroundOnDrop; }
    void SetForegroundOnDrop(bool foreground) { helper_->foregroundOnDrop = foreground; }
    TDropFilesOptions Options() const { return helper_->options; }
    void SetOptions(TDropFilesOptions options) { helper_->options = options; }

    TNotifyEvent OnBeforeDrop;
    TNotifyEvent OnDropFiles;
    TDroppedFileFilter OnFileFilter;

    int DroppedCount() const { return static_cast<int>(helper_->dropped.size()); }
    const std::string& DroppedFiles(int index) const;
    bool DroppedFileIsFolder(int index) const;
    // The first collected path, or "" when the last drop listed none.
    std::string FirstDroppedFile() const;
    QPoint DropPosition() const { return helper_->dropPosition; }

protected:
    explicit TSubClassedDropFiles(QObject* owner);
    // Called by the most derived constructor: a C++ base cannot reach its descendant's factory.
    void CreateHelper();
    virtual std::unique_ptr<TAbstractDropFilesHelper> MakeHelper() = 0;
    virtual void EnabledChanged() {}
    TAbstractDropFilesHelper& Helper() const { return *helper_; }

private:
    const TAbstractDropFilesHelper::TDroppedPath& Dropped(int index) const;

    bool enabled_ = true;
    std::unique_ptr<TAbstractDropFilesHelper> helper_;
};

class TFormDropFilesHelper : public TAbstractDropFilesHelper {
public:
    using TAbstractDropFilesHelper::TAbstractDropFilesHelper;
    QWidget* DropControl() const override;
};

// Makes its owner form accept files dropped anywhere on it. It watches the form's events
// ahead of the form itself, so that nothing else in the form needs to know about drops.
// At most one per form.
class TFormDropFiles : public TSubClassedDropFiles {
public:
    explicit TFormDropFiles(QObject* owner);
    ~TFormDropFiles() override;

protected:
    std::unique_ptr<TAbstractDropFilesHelper> MakeHelper() override;
    void EnabledChanged() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // False when the handling failed; the failure has then been reported.
    bool HandleDrop(const TDrop& drop, std::optional<uint32_t> packedPosition);

    QPointer<QWidget> form_;
};

} // namespace mirth
