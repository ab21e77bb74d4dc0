#include "framework/Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

namespace mirth {

void OpenDocument(const std::string& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

std::string ExecutableFolder()
{
    return QCoreApplication::applicationDirPath().toStdString() + "/";
}

} // namespace mirth
