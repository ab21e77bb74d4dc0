// Mirthlens: a desktop toy for pushing magnifying lenses into photographs.
#include <QFileInfo>
#include <QScreen>
#include <QTimer>

#include <iostream>

#include "app/CommandLine.h"
#include "app/Form1.h"
#include "controls/AccessibleControls.h"
#include "framework/Application.h"
#include "framework/DesktopClipboard.h"
#include "imaging/picture/ImageFormats.h"

int main(int argc, char** argv)
{
    switch (mirth::StartRequestOf(std::vector<std::string>(argv + 1, argv + argc))) {
    case mirth::TStartRequest::ShowHelp:
        std::cout << mirth::HelpText();
        return 0;
    case mirth::TStartRequest::ShowVersion:
        std::cout << mirth::VersionText();
        return 0;
    case mirth::TStartRequest::OpenWindow:
        break;
    }
    mirth::RegisterImageFormats();
    mirth::TApplication application(argc, argv);
    application.SetTitle("Mirthlens");
    mirth::InstallAccessibleControls();
    // Before the first picture exists: making the format registry registers names with it.
    mirth::InstallSystemClipboardBinding(std::make_unique<mirth::DesktopClipboardBinding>());

    auto* form = new mirth::TForm1;
    // Closing the window destroys it, which ends the program.
    form->setAttribute(Qt::WA_DeleteOnClose);
    // Nothing centres a window on a desktop without a window manager.
    const QRect screen = application.primaryScreen()->availableGeometry();
    form->move(screen.center() - form->rect().center());
    form->show();

    const QStringList arguments = application.arguments();
    if (arguments.size() > 1) {
        // The open dialog would have handed over a full path.
        const std::string fileName = QFileInfo(arguments[1]).absoluteFilePath().toStdString();
        QTimer::singleShot(0, form, [form, fileName] { form->LoadFromCommandLine(fileName); });
    }
    return application.exec();
}
