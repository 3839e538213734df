#pragma once
// The process entry's adaptor to the operating system: it loads the factory
// with the compiled-in skin and string tables, keeps one instance running,
// reads the debug switch, creates the application object, has it make the
// main window and load the main control, runs the loop and tears everything
// down in a fixed order. Exit codes: -1 when the platform fails to start, for
// a second instance that handed its command line over, and after any start-up
// error; 1 after a normal run. Nothing escapes RunMain. UI thread only.
#include <cstdint>

#include "EntryServices.h"
#include "LControlFactory.h"
#include "LFrameworkApp.h"
#include "LStringTable.h"
#include "ResourceModule.h"

namespace QV {

struct EntryOptions {
    // The factory's application name.
    String applicationName;
    String mainWindowClass = u"CorvaneTarselZiroruVovizuMainWindowClass";
    // "::" for the compiled-in documents, else a folder holding them.
    String resourceFolder = u"::";
    // Null: the program's own resources.
    const Platform::ResourceModule* module = nullptr;
};

class FrameworkAppEntry {
public:
    // Start-up results that mean "no main window": the plain loop runs instead.
    static bool IsWindowlessStartup(QVResult result);

    FrameworkAppEntry(IEntryServices& services, EntryOptions options);
    virtual ~FrameworkAppEntry();
    FrameworkAppEntry(const FrameworkAppEntry&) = delete;
    FrameworkAppEntry& operator=(const FrameworkAppEntry&) = delete;

    // The entry body: commandLine is the whole command line, program path
    // included; languageId -1 asks the system. Answers the exit code.
    int32_t RunMain(const String& commandLine, int32_t languageId = -1);

    // False ends the process with -1.
    virtual bool InitApplication();
    // False ends the process with ExitInstance's code.
    virtual bool InitInstance();
    // Creates and runs the application object; answers 1.
    virtual int32_t Run();
    virtual int32_t ExitInstance();
    // True while more idle passes are wanted: at most three after each message.
    virtual bool OnIdle(int32_t count);

    virtual uint32_t GetSplashTimeMs() const { return 5000; }
    // No splash image ships, so no splash runs.
    virtual String GetSplashImagePath() const { return String(); }
    virtual void ShowSplash() {}
    virtual void HideSplash() {}

    bool IsFirstInstance() const { return mFirstInstance; }
    int32_t GetLanguageId() const { return mLanguageId; }
    const RCPtr<LControlFactory>& GetFactory() const { return mFactory; }
    const RCPtr<LFrameworkApp>& GetApplication() const { return mApplication; }

protected:
    virtual RCPtr<LFrameworkApp> CreateApplication(const RCPtr<LControlFactory>& factory,
                                                   const RCPtr<LStringTable>& frameworkStrings,
                                                   const String& commandLine) = 0;

private:
    void ShowStartupError();
    void StartApplication(LFrameworkApp& application);

    IEntryServices& mServices;
    EntryOptions mOptions;
    bool mNotInitialized = true;
    RCPtr<LControlFactory> mFactory;
    RCPtr<LStringTable> mFrameworkStrings;
    bool mFirstInstance = true;
    String mCommandLine;
    int32_t mLanguageId = 0;
    RCPtr<LFrameworkApp> mApplication;
};

// T: an LFrameworkApp constructible from (factory, framework string table,
// command line).
template <class T>
class MFCFrameworkApp : public FrameworkAppEntry {
public:
    using FrameworkAppEntry::FrameworkAppEntry;

protected:
    RCPtr<LFrameworkApp> CreateApplication(const RCPtr<LControlFactory>& factory,
                                           const RCPtr<LStringTable>& frameworkStrings,
                                           const String& commandLine) override
    {
        return RCPtr<LFrameworkApp>(new T(factory, frameworkStrings, commandLine));
    }
};

}  // namespace QV
