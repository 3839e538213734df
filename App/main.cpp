// The editor's process entry: one adaptor object runs the whole program.
#include <clocale>

#include "CommandLine.h"
#include "FrameworkAppEntry.h"
#include "LApplication.h"
#include "PlatformEntryServices.h"

namespace {

// The adaptor with the hand-over of later starts' command lines wired to
// the application, which feeds them to its main window on the UI thread.
class EditorEntry : public QV::MFCFrameworkApp<LApplication> {
public:
    EditorEntry(PlatformEntryServices& services, QV::EntryOptions options)
        : MFCFrameworkApp(services, std::move(options)), mServices(services)
    {}

protected:
    QV::RCPtr<QV::LFrameworkApp> CreateApplication(const QV::RCPtr<QV::LControlFactory>& factory,
                                                   const QV::RCPtr<QV::LStringTable>& frameworkStrings,
                                                   const QV::String& commandLine) override
    {
        QV::RCPtr<QV::LFrameworkApp> application =
            MFCFrameworkApp::CreateApplication(factory, frameworkStrings, commandLine);
        if (auto* editor = dynamic_cast<LApplication*>(application.Get())) {
            editor->SetCommandLineSource([this] { return mServices.TakeHandedOverCommandLines(); });
        }
        return application;
    }

private:
    PlatformEntryServices& mServices;
};

}  // namespace

int main(int argc, char** argv)
{
    // Letters outside ASCII fold and pass the text box's filters.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    PlatformEntryServices services;
    QV::EntryOptions options;
    options.applicationName = u"ZiroruVovizu";
    EditorEntry entry(services, std::move(options));
    return entry.RunMain(QV::JoinCommandLine(argc, argv));
}
